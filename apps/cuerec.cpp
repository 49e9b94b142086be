// cuerec7 and cuerec8: one source, built once per PowerPoint version (CUE_PPT_VERSION).
#include "common/programregistry.h"
#include "gui/qtloggerenvironment.h"
#include "gui/qtprogram.h"
#include "logger/loggerprograms.h"
#include "logger/powerpointversion.h"

int main(int argc, char* argv[]) {
    const ProgramEntry entry =
        loggerEntry(BuildPowerPointVersion, [] { return std::make_unique<QtLoggerEnvironment>(); });
    return runQtProgram(entry, argc, argv);
}
