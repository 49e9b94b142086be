// The script tools' folders on POSIX, where a path is its bytes.
#include "toolplatform.h"

#include <filesystem>
#include <system_error>

std::string ToolPlatform::programFolder() {
    // Needs no application object, so the command line is read before anything starts.
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

std::string ToolPlatform::currentFolder() {
    std::error_code error;
    return std::filesystem::current_path(error).string();
}

bool ToolPlatform::makeFolders(const std::string& directory) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    return std::filesystem::is_directory(directory, error);
}
