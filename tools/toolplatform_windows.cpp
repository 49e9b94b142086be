// The script tools' platform on the Win32 calls.
#include "toolplatform.h"

#include "common/settingsstore.h"
#include "common/win32text.h"

#include <windows.h>

#include <filesystem>
#include <ostream>
#include <system_error>

namespace {

constexpr DWORD TimeLimitMs = 60000;

// Each application's settings in DIRECTORY\<application>.ini, through the system's own
// profile calls.
class IniSettingsStore : public SettingsStore {
  public:
    explicit IniSettingsStore(std::string directory) : m_directory(std::move(directory)) {}

    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key,
                           const std::string& defaultValue = {}) const override {
        const std::wstring file = fileOf(application);
        const std::wstring wideSection = Win32Text::widen(section);
        const std::wstring wideKey = Win32Text::widen(key);
        // An absent key gives the marker back, which no stored text can be.
        const wchar_t* const absent = L"\x1\x2";
        std::wstring value(1024, L'\0');
        for (;;) {
            const DWORD n = ::GetPrivateProfileStringW(
                wideSection.c_str(), wideKey.c_str(), absent, value.data(),
                static_cast<DWORD>(value.size()), file.c_str());
            if (n + 1 < value.size()) {
                value.resize(n);
                break;
            }
            value.resize(value.size() * 4);
        }
        return value == absent ? defaultValue : Win32Text::narrow(value);
    }

    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override {
        // As with the other stores, a setting that cannot be kept is lost quietly.
        ::WritePrivateProfileStringW(Win32Text::widen(section).c_str(),
                                     Win32Text::widen(key).c_str(), Win32Text::widen(value).c_str(),
                                     fileOf(application).c_str());
    }

  private:
    std::wstring fileOf(const std::string& application) const {
        return Win32Text::widen(m_directory + "\\" + application + ".ini");
    }

    std::string m_directory;
};

} // namespace

std::string ToolPlatform::programFolder() {
    return Win32Text::programFolder();
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
    std::string commandLine = Win32Text::quotedArgument(program);
    for (const std::string& arg : args)
        commandLine += " " + Win32Text::quotedArgument(arg);
    std::wstring wideLine = Win32Text::widen(commandLine);
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
