#include "slideexport.h"

#include "common/filepath.h"
#include "common/textfile.h"
#include "config/postsettings.h"
#include "slides/scratchfolder.h"
#include "slides/slidetextwriter.h"
#include "webout/outputerror.h"
#include "webout/pagefiles.h"
#include "webout/pathhelpers.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <system_error>

namespace {

constexpr int MaxWidth = 10000;
// An exported image is read back whole before it replaces the folder's file.
constexpr size_t MaxImageBytes = 512 * 1024 * 1024;

int parseWidth(const std::string& text) {
    int width = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), width);
    if (error != std::errc() || end != text.data() + text.size() || width < 1 || width > MaxWidth)
        throw std::invalid_argument("the width must be a number of pixels from 1 to " +
                                    std::to_string(MaxWidth) + ": \"" + text + "\"");
    return width;
}

ImageFormat parseFormat(const std::string& text) {
    if (text == "gif")
        return ImageFormat::Gif;
    if (text == "png")
        return ImageFormat::Png;
    throw std::invalid_argument("the format must be gif or png: \"" + text + "\"");
}

std::string joined(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\')
        return folder + name;
    return folder + "/" + name;
}

std::string listed(const std::vector<int>& numbers) {
    std::string text;
    for (int n : numbers)
        text += (text.empty() ? "" : ", ") + std::to_string(n);
    return text;
}

// Closes the deck on every way out.
struct OpenDeck {
    DeckExporter& exporter;
    ~OpenDeck() { exporter.close(); }
};

} // namespace

const CommandLineUsage& slidesCommandLine() {
    static const CommandLineUsage usage = {
        "cueslides",
        "Writes every slide of DECK as sld001.gif onward into FOLDER (by default the folder\n"
        "beside DECK named after its base name, where the image pattern ../{PF}/sld000.gif\n"
        "looks), and each slide's title, text and speaker notes into FOLDER/slides.txt.\n"
        "The default width is 640 pixels; the height follows the deck's proportions. For\n"
        "pages shown on large screens, draw them wider (--width 1280 or 1920).\n"
        "Exit status: 0 everything written, 1 some slides or slides.txt failed, 2 nothing\n"
        "written.",
        {{"DECK", "The presentation to draw (.odp, .ppt, .pptx, ...)."},
         {"[FOLDER]", "The folder for the images and slides.txt."}},
        {{"width", "N", "The images' width in pixels, 1 to 10000 (640)."},
         {"format", "gif|png", "The images' format (gif)."}},
        true};
    return usage;
}

const char* const SlidesUsageLine = "usage: cueslides [--width N] [--format gif|png] DECK [FOLDER]";

SlidesRequest slidesRequestOf(const CommandLine& line) {
    if (!line.error.empty())
        throw std::invalid_argument(line.valueMissing ? line.faultyOption + " needs a value"
                                                      : "unknown option " + line.faultyOption);
    SlidesRequest request;
    for (const auto& [name, value] : line.options) {
        if (name == "width")
            request.width = parseWidth(value);
        else
            request.format = parseFormat(value);
    }
    const std::vector<std::string>& operands = line.arguments;
    if (operands.empty() || operands.size() > 2)
        throw std::invalid_argument(operands.empty() ? "no deck given" : "too many arguments");
    request.deck = operands[0];
    if (operands.size() == 2)
        request.folder = operands[1];
    return request;
}

std::string defaultImageFolder(const std::string& deckPath) {
    const std::string name = ExpandIMGPath("{PF}", deckPath);
    if (name.empty())
        return {};
    return GetFname(deckPath).directory + name;
}

std::string slideImageName(int number, ImageFormat format) {
    const auto parts = SplitIMGFileName(GetFname(PostSettings::IMGPath.defaultValue).fileName);
    return parts->prefix + threeDigits(number) + (format == ImageFormat::Gif ? ".gif" : ".png");
}

int exportSlides(const SlidesRequest& request, DeckExporter& exporter, std::ostream& errors,
                 std::ostream* progress, const std::atomic<bool>* interrupted) {
    auto stopped = [interrupted] { return interrupted && interrupted->load(); };
    const std::string& deck = request.deck;
    std::string folder = request.folder.empty() ? defaultImageFolder(deck) : request.folder;
    if (folder.empty()) {
        errors << "cueslides: the name of " << deck << " gives no folder name; name a FOLDER\n";
        return SlidesRefused;
    }
    // Asked before the office starts: a wrong name costs nothing.
    if (!TextFile::exists(deck)) {
        errors << "cueslides: cannot open the deck " << deck << ": there is no such file\n";
        return SlidesRefused;
    }
    // An office takes an empty file for a new deck of one blank slide.
    std::error_code sized;
    if (std::filesystem::file_size(TextFile::nativePath(deck), sized) == 0 && !sized) {
        errors << "cueslides: the deck " << deck << " is an empty file; nothing was written\n";
        return SlidesRefused;
    }
    DeckSize size;
    try {
        // The presentation program resolves a relative name against its own folder.
        size = exporter.open(TextFile::absolutePath(deck));
    } catch (const DeckError& e) {
        exporter.close();
        errors << "cueslides: cannot open the deck " << deck << ": " << e.what() << "\n";
        return SlidesRefused;
    }
    OpenDeck open{exporter};
    if (stopped()) {
        errors << "cueslides: interrupted: nothing was written\n";
        return SlidesRefused;
    }
    if (size.slides < 1 || !(size.width > 0) || !(size.height > 0)) {
        errors << "cueslides: the deck " << deck << " has no slides to draw\n";
        return SlidesRefused;
    }
    const int height =
        std::max(1, static_cast<int>(std::lround(request.width * size.height / size.width)));

    std::error_code made;
    std::filesystem::create_directories(TextFile::nativePath(folder), made);
    if (made || !std::filesystem::is_directory(TextFile::nativePath(folder))) {
        errors << "cueslides: cannot make the folder " << folder << ": "
               << (made ? made.message() : "a file of that name is in the way") << "\n";
        return SlidesRefused;
    }
    // The office writes each picture here first; the folder gets it only whole.
    std::unique_ptr<ScratchFolder> scratch;
    try {
        scratch = std::make_unique<ScratchFolder>("cueslides");
    } catch (const FileError& e) {
        errors << "cueslides: cannot make a temporary folder: " << e.what() << "\n";
        return SlidesRefused;
    }

    std::vector<int> failed;
    // Every slide's words, or none: a slides.txt that lacks a slide would tell the pages
    // that slide says nothing.
    std::vector<SlideWords> words;
    bool wordsRead = true;
    std::string wordsFailure;
    for (int n = 1; n <= size.slides; ++n) {
        if (stopped()) {
            errors << "cueslides: interrupted: slides " << n << " to " << size.slides
                   << " were not written\n";
            return SlidesFailed;
        }
        const std::string name = slideImageName(n, request.format);
        const std::string target = joined(folder, name);
        const std::string drawn = scratch->filePath(name);
        try {
            exporter.exportSlide(n, drawn, request.format, request.width, height);
            const std::string bytes = TextFile::readAll(drawn, MaxImageBytes);
            if (bytes.empty())
                throw DeckError("the presentation program drew nothing");
            // A link planted at an image's name is replaced, as at a page's.
            OutputFile image(target);
            image.write(bytes);
            image.commit();
            if (progress)
                *progress << "Slide " << n << " of " << size.slides << ": " << target << std::endl;
        } catch (const std::exception& e) {
            failed.push_back(n);
            errors << "cueslides: slide " << n << " was not written: " << e.what() << "\n";
        }
        std::filesystem::remove(TextFile::nativePath(drawn), made);
        if (!wordsRead)
            continue;
        try {
            std::optional<SlideWords> read = exporter.slideWords(n);
            wordsRead = read.has_value();
            if (read)
                words.push_back(std::move(*read));
        } catch (const std::exception& e) {
            wordsRead = false;
            wordsFailure =
                "the words of slide " + std::to_string(n) + " were not read: " + e.what();
        }
    }
    const std::string textPath = joined(folder, SlideTextFileName);
    if (!wordsFailure.empty())
        errors << "cueslides: " << textPath << " was not written: " << wordsFailure << "\n";
    else if (wordsRead) {
        try {
            OutputFile text(textPath);
            for (const std::string& line : slideTextLines(words))
                text.writeLine(line);
            text.commit();
            if (progress)
                *progress << "Slide text: " << textPath << std::endl;
        } catch (const OutputError& e) {
            wordsFailure = e.what();
            errors << "cueslides: " << textPath << " was not written: " << e.what() << "\n";
        }
    }
    if (!failed.empty()) {
        errors << "cueslides: " << failed.size() << " of " << size.slides
               << " slides were not written: " << listed(failed) << "\n";
        return SlidesFailed;
    }
    return wordsFailure.empty() ? SlidesDone : SlidesFailed;
}
