#pragma once

#include <string>
#include <string_view>

// The file dialogs' filter for the system's text files.
inline constexpr const char* TextFilesFilter = "Text Files (*.txt)|*.txt";

// A chosen path without any "." gets ".txt"; a dot anywhere, even in a folder name,
// leaves the path as chosen.
std::string withTxtExtension(const std::string& path);

// Whether a value can become part of a file name or of a program's command line with
// every byte as it stands, on each platform: a NUL ends it early, and no Windows name
// holds any other control byte.
bool isNameSafe(std::string_view value);
