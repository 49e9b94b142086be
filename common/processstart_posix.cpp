#include "processstart.h"

#include <cerrno>
#include <cstring>

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

} // namespace

StartResult startDetachedProcess(const std::string& program, const std::vector<std::string>& args,
                                 const std::string& workingDirectory) {
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
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        ::setsid();
        if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0)
            reportAndExit(channel[1], true, errno);
        // A grandchild runs the program, so it is nobody's child to wait for.
        const pid_t runner = ::fork();
        if (runner < 0)
            reportAndExit(channel[1], false, errno);
        if (runner > 0)
            ::_exit(0);
        ::execvp(argv[0], argv.data());
        reportAndExit(channel[1], false, errno);
    }
    ::close(channel[1]);
    if (child < 0) {
        const int error = errno;
        ::close(channel[0]);
        return {false, false, std::strerror(error)};
    }
    // The pipe closes without a word when the program has replaced the grandchild.
    ChildFailure failure{};
    ssize_t n;
    do
        n = ::read(channel[0], &failure, sizeof failure);
    while (n < 0 && errno == EINTR);
    ::close(channel[0]);
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    if (n != static_cast<ssize_t>(sizeof failure))
        return {};
    return {false, failure.folder != 0, std::strerror(failure.error)};
}
