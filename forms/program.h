#pragma once

#include <string>

// What one running program shares between its windows.
struct Program {
    std::string title;        // the title of its registry entry
    std::string version;      // shown in the About box
    std::string directory;    // the program's own directory, without a trailing separator
    std::string helpFileName; // beside the program
    bool SplashMode = false;
};

// A file that ships beside the program.
std::string programFilePath(const Program& program, const std::string& fileName);
inline std::string helpFilePath(const Program& program) {
    return programFilePath(program, program.helpFileName);
}
