#include "xptools/Semaphore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "xptools/Clock.h"

namespace {

TEST(SemaphoreTest, CountsSignalsAndTakes) {
    XP::CSemaphore semaphore(2);
    EXPECT_TRUE(semaphore.Wait(0));
    EXPECT_TRUE(semaphore.Wait());
    EXPECT_FALSE(semaphore.Wait(0));
    semaphore.Signal();
    semaphore.Signal();
    semaphore.Signal();
    EXPECT_EQ(semaphore.GetCount(), 3u);
    EXPECT_TRUE(semaphore.Wait(0));
    EXPECT_EQ(semaphore.GetCount(), 2u);
}

// A timed wait expires exactly at its deadline; signals end timed and untimed waits; a waiter
// that gave up must neither take nor strand a count meant for the others.
TEST(SemaphoreTest, WaitsOnTheManualClock) {
    XP::ManualClock clock;
    XP::CSemaphore semaphore(0);
    std::atomic<int> gaveUp{-1};
    std::atomic<int> timed{-1};
    std::atomic<int> untimed{-1};
    std::thread shortWaiter([&] { gaveUp = semaphore.Wait(100) ? 1 : 0; });
    std::thread timedWaiter([&] { timed = semaphore.Wait(60000) ? 1 : 0; });
    std::thread untimedWaiter([&] { untimed = semaphore.Wait() ? 1 : 0; });
    ASSERT_TRUE(clock.WaitForWaiters(3));
    clock.Advance(99);
    // Not yet: the waiter is still parked (Advance takes woken waiters off the list at once).
    EXPECT_EQ(clock.GetWaiterCount(), 3u);
    EXPECT_EQ(gaveUp.load(), -1);
    clock.Advance(1);
    shortWaiter.join();
    EXPECT_EQ(gaveUp.load(), 0);
    semaphore.Signal();
    semaphore.Signal();
    timedWaiter.join();
    untimedWaiter.join();
    EXPECT_EQ(timed.load(), 1);
    EXPECT_EQ(untimed.load(), 1);
    EXPECT_EQ(semaphore.GetCount(), 0u);
}

// Real clock, many producers and consumers: every signal is taken exactly once. Meant for
// ThreadSanitizer as much as for the counts.
TEST(SemaphoreTest, ProducersAndConsumersBalance) {
    constexpr int PAIRS = 4;
    constexpr int PER_THREAD = 2000;
    XP::CSemaphore semaphore(0);
    std::atomic<int> taken{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < PAIRS; ++i) {
        threads.emplace_back([&] {
            for (int n = 0; n < PER_THREAD; ++n) {
                semaphore.Signal();
            }
        });
        threads.emplace_back([&, i] {
            for (int n = 0; n < PER_THREAD; ++n) {
                // Half the consumers use the timed form; 10 s is only a safety bound.
                const bool got = (i % 2 == 0) ? semaphore.Wait() : semaphore.Wait(10000);
                if (got) {
                    ++taken;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(taken.load(), PAIRS * PER_THREAD);
    EXPECT_EQ(semaphore.GetCount(), 0u);
}

}  // namespace
