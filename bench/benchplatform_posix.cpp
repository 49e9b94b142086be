#include "benchplatform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <stdexcept>

std::string BenchPlatform::makeScratchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/cuebench-XXXXXX";
    if (!::mkdtemp(folder.data()))
        throw std::runtime_error(folder + ": " + std::strerror(errno));
    return folder;
}

void BenchPlatform::removeFolder(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

double BenchPlatform::processCpuSeconds() {
    timespec used{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}
