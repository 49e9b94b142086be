// cuerec7 and cuerec8: one source, built once per PowerPoint version (CUE_PPT_VERSION).
#include "common/programregistry.h"
#include "gui/qtloggerenvironment.h"
#include "gui/qtprogram.h"
#include "logger/loggerprograms.h"
#include "logger/powerpointversion.h"

#if defined(_WIN32)
#include "logger/comautomation.h"
#elif defined(CUE_IMPRESS_BINDING)
#include "logger/impress/impressbinding.h"
#endif

namespace {

// The presentation program this build binds: PowerPoint through COM on Windows,
// LibreOffice Impress where its binding was built, else none.
AutomationFactory presentationProgram() {
#if defined(_WIN32)
    return comAutomationFactory();
#elif defined(CUE_IMPRESS_BINDING)
    return impressAutomationFactory();
#else
    return unavailableAutomationFactory();
#endif
}

} // namespace

int main(int argc, char* argv[]) {
    const ProgramEntry entry = loggerEntry(BuildPowerPointVersion, [] {
        return std::make_unique<QtLoggerEnvironment>(presentationProgram());
    });
    return runQtProgram(entry, argc, argv);
}
