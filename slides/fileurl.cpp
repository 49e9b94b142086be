#include "fileurl.h"

#include "webout/encoders.h"

std::string fileUrlOf(const std::string& absolutePath) {
    if (absolutePath.empty() || absolutePath.front() != '/')
        return {};
    std::string url = "file://";
    for (const char c : absolutePath) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~' || c == '/';
        url += unreserved ? std::string(1, c) : percentEncoded(c);
    }
    return url;
}
