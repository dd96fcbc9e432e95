#include "xptools/Clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "ConsoleCapture.h"
#include "xptools/Thread.h"
#include "xptools/Time.h"

namespace {

TEST(ClockTest, SteadyTicksNeverGoBack) {
    uint64_t previousNs = XP::Time::GetTicks1G();
    for (int i = 0; i < 1000; ++i) {
        const uint64_t us = XP::Time::GetTicks1M();
        const uint64_t ns = XP::Time::GetTicks1G();
        ASSERT_GE(ns, previousNs);
        ASSERT_GE(ns / 1000, us);
        previousNs = ns;
    }
}

// Ticks move only by the installed manual clock's Advance; a second manual clock does nothing.
TEST(ClockTest, ManualTicksMoveOnlyByTheInstalledClock) {
    XP::ManualClock first;
    KestrelTest::ConsoleCapture console;
    XP::ManualClock second;
    EXPECT_FALSE(second.IsInstalled());
    EXPECT_FALSE(first.WaitForWaiters(1, 10));
    EXPECT_EQ(console.Take(),
              (std::vector<std::string>{
                  "ManualClock: a manual clock is already installed; this one does nothing",
                  "ManualClock: 0 of 1 threads waiting after 10 ms"}));

    const uint64_t startNs = XP::Time::GetTicks1G();
    const uint64_t startUs = XP::Time::GetTicks1M();
    second.Advance(1000);
    EXPECT_EQ(XP::Time::GetTicks1G(), startNs);
    first.Advance(1500);
    EXPECT_EQ(XP::Time::GetTicks1G() - startNs, 1500000000u);
    EXPECT_EQ(XP::Time::GetTicks1M() - startUs, 1500000u);
    first.AdvanceNs(999);
    EXPECT_EQ(XP::Time::GetTicks1G() - startNs, 1500000999u);
    EXPECT_EQ(XP::Time::GetTicks1M() - startUs, 1500000u);
}

TEST(ClockTest, WakeBeforeParkIsKept) {
    // A wake-up that arrives before the thread parks must end the park at once.
    const auto& waker = XP::Clock::CurrentWaker();
    waker->Wake();
    EXPECT_EQ(waker->Park(XP::Clock::NO_DEADLINE), XP::Clock::WAIT_WOKEN);
    // Consumed: the next park runs to its deadline.
    EXPECT_EQ(waker->Park(XP::Clock::NowNs()), XP::Clock::WAIT_TIMED_OUT);
}

// Many sleepers and many small steps: every step must wake exactly the sleepers whose deadline
// it reached, and none may miss one (the loop would then stall in WaitForWaiters).
TEST(ClockTest, SleepersFollowEachAdvance) {
    XP::ManualClock clock;
    constexpr unsigned int THREADS = 4;
    constexpr unsigned int ROUNDS = 50;
    std::atomic<unsigned int> finished{0};
    std::vector<std::thread> sleepers;
    for (unsigned int t = 0; t < THREADS; ++t) {
        sleepers.emplace_back([&finished, t] {
            // Thread t sleeps t+1 ms per round, so the threads fall out of step.
            for (unsigned int round = 0; round < ROUNDS; ++round) {
                XP::CThread::Sleep(t + 1);
            }
            ++finished;
        });
    }
    // Thread t ends at 50 * (t + 1) ms; until then it is parked whenever the test looks.
    for (unsigned int ms = 0; ms < ROUNDS * THREADS; ++ms) {
        const unsigned int sleeping = THREADS - ms / ROUNDS;
        ASSERT_TRUE(clock.WaitForWaiters(sleeping)) << "at " << ms << " ms";
        EXPECT_EQ(clock.GetWaiterCount(), sleeping) << "at " << ms << " ms";
        clock.Advance(1);
    }
    for (std::thread& sleeper : sleepers) {
        sleeper.join();
    }
    EXPECT_EQ(finished.load(), THREADS);
}

TEST(ClockTest, RemovingTheClockReleasesItsWaiters) {
    std::thread sleeper;
    {
        XP::ManualClock clock;
        sleeper = std::thread([] { XP::CThread::Sleep(20); });
        ASSERT_TRUE(clock.WaitForWaiters(1));
    }
    // The sleep goes on with the steady clock and ends by itself.
    sleeper.join();
}

}  // namespace
