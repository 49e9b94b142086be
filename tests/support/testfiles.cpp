#include "testfiles.h"

#include "common/filepath.h"

#ifdef _WIN32
#include "common/win32text.h"

#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

#include <algorithm>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

fs::path TestFiles::native(const std::string& bytes) {
    return TextFile::nativePath(bytes);
}

std::string TestFiles::bytesOf(const fs::path& path) {
    return TextFile::pathBytes(path);
}

bool TestFiles::exists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(native(path), error));
}

bool TestFiles::makePath(const std::string& folder) {
    std::error_code error;
    fs::create_directories(native(folder), error);
    return fs::is_directory(native(folder), error);
}

bool TestFiles::copy(const std::string& from, const std::string& to) {
    std::error_code error;
    return fs::copy_file(native(from), native(to), fs::copy_options::overwrite_existing, error);
}

bool TestFiles::rename(const std::string& from, const std::string& to) {
    std::error_code error;
    fs::rename(native(from), native(to), error);
    return !error;
}

bool TestFiles::remove(const std::string& path) {
    std::error_code error;
    return fs::remove(native(path), error);
}

namespace {

std::set<std::string> namesIn(const std::string& folder, bool filesOnly) {
    std::set<std::string> out;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(TestFiles::native(folder), error)) {
        std::error_code ignored;
        if (!filesOnly || entry.is_regular_file(ignored))
            out.insert(TestFiles::bytesOf(entry.path().filename()));
    }
    return out;
}

} // namespace

std::set<std::string> TestFiles::names(const std::string& folder) {
    return namesIn(folder, false);
}

std::set<std::string> TestFiles::fileNames(const std::string& folder) {
    return namesIn(folder, true);
}

bool TestFiles::copyFiles(const std::string& from, const std::string& to,
                          const std::vector<std::string>& except) {
    bool copied = makePath(to);
    for (const std::string& name : fileNames(from)) {
        if (std::find(except.begin(), except.end(), name) == except.end())
            copied = copy(from + "/" + name, to + "/" + name) && copied;
    }
    return copied;
}

bool TestFiles::makeProgramFolder(const std::string& to, const std::vector<std::string>& except) {
    std::vector<std::string> skipped = except;
    for (const std::string& name : fileNames(CUE_RUNTIME_DIR)) {
        const size_t dot = name.rfind('.');
        const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
        if (extension != ".htm" && extension != ".gif" && extension != ".hlp")
            skipped.push_back(name);
    }
    return copyFiles(CUE_RUNTIME_DIR, to, skipped);
}

std::string TestFiles::systemReason(int posixError, unsigned long windowsError) {
#ifdef _WIN32
    (void)posixError;
    return Win32Text::systemMessage(windowsError);
#else
    (void)windowsError;
    return std::strerror(posixError);
#endif
}

std::string TestFiles::runtimeProgram(const std::string& name) {
#ifdef _WIN32
    return CUE_RUNTIME_DIR "/" + name + ".exe";
#else
    return CUE_RUNTIME_DIR "/" + name;
#endif
}

#ifdef _WIN32
TestFiles::ProgramRun TestFiles::runProgram(const std::string& program,
                                            const std::vector<std::string>& args) {
    ProgramRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return run;
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    std::wstring wideLine = Win32Text::widen(Win32Text::commandLine(program, args));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(nullptr, wideLine.data(), nullptr, nullptr, TRUE, 0,
                                          nullptr, nullptr, &startup, &process);
    ::CloseHandle(writeEnd);
    if (started) {
        char block[4096];
        DWORD n = 0;
        while (::ReadFile(readEnd, block, sizeof block, &n, nullptr) && n > 0)
            run.errors.append(block, n);
        DWORD status = 0;
        if (::WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0 &&
            ::GetExitCodeProcess(process.hProcess, &status))
            run.exitCode = static_cast<int>(status);
        else
            ::TerminateProcess(process.hProcess, 1);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(readEnd);
    // The C runtime writes "\n" to a pipe as CR LF; the tests compare the lines.
    std::string lines;
    for (size_t i = 0; i < run.errors.size(); ++i) {
        if (!(run.errors[i] == '\r' && i + 1 < run.errors.size() && run.errors[i + 1] == '\n'))
            lines += run.errors[i];
    }
    run.errors = lines;
    return run;
}
#else
TestFiles::ProgramRun TestFiles::runProgram(const std::string& program,
                                            const std::vector<std::string>& args) {
    ProgramRun run;
    int ends[2];
    if (::pipe(ends) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 2);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    if (spawned == 0) {
        char block[4096];
        ssize_t n = 0;
        while ((n = ::read(ends[0], block, sizeof block)) > 0)
            run.errors.append(block, static_cast<size_t>(n));
        int status = 0;
        if (::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            run.exitCode = WEXITSTATUS(status);
    }
    ::close(ends[0]);
    return run;
}
#endif

TempFolder::TempFolder() {
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    std::random_device random;
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
        const fs::path candidate = base / ("cuetest-" + std::to_string(random()));
        if (fs::create_directory(candidate, error))
            m_path = TestFiles::bytesOf(candidate);
    }
}

TempFolder::~TempFolder() {
    if (m_path.empty())
        return;
    std::error_code error;
    fs::remove_all(TestFiles::native(m_path), error);
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(TestFiles::native(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void putFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(TestFiles::native(path), std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}
