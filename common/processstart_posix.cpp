#include "processstart.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// What the child reports through the pipe when it cannot go on.
struct ChildFailure {
    int folder;
    int error;
};

[[noreturn]] void reportAndExit(int pipe, bool folder, int error) {
    const ChildFailure failure{folder ? 1 : 0, error};
    (void)!::write(pipe, &failure, sizeof failure);
    ::_exit(127);
}

// Forks a child that enters the folder and runs the program; a detached one runs it in a
// grandchild of its own session, so it is nobody's child to wait for. `child` is the
// process forked here, which the caller waits for.
StartResult spawn(const std::string& program, const std::vector<std::string>& args,
                  const std::string& workingDirectory, bool detached, pid_t& child) {
    if (program.empty())
        return {false, false, std::strerror(ENOENT)};
    // Everything the child needs is made before the fork: after it, only calls that are
    // safe in a forked copy of a threaded program are made.
    std::vector<std::string> owned = {program};
    owned.insert(owned.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : owned)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0)
        return {false, false, std::strerror(errno)};
    child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (detached)
            ::setsid();
        if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0)
            reportAndExit(channel[1], true, errno);
        if (detached) {
            const pid_t runner = ::fork();
            if (runner < 0)
                reportAndExit(channel[1], false, errno);
            if (runner > 0)
                ::_exit(0);
        }
        ::execvp(argv[0], argv.data());
        reportAndExit(channel[1], false, errno);
    }
    ::close(channel[1]);
    if (child < 0) {
        const int error = errno;
        ::close(channel[0]);
        return {false, false, std::strerror(error)};
    }
    // The pipe closes without a word when the program has replaced the child.
    ChildFailure failure{};
    ssize_t n;
    do
        n = ::read(channel[0], &failure, sizeof failure);
    while (n < 0 && errno == EINTR);
    ::close(channel[0]);
    if (n != static_cast<ssize_t>(sizeof failure))
        return {};
    return {false, failure.folder != 0, std::strerror(failure.error)};
}

int waitFor(pid_t child, int options, int& status) {
    int result;
    while ((result = ::waitpid(child, &status, options)) < 0 && errno == EINTR) {
    }
    return result;
}

} // namespace

StartResult startDetachedProcess(const std::string& program, const std::vector<std::string>& args,
                                 const std::string& workingDirectory) {
    pid_t child = -1;
    const StartResult started = spawn(program, args, workingDirectory, true, child);
    int status = 0;
    if (child > 0)
        waitFor(child, 0, status);
    return started;
}

RunResult runProcess(const std::string& program, const std::vector<std::string>& args,
                     const std::string& workingDirectory, std::chrono::milliseconds limit) {
    RunResult run;
    pid_t child = -1;
    run.start = spawn(program, args, workingDirectory, false, child);
    if (child <= 0)
        return run;
    int status = 0;
    // A short poll keeps this free of signal handlers, which the caller may have its own of.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (waitFor(child, WNOHANG, status) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(child, SIGKILL);
            waitFor(child, 0, status);
            run.stopped = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!run.start)
        return run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}
