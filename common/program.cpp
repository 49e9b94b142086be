#include "program.h"

Program cuebuildProgram(const std::string& directory) {
    return {"Cuemark PostProcessor", "Version 1.0.2", directory, "cuebuild.hlp", false};
}

Program loggerProgram(int powerPointVersion, const std::string& directory) {
    return {"Cuemark Logger " + std::to_string(powerPointVersion), "Version 1", directory,
            "cuerec.hlp", false};
}

std::string programFilePath(const Program& program, const std::string& fileName) {
#ifdef _WIN32
    constexpr char separator = '\\';
#else
    constexpr char separator = '/';
#endif
    return program.directory + separator + fileName;
}
