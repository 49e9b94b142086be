// cuerec7 and cuerec8: one source, built once per PowerPoint version (CUE_PPT_VERSION).
#include "common/programregistry.h"
#include "gui/qtloggerenvironment.h"
#include "gui/qtprogram.h"
#include "logger/loggerprograms.h"
#include "logger/powerpointversion.h"

#ifdef CUE_IMPRESS_BINDING
#include "logger/impress/impressbinding.h"
#endif

// On Linux the loggers bind LibreOffice Impress for the PowerPoint class names; only they
// link the office's libraries.
namespace {
AutomationFactory desktopAutomation() {
#ifdef CUE_IMPRESS_BINDING
    return impressAutomationFactory();
#else
    return platformAutomationFactory();
#endif
}
} // namespace

int main(int argc, char* argv[]) {
    const ProgramEntry entry = loggerEntry(BuildPowerPointVersion, [] {
        return std::make_unique<QtLoggerEnvironment>(desktopAutomation());
    });
    return runQtProgram(entry, "cuerec", argc, argv);
}
