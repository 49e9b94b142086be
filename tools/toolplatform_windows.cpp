// The script tools' folders on the Win32 calls, where a path is the ANSI code page.
#include "toolplatform.h"

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

bool ToolPlatform::makeFolders(const std::string& directory) {
    std::error_code error;
    const std::filesystem::path path = Win32Text::widen(directory);
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}
