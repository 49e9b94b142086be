#pragma once

#include <chrono>
#include <string>
#include <vector>

// Whether a program started and, if not, which part failed and why.
struct StartResult {
    bool started = true;
    bool folderFailed = false; // the working folder could not be entered
    std::string reason;        // the system's description; may be empty
    explicit operator bool() const { return started; }
};

// Starts a program with an argument list, never through a shell, in workingDirectory,
// without waiting for it. The program, the arguments and the folder reach the system as
// the bytes given, so 8-bit names in any code page are passed on unchanged. A bare
// program name is looked up on the search path.
StartResult startDetachedProcess(const std::string& program, const std::vector<std::string>& args,
                                 const std::string& workingDirectory);

// How a program run to its end ended.
struct RunResult {
    StartResult start;
    bool stopped = false; // still running at the time limit, and stopped then
    int status = 0;       // its exit status; 128 + the signal's number for one a signal ended
};

// Starts a program as startDetachedProcess does, with this program's standard output and
// error, and waits for its end, at most `limit`.
RunResult runProcess(const std::string& program, const std::vector<std::string>& args,
                     const std::string& workingDirectory, std::chrono::milliseconds limit);
