#include "processstart.h"

#include "win32text.h"

#include <windows.h>

namespace {

// The program's 8-bit text is the ANSI code page: widened once, the names reach the
// Unicode call as the operator's dialog gave them. A program run to its end inherits this
// program's standard handles, so its messages reach the same output.
StartResult spawn(const std::string& program, const std::vector<std::string>& args,
                  const std::string& workingDirectory, bool detached,
                  PROCESS_INFORMATION& process) {
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
    if (!::CreateProcessW(nullptr, wideLine.data(), nullptr, nullptr, detached ? FALSE : TRUE, 0,
                          nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return {false, false, Win32Text::systemMessage(::GetLastError())};
    ::CloseHandle(process.hThread);
    return {};
}

} // namespace

StartResult startDetachedProcess(const std::string& program, const std::vector<std::string>& args,
                                 const std::string& workingDirectory) {
    PROCESS_INFORMATION process{};
    const StartResult started = spawn(program, args, workingDirectory, true, process);
    if (started)
        ::CloseHandle(process.hProcess);
    return started;
}

RunResult runProcess(const std::string& program, const std::vector<std::string>& args,
                     const std::string& workingDirectory, std::chrono::milliseconds limit) {
    RunResult run;
    PROCESS_INFORMATION process{};
    run.start = spawn(program, args, workingDirectory, false, process);
    if (!run.start)
        return run;
    if (::WaitForSingleObject(process.hProcess, static_cast<DWORD>(limit.count())) !=
        WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
        ::WaitForSingleObject(process.hProcess, INFINITE);
        run.stopped = true;
    }
    DWORD status = 0;
    if (::GetExitCodeProcess(process.hProcess, &status))
        run.status = static_cast<int>(status);
    ::CloseHandle(process.hProcess);
    return run;
}
