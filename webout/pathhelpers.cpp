#include "pathhelpers.h"

#include "common/text.h"

#include <cstdio>

namespace {

#ifdef _WIN32
constexpr std::string_view LocalSeparators = "/\\";
#else
constexpr std::string_view LocalSeparators = "/";
#endif

PathParts splitAtLast(std::string_view path, std::string_view separators) {
    const size_t last = path.find_last_of(separators);
    if (last == std::string_view::npos)
        return {std::string(path), {}};
    return {std::string(path.substr(last + 1)), std::string(path.substr(0, last + 1))};
}

} // namespace

PathParts GetFname(std::string_view path) {
    return splitAtLast(path, "/\\");
}

PathParts splitLocalPath(std::string_view path) {
    return splitAtLast(path, LocalSeparators);
}

FileNameParts SplitFileName(std::string_view fileName) {
    const size_t dot = fileName.find('.');
    if (dot == std::string_view::npos)
        return {std::string(fileName), {}};
    return {std::string(fileName.substr(0, dot)), std::string(fileName.substr(dot + 1))};
}

std::optional<ImageNameParts> SplitIMGFileName(std::string_view imageName) {
    const size_t zero = imageName.find('0');
    if (zero == std::string_view::npos)
        return std::nullopt;
    const size_t dot = imageName.find('.');
    return ImageNameParts{
        std::string(imageName.substr(0, zero)),
        std::string(dot == std::string_view::npos ? imageName : imageName.substr(dot + 1))};
}

std::string ExpandIMGPath(std::string_view pattern, std::string_view powerPointPath) {
    static constexpr std::string_view token = "{PF}";
    const size_t at = Text::findNoCase(pattern, token);
    if (at == std::string_view::npos)
        return std::string(pattern);
    const std::string baseName = SplitFileName(GetFname(powerPointPath).fileName).baseName;
    return std::string(pattern.substr(0, at)) + baseName +
           std::string(pattern.substr(at + token.size()));
}

std::string threeDigits(int number) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%03d", number);
    return buffer;
}
