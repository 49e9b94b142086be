#pragma once

#include <string>

// What the timing program needs of the platform besides the file layer. Paths are the
// program's 8-bit text.
namespace BenchPlatform {

// A new empty folder among the system's temporary files.
std::string makeScratchFolder(); // throws std::runtime_error
// Removes a folder and everything in it, quietly.
void removeFolder(const std::string& folder);
// The processor time this process has used so far, user and system, in seconds.
double processCpuSeconds();

} // namespace BenchPlatform
