#include "comserverfixture.h"

#include "common/textfile.h"
#include "common/win32text.h"

#include <windows.h>

#include <tlhelp32.h>

#include <stdexcept>
#include <vector>

namespace {

std::string besideThisProgram(const std::string& name) {
    return Win32Text::programFolder() + "\\" + name;
}

int run(const std::string& commandLine) {
    std::wstring command = Win32Text::widen(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        throw std::runtime_error("cannot start " + commandLine);
    WaitForSingleObject(process.hProcess, 30000);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}

// The processes of the server now running.
std::vector<DWORD> serverProcesses() {
    std::vector<DWORD> found;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry))
        if (lstrcmpiW(entry.szExeFile, L"pptserver.exe") == 0)
            found.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return found;
}

bool serverRunning() {
    return !serverProcesses().empty();
}

void waitForServersToEnd() {
    for (int waited = 0; waited < 15000 && serverRunning(); waited += 100)
        Sleep(100);
}

} // namespace

ComServer::ComServer() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    m_folder = Win32Text::narrow(temp) + "cuecom" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryW(Win32Text::widen(m_folder).c_str(), nullptr);
}

ComServer::~ComServer() {
    unregister();
}

int ComServer::registerAs(const std::string& names, const std::string& show) {
    waitForServersToEnd();
    const std::string showFile = m_folder + "show" + std::to_string(++m_shows) + ".txt";
    TextFile::writeAtomically(showFile, show);
    return run(Win32Text::quotedArgument(besideThisProgram("pptserver.exe")) + " /RegServer " +
               names + " " + Win32Text::quotedArgument(showFile));
}

void ComServer::unregister() {
    run(Win32Text::quotedArgument(besideThisProgram("pptserver.exe")) + " /UnregServer");
}

void ComServer::kill() {
    for (const DWORD id : serverProcesses()) {
        if (const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
            TerminateProcess(process, 9);
            WaitForSingleObject(process, 10000);
            CloseHandle(process);
        }
    }
}
