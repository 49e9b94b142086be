#pragma once

#include <string>

// The file dialogs' filter for the system's text files.
inline constexpr const char* TextFilesFilter = "Text Files (*.txt)|*.txt";

// A chosen path without any "." gets ".txt"; a dot anywhere, even in a folder name,
// leaves the path as chosen.
std::string withTxtExtension(const std::string& path);
