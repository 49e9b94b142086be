#include "processstart.h"

#include "win32text.h"

#include <windows.h>

// The program's 8-bit text is the ANSI code page: widened once, the names reach the
// Unicode call as the operator's dialog gave them.
StartResult startDetachedProcess(const std::string& program, const std::vector<std::string>& args,
                                 const std::string& workingDirectory) {
    const std::wstring folder = Win32Text::widen(workingDirectory);
    if (!folder.empty()) {
        const DWORD attributes = ::GetFileAttributesW(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return {false, true, Win32Text::systemMessage(ERROR_PATH_NOT_FOUND)};
    }
    std::wstring wideLine = Win32Text::widen(Win32Text::commandLine(program, args));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // Minimised and active, as the operator has always seen the tool come up.
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, wideLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return {false, false, Win32Text::systemMessage(::GetLastError())};
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return {};
}
