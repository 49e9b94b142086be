#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class SettingsStore;

// What the script tools need from the platform: Qt's classes on Linux, the Win32 calls on
// Windows. Paths are the program's 8-bit text.
namespace ToolPlatform {

// The folder this program's file lies in, where the shipped files are.
std::string programFolder();
// The folder the program was started in.
std::string currentFolder();
// Each application's settings in DIRECTORY/<application>.ini, the folder made if missing;
// the same files on every platform, so a script's settings travel with it.
std::unique_ptr<SettingsStore> iniSettingsStore(const std::string& directory);
// Runs a program to its end (a minute at most, then it is stopped); false when it could
// not start. A failure or a stop is told on err.
bool runToEnd(const std::string& program, const std::vector<std::string>& args,
              const std::string& workingDirectory, std::ostream& err);

} // namespace ToolPlatform
