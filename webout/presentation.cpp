#include "presentation.h"

#include "webout/pathhelpers.h"

#include <filesystem>

std::optional<std::string> outputDirectoryOf(std::string_view logFileName) {
    std::string directory = GetFname(logFileName).directory;
    if (directory.empty())
        return std::nullopt;
    return directory;
}

bool isProgramFolder(const std::string& outputDirectory, const std::string& programDirectory) {
    std::error_code ec;
    return !programDirectory.empty() &&
           std::filesystem::equivalent(outputDirectory, programDirectory, ec) && !ec;
}
