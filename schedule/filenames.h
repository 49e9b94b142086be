#pragma once

#include <string>

// A chosen path without any "." gets ".txt"; a dot anywhere, even in a folder name,
// leaves the path as chosen.
std::string withTxtExtension(const std::string& path);
