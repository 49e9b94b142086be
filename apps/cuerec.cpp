// cuerec7 and cuerec8 on Linux: one source, built once per PowerPoint version (CUE_PPT_VERSION).
#include "forms/programregistry.h"
#include "gui/qtloggerenvironment.h"
#include "gui/qtprogram.h"
#include "logger/loggerprograms.h"
#include "logger/powerpointversion.h"

#ifdef CUE_IMPRESS_BINDING
#include "logger/impress/impressbinding.h"
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// The presentation program the Linux loggers bind: LibreOffice Impress where its binding
// was built, else none (cuerec_windows.cpp binds PowerPoint through COM).
PresentationBinding presentationProgram() {
#ifdef CUE_IMPRESS_BINDING
    auto impress = std::make_shared<ImpressBinding>();
    return {impress->factory(), impress->attachFactory(), [impress] {
                using namespace std::chrono_literals;
                return impress->shutdown(3s);
            }};
#else
    return {unavailableAutomationFactory(), unavailableAutomationFactory(), {}};
#endif
}

} // namespace

int main(int argc, char* argv[]) {
    const ProgramEntry entry = loggerEntry(BuildPowerPointVersion, [] {
        return std::make_unique<QtLoggerEnvironment>(presentationProgram());
    });
    const int status = runQtProgram(entry, "cuerec", argc, argv);
    // A stuck office must not keep the process alive in the static teardown.
    if (QtLoggerEnvironment::officeLeftStuck()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
