#include "callworker.h"

#include <condition_variable>
#include <mutex>
#include <thread>

struct CallWorker::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::function<void()> pending;
    bool running = false;
    bool stopping = false;
    bool finished = false;
    unsigned long long started = 0;
    unsigned long long completed = 0;
};

namespace {
constexpr std::chrono::milliseconds stopWait{1000};
}

CallWorker::CallWorker() : m_shared(std::make_shared<Shared>()) {
    std::thread([shared = m_shared] {
        std::unique_lock lock(shared->mutex);
        for (;;) {
            shared->changed.wait(lock, [&] { return shared->stopping || shared->pending; });
            if (!shared->pending)
                break;
            auto job = std::move(shared->pending);
            shared->pending = nullptr;
            lock.unlock();
            job();
            job = nullptr;
            lock.lock();
            shared->running = false;
            ++shared->completed;
            shared->changed.notify_all();
        }
        shared->finished = true;
        shared->changed.notify_all();
    }).detach();
}

CallWorker::~CallWorker() {
    std::unique_lock lock(m_shared->mutex);
    m_shared->stopping = true;
    m_shared->changed.notify_all();
    // The thread shares its state, so one stuck in a call can safely outlive us.
    m_shared->changed.wait_for(lock, stopWait, [&] { return m_shared->finished; });
}

CallWorker::Outcome CallWorker::run(std::function<void()> job, std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_shared->mutex);
    if (m_shared->running || m_shared->stopping)
        return Outcome::Busy;
    m_shared->pending = std::move(job);
    m_shared->running = true;
    const auto ticket = ++m_shared->started;
    m_shared->changed.notify_all();
    const bool done =
        m_shared->changed.wait_for(lock, timeout, [&] { return m_shared->completed >= ticket; });
    return done ? Outcome::Done : Outcome::TimedOut;
}
