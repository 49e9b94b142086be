#include "benchplatform.h"

#include "common/win32text.h"

#include <windows.h>

#include <filesystem>
#include <stdexcept>

std::string BenchPlatform::makeScratchFolder() {
    std::wstring temp(MAX_PATH + 1, L'\0');
    temp.resize(::GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
    const std::string base =
        Win32Text::narrow(temp) + "cuebench-" + std::to_string(::GetCurrentProcessId()) + "-";
    for (int attempt = 0;; ++attempt) {
        const std::string folder = base + std::to_string(attempt);
        if (::CreateDirectoryW(Win32Text::widen(folder).c_str(), nullptr))
            return folder;
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS || attempt >= 100)
            throw std::runtime_error(folder + ": " + Win32Text::systemMessage(error));
    }
}

void BenchPlatform::removeFolder(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(Win32Text::widen(folder)), ignored);
}

double BenchPlatform::processCpuSeconds() {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    const auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7; // counted in 100 ns
    };
    return seconds(kernel) + seconds(user);
}
