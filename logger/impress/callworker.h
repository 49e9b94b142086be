#pragma once

#include <chrono>
#include <functional>
#include <memory>

// One thread that makes blocking calls for its callers, each waited for with a bound.
// A call still running when its caller gives up is left to finish alone; while it runs,
// new calls are refused at once, so a stalled peer costs a caller one bounded wait and
// then nothing more until it answers again.
class CallWorker {
  public:
    enum class Outcome { Done, TimedOut, Busy };

    CallWorker();
    // Waits a short while for a running call, then leaves the thread to end by itself.
    ~CallWorker();
    CallWorker(const CallWorker&) = delete;
    CallWorker& operator=(const CallWorker&) = delete;

    // Runs job on the worker thread and waits at most timeout for it. The job must own
    // (or share) everything it touches, since it may outlive the wait and this worker.
    Outcome run(std::function<void()> job, std::chrono::milliseconds timeout);

  private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};
