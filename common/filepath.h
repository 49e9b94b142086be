#pragma once

#include <filesystem>
#include <string>

// A path of the program's bytes as the standard library's path, and back, so
// std::filesystem reaches the very name the file layer does: the bytes as they are on
// POSIX, the ANSI code page widened and narrowed through Win32Text on Windows.
namespace TextFile {

std::filesystem::path nativePath(const std::string& path);
std::string pathBytes(const std::filesystem::path& path);

} // namespace TextFile
