// cuebuild on Windows: the post-processor on the Win32 desktop.
#include "forms/programregistry.h"
#include "schedule/cuebuildprogram.h"
#include "win32/win32program.h"

int main(int argc, char* argv[]) {
    ProgramRegistry programs;
    registerCuebuild(programs);
    return runWin32Program(*programs.find("cuebuild"), argc, argv);
}
