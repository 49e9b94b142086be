#pragma once

#include <memory>
#include <string>

class SettingsStore;

// Where the script tools find their folders and keep a script's settings: the Qt settings
// store on Linux, the Win32 calls on Windows. Paths are the program's 8-bit text.
namespace ToolPlatform {

// The folder this program's file lies in, where the shipped files are.
std::string programFolder();
// The folder the program was started in.
std::string currentFolder();
// Each application's settings in DIRECTORY/<application>.ini, the folder made if missing;
// the same files on every platform, so a script's settings travel with it.
std::unique_ptr<SettingsStore> iniSettingsStore(const std::string& directory);

} // namespace ToolPlatform
