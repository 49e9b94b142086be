#pragma once

#include <string>

// Where the script tools find their folders, one source per platform. Paths are the
// program's 8-bit text and reach the system unchanged.
namespace ToolPlatform {

// The folder this program's file lies in, where the shipped files are.
std::string programFolder();
// The folder the program was started in.
std::string currentFolder();
// Makes the folder and those missing above it; false when it is not there after all.
bool makeFolders(const std::string& directory);

} // namespace ToolPlatform
