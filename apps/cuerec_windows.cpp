// cuerec7 and cuerec8 on Windows: one source, built once per PowerPoint version
// (CUE_PPT_VERSION); both bind PowerPoint through COM.
#include "logger/comautomation.h"
#include "logger/loggerprograms.h"
#include "logger/powerpointversion.h"
#include "win32/win32program.h"

#include <memory>

int main(int argc, char* argv[]) {
    const ProgramEntry entry = loggerEntry(BuildPowerPointVersion, [] {
        // COM creates a server that runs already, and starts one otherwise.
        return std::make_unique<Win32LoggerEnvironment>(
            PresentationBinding{comAutomationFactory(), comAutomationFactory(), {}});
    });
    return runWin32Program(entry, argc, argv);
}
