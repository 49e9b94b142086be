// The script tools' platform on the Win32 calls.
#include "toolplatform.h"

#include "common/inisettingsstore.h"
#include "common/win32text.h"

#include <windows.h>

#include <filesystem>
#include <ostream>
#include <system_error>

namespace {

constexpr DWORD TimeLimitMs = 60000;

} // namespace

std::string ToolPlatform::programFolder() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n < name.size()) {
            name.resize(n);
            break;
        }
        name.resize(name.size() * 2);
    }
    return Win32Text::narrow(name.substr(0, name.find_last_of(L"\\/")));
}

std::string ToolPlatform::currentFolder() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    folder.resize(::GetCurrentDirectoryW(size, folder.data()));
    return Win32Text::narrow(folder);
}

std::unique_ptr<SettingsStore> ToolPlatform::iniSettingsStore(const std::string& directory) {
    std::error_code ignored;
    std::filesystem::create_directories(Win32Text::widen(directory), ignored);
    return std::make_unique<IniSettingsStore>(directory);
}

bool ToolPlatform::runToEnd(const std::string& program, const std::vector<std::string>& args,
                            const std::string& workingDirectory, std::ostream& err) {
    std::wstring wideLine = Win32Text::widen(Win32Text::commandLine(program, args));
    const std::wstring folder = Win32Text::widen(workingDirectory);
    // The program writes to this program's own error output.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, wideLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    DWORD status = 0;
    if (::WaitForSingleObject(process.hProcess, TimeLimitMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
        ::WaitForSingleObject(process.hProcess, INFINITE);
        err << "cuescript: " << program << " did not end within " << TimeLimitMs / 1000
            << " seconds and was stopped\n";
    } else if (::GetExitCodeProcess(process.hProcess, &status) && status != 0) {
        err << "cuescript: " << program << " ended with status " << status << '\n';
    }
    ::CloseHandle(process.hProcess);
    return true;
}
