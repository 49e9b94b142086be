#include "scratchfolder.h"

#include "common/filepath.h"
#include "common/textfile.h"

#include <filesystem>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& prefix) {
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    if (error)
        throw FileError("there is no temporary folder: " + error.message());
    std::random_device random;
    // A name taken by someone else fails to be made, and the next one is tried.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = base / (prefix + "-" + std::to_string(random()));
        if (fs::create_directory(candidate, error)) {
            fs::permissions(candidate, fs::perms::owner_all, fs::perm_options::replace, error);
            m_path = TextFile::pathBytes(candidate);
            return;
        }
        if (error && error != std::errc::file_exists)
            break;
    }
    throw FileError("cannot make a folder in " + TextFile::pathBytes(base) +
                    (error ? ": " + error.message() : std::string()));
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(TextFile::nativePath(m_path), ignored);
}
