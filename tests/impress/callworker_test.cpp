#include "logger/impress/callworker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// A call that blocks until the test lets it go, as a call into a stopped office does.
struct Gate {
    std::promise<void> open;
    std::shared_future<void> opened = open.get_future().share();
    std::function<void()> stuckCall() {
        return [f = opened] { f.wait(); };
    }
};

} // namespace

TEST(CallWorker, stalledCallFailsWithinItsBoundAndRefusesOthersUntilItReturns) {
    CallWorker worker;
    int answer = 0;
    EXPECT_EQ(worker.run([&] { answer = 42; }, 1000ms), CallWorker::Outcome::Done);
    EXPECT_EQ(answer, 42);

    Gate gate;
    auto begin = Clock::now();
    EXPECT_EQ(worker.run(gate.stuckCall(), 100ms), CallWorker::Outcome::TimedOut);
    EXPECT_LT(Clock::now() - begin, 400ms);

    begin = Clock::now();
    std::atomic<bool> ran{false};
    EXPECT_EQ(worker.run([&] { ran = true; }, 100ms), CallWorker::Outcome::Busy);
    EXPECT_LT(Clock::now() - begin, 50ms);

    gate.open.set_value();
    const auto deadline = Clock::now() + 2s;
    auto outcome = CallWorker::Outcome::Busy;
    while (outcome == CallWorker::Outcome::Busy && Clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
        outcome = worker.run([&] { ran = true; }, 100ms);
    }
    EXPECT_EQ(outcome, CallWorker::Outcome::Done);
    EXPECT_TRUE(ran);
}

TEST(CallWorker, goingAwayDuringAStalledCallDoesNotHang) {
    Gate gate;
    auto shared = std::make_shared<std::atomic<int>>(0);
    const auto begin = Clock::now();
    {
        CallWorker worker;
        EXPECT_EQ(worker.run(
                      [shared, f = gate.opened] {
                          f.wait();
                          ++*shared;
                      },
                      50ms),
                  CallWorker::Outcome::TimedOut);
    }
    EXPECT_LT(Clock::now() - begin, 3s);
    // The abandoned call still finishes safely once its peer answers.
    gate.open.set_value();
    const auto deadline = Clock::now() + 2s;
    while (*shared == 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    EXPECT_EQ(*shared, 1);
}
