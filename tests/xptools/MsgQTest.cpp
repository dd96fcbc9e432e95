#include "xptools/MsgQ.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "xptools/Clock.h"
#include "xptools/MutexLock.h"

namespace {

// Short real time-outs: long enough to be meaningful, short enough to keep the suite quick. No
// test asserts how long anything took.
constexpr unsigned int kShortMs = 20;

TEST(MsgQTest, ItemsLeaveInOrderAndAnEmptyQueueTimesOut) {
    XP::CMsgQ<int> queue;
    for (int i = 1; i <= 5; ++i) {
        EXPECT_TRUE(queue.Enqueue(i));
    }
    EXPECT_EQ(5u, queue.GetSize());
    int out = 0;
    for (int i = 1; i <= 5; ++i) {
        ASSERT_TRUE(queue.Dequeue(kShortMs, out));
        EXPECT_EQ(i, out);
    }
    EXPECT_EQ(0u, queue.GetSize());
    EXPECT_FALSE(queue.Dequeue(kShortMs, out));
    EXPECT_EQ(5, out);  // left alone

    XP::CMsgQ<std::unique_ptr<int>> moveOnly;
    EXPECT_TRUE(moveOnly.Enqueue(std::make_unique<int>(9)));
    std::unique_ptr<int> pointer;
    ASSERT_TRUE(moveOnly.Dequeue(kShortMs, pointer));
    ASSERT_NE(nullptr, pointer);
    EXPECT_EQ(9, *pointer);
}

TEST(MsgQTest, DequeueWaitsForAnItemUntilItsTimeOutOnTheClock) {
    XP::ManualClock clock;
    XP::CMsgQ<int> queue;
    std::atomic<int> result{-1};  // -1 while waiting, then 0 (false) or 1 (true)
    int out = 5;
    auto consume = [&]() { result = queue.Dequeue(100, out) ? 1 : 0; };
    std::thread consumer(consume);
    ASSERT_TRUE(clock.WaitForWaiters(1));
    clock.Advance(99);
    ASSERT_TRUE(clock.WaitForWaiters(1));  // still parked one millisecond short
    EXPECT_EQ(-1, result.load());
    clock.Advance(1);
    consumer.join();
    EXPECT_EQ(0, result.load());
    EXPECT_EQ(5, out);

    // A parked consumer wakes for an item without the clock moving.
    std::thread second(consume);
    ASSERT_TRUE(clock.WaitForWaiters(1));
    EXPECT_TRUE(queue.Enqueue(31));
    second.join();
    EXPECT_EQ(1, result.load());
    EXPECT_EQ(31, out);
}

TEST(MsgQTest, FullBoundedQueueRefusesWithoutWaiting) {
    // Nothing ever dequeues here, so an Enqueue that waited for room would hang the test.
    XP::CMsgQ<int> queue;
    queue.SetMaxQueueSize(2);
    EXPECT_TRUE(queue.Enqueue(1));
    EXPECT_TRUE(queue.Enqueue(2));
    EXPECT_FALSE(queue.Enqueue(3));
    EXPECT_FALSE(queue.Enqueue(4));
    EXPECT_EQ(2u, queue.GetSize());
    EXPECT_EQ(2u, queue.GetRefusedCount());

    int out = 0;
    ASSERT_TRUE(queue.Dequeue(kShortMs, out));
    EXPECT_EQ(1, out);
    EXPECT_TRUE(queue.Enqueue(5));
    for (int expected : {2, 5}) {
        ASSERT_TRUE(queue.Dequeue(kShortMs, out));
        EXPECT_EQ(expected, out);
    }
    EXPECT_FALSE(queue.Dequeue(kShortMs, out));  // refused items never arrive

    // A bound below 1 lifts the limit.
    queue.SetMaxQueueSize(0);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(queue.Enqueue(i));
    }
    EXPECT_EQ(1000u, queue.GetSize());
}

// Every item is received exactly once, and each consumer sees each producer's items in the order
// they were produced. (Run under ThreadSanitizer as well.)
TEST(MsgQTest, ManyProducersAndConsumers) {
    constexpr int kProducers = 4;
    constexpr int kConsumers = 3;
    constexpr int kPerProducer = 5000;
    constexpr int kTotal = kProducers * kPerProducer;
    struct Item {
        int producer;
        int sequence;
    };

    XP::CMsgQ<Item> queue;
    std::atomic<int> receivedTotal{0};
    std::vector<std::vector<Item>> received(kConsumers);
    std::vector<std::thread> threads;
    for (int c = 0; c < kConsumers; ++c) {
        threads.emplace_back([&, c]() {
            while (receivedTotal.load() < kTotal) {
                Item item{};
                if (queue.Dequeue(kShortMs, item)) {
                    received[c].push_back(item);
                    ++receivedTotal;
                }
            }
        });
    }
    for (int p = 0; p < kProducers; ++p) {
        threads.emplace_back([&, p]() {
            for (int s = 0; s < kPerProducer; ++s) {
                EXPECT_TRUE(queue.Enqueue(Item{p, s}));
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }

    std::vector<int> seen(kTotal, 0);
    for (const std::vector<Item>& list : received) {
        std::vector<int> last(kProducers, -1);
        for (const Item& item : list) {
            ASSERT_TRUE(item.producer >= 0 && item.producer < kProducers);
            ASSERT_TRUE(item.sequence > last[item.producer] && item.sequence < kPerProducer);
            last[item.producer] = item.sequence;
            ++seen[item.producer * kPerProducer + item.sequence];
        }
    }
    EXPECT_EQ(kTotal, std::count(seen.begin(), seen.end(), 1));
    EXPECT_EQ(0u, queue.GetSize());
}

TEST(MutexLockTest, HoldsTheMutexForItsScope) {
    XP::CMutex mutex("test");
    auto tryFromOtherThread = [&mutex]() {
        bool taken = false;
        std::thread([&]() {
            if ((taken = mutex.TryLock())) {
                mutex.Unlock();
            }
        }).join();
        return taken;
    };
    {
        XP::CMutexLock lock(mutex);
        EXPECT_FALSE(tryFromOtherThread());
    }
    EXPECT_TRUE(tryFromOtherThread());
}

}  // namespace
