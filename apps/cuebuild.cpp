// cuebuild: the post-processor.
#include "forms/programregistry.h"
#include "gui/qtprogram.h"
#include "schedule/cuebuildprogram.h"

int main(int argc, char* argv[]) {
    ProgramRegistry programs;
    registerCuebuild(programs);
    return runQtProgram(*programs.find("cuebuild"), "cuebuild", argc, argv);
}
