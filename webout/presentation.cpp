#include "presentation.h"

#include "common/textfile.h"
#include "webout/pathhelpers.h"

std::optional<std::string> outputDirectoryOf(std::string_view logFileName) {
    std::string directory = splitLocalPath(logFileName).directory;
    if (directory.empty())
        return std::nullopt;
    return directory;
}

bool isProgramFolder(const std::string& outputDirectory, const std::string& programDirectory) {
    return !programDirectory.empty() && TextFile::sameFile(outputDirectory, programDirectory);
}
