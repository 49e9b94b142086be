// The script tools' platform on the Win32 calls.
#include "toolplatform.h"

#include "common/inisettingsstore.h"
#include "common/win32text.h"

#include <windows.h>

#include <filesystem>
#include <system_error>

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
