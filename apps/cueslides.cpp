// cueslides: writes every slide of a deck as the numbered images the pages show. The
// presentation program that draws them is chosen here: PowerPoint through COM on Windows,
// LibreOffice Impress elsewhere.
#include "slides/slideexport.h"

#if defined(_WIN32)
#include "logger/comautomation.h"
#include "slides/powerpointdeck.h"
#include <io.h>
#define isatty _isatty
#define STDOUT_FILENO 1
#elif defined(CUE_SLIDES_IMPRESS)
#include "slides/impress/impressdeck.h"
#include <unistd.h>
#else
#include <unistd.h>
#endif

#include <atomic>
#include <csignal>
#include <iostream>
#include <memory>
#include <stdexcept>

namespace {

std::atomic<bool> interrupted{false};

// An interrupted run still ends the office it started: the signal only stops the next
// slide from being drawn.
void catchInterrupts() {
    const auto handler = [](int) { interrupted = true; };
#if defined(_WIN32)
    std::signal(SIGINT, handler);
    std::signal(SIGTERM, handler);
#else
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
#endif
}

// Where no presentation program can be bound, every deck is refused as unreadable.
class NoPresentationProgram : public DeckExporter {
  public:
    DeckSize open(const std::string&) override {
        throw DeckError("this build has no presentation program to draw slides with "
                        "(LibreOffice Impress and its SDK were not found)");
    }
    void exportSlide(int, const std::string&, ImageFormat, int, int) override {}
    void close() override {}
};

std::unique_ptr<DeckExporter> platformDeck() {
#if defined(_WIN32)
    return std::make_unique<PowerPointDeck>(comAutomationFactory());
#elif defined(CUE_SLIDES_IMPRESS)
    return std::make_unique<ImpressDeck>();
#else
    return std::make_unique<NoPresentationProgram>();
#endif
}

} // namespace

int main(int argc, char* argv[]) {
    const CommandLine line = readCommandLine(argc, argv, slidesCommandLine());
    if (line.answered)
        return *line.answered;
    SlidesRequest request;
    try {
        request = slidesRequestOf(line);
    } catch (const std::invalid_argument& e) {
        std::cerr << "cueslides: " << e.what() << "\n"
                  << SlidesUsageLine << "\nTry cueslides --help.\n";
        return SlidesRefused;
    }
    catchInterrupts();
    const auto deck = platformDeck();
    return exportSlides(request, *deck, std::cerr, isatty(STDOUT_FILENO) ? &std::cout : nullptr,
                        &interrupted);
}
