#include "filenames.h"

std::string withTxtExtension(const std::string& path) {
    return path.find('.') == std::string::npos ? path + ".txt" : path;
}
