// cuerec7 and cuerec8: one source, built once per PowerPoint version (CUE_PPT_VERSION).
#include "common/programregistry.h"
#include "gui/qtloggerenvironment.h"
#include "gui/qtprogram.h"
#include "logger/loggerprograms.h"
#include "logger/powerpointversion.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    const ProgramEntry entry =
        loggerEntry(BuildPowerPointVersion, [] { return std::make_unique<QtLoggerEnvironment>(); });
    const int status = runQtProgram(entry, argc, argv);
    // A stuck office must not keep the process alive in the static teardown.
    if (QtLoggerEnvironment::officeLeftStuck()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
