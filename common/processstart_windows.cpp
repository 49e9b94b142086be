#include "processstart.h"

#include <windows.h>

namespace {

// One argument as the C runtime's command-line parser reads it back: in quotes, with the
// backslashes before a quote doubled and the quote escaped.
std::string quoted(const std::string& arg) {
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

std::string systemMessage(DWORD error) {
    char text[512] = {};
    const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, error, 0, text, sizeof text, nullptr);
    std::string message(text, n);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message;
}

} // namespace

// The program's 8-bit text is the ANSI code page, so the narrow calls pass the bytes on.
StartResult startDetachedProcess(const std::string& program, const std::vector<std::string>& args,
                                 const std::string& workingDirectory) {
    if (!workingDirectory.empty()) {
        const DWORD attributes = ::GetFileAttributesA(workingDirectory.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return {false, true, systemMessage(ERROR_PATH_NOT_FOUND)};
    }
    std::string commandLine = quoted(program);
    for (const std::string& arg : args)
        commandLine += " " + quoted(arg);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINNOACTIVE;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup,
                          &process))
        return {false, false, systemMessage(::GetLastError())};
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return {};
}
