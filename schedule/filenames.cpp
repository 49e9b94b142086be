#include "filenames.h"

#include <algorithm>

std::string withTxtExtension(const std::string& path) {
    return path.find('.') == std::string::npos ? path + ".txt" : path;
}

bool isNameSafe(std::string_view value) {
    return std::none_of(value.begin(), value.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}
