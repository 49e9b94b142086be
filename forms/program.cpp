#include "program.h"

std::string programFilePath(const Program& program, const std::string& fileName) {
#ifdef _WIN32
    constexpr char separator = '\\';
#else
    constexpr char separator = '/';
#endif
    return program.directory + separator + fileName;
}
