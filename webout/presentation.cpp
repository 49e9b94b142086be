#include "presentation.h"

#include "webout/pathhelpers.h"

std::optional<std::string> outputDirectoryOf(std::string_view logFileName) {
    std::string directory = GetFname(logFileName).directory;
    if (directory.empty())
        return std::nullopt;
    return directory;
}
