#include "xptools/MsgQ.h"

#include <gtest/gtest.h>

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
constexpr unsigned int kPatientMs = 5000;

TEST(MsgQTest, ItemsLeaveInTheOrderTheyCame) {
    XP::CMsgQ<int> queue;
    for (int i = 1; i <= 5; ++i) {
        EXPECT_TRUE(queue.Enqueue(i));
    }
    EXPECT_EQ(5u, queue.GetSize());
    for (int i = 1; i <= 5; ++i) {
        int out = 0;
        ASSERT_TRUE(queue.Dequeue(kShortMs, out));
        EXPECT_EQ(i, out);
    }
    EXPECT_EQ(0u, queue.GetSize());
}

TEST(MsgQTest, DequeueOnAnEmptyQueueTimesOutAndLeavesTheOutputAlone) {
    XP::CMsgQ<int> queue;
    int out = 77;
    EXPECT_FALSE(queue.Dequeue(kShortMs, out));
    EXPECT_EQ(77, out);

    // Emptied again after one item.
    queue.Enqueue(1);
    ASSERT_TRUE(queue.Dequeue(kShortMs, out));
    EXPECT_FALSE(queue.Dequeue(kShortMs, out));
    EXPECT_EQ(1, out);
}

TEST(MsgQTest, DequeueGivesUpWhenItsTimeOutHasPassedOnTheClock) {
    XP::ManualClock clock;
    XP::CMsgQ<int> queue;
    std::atomic<int> result{-1};  // -1 while waiting, then 0 (false) or 1 (true)
    int out = 5;
    std::thread consumer([&]() { result = queue.Dequeue(100, out) ? 1 : 0; });
    ASSERT_TRUE(clock.WaitForWaiters(1));
    clock.Advance(99);
    ASSERT_TRUE(clock.WaitForWaiters(1));  // still parked one millisecond short
    EXPECT_EQ(-1, result.load());
    clock.Advance(1);
    consumer.join();
    EXPECT_EQ(0, result.load());
    EXPECT_EQ(5, out);
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
    ASSERT_TRUE(queue.Dequeue(kShortMs, out));
    EXPECT_EQ(2, out);
    ASSERT_TRUE(queue.Dequeue(kShortMs, out));
    EXPECT_EQ(5, out);
    EXPECT_FALSE(queue.Dequeue(kShortMs, out));  // refused items never arrive

    // A bound below 1 lifts the limit.
    queue.SetMaxQueueSize(0);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(queue.Enqueue(i));
    }
    EXPECT_EQ(1000u, queue.GetSize());
}

TEST(MsgQTest, MoveOnlyItemsAreMovedThrough) {
    XP::CMsgQ<std::unique_ptr<int>> queue;
    EXPECT_TRUE(queue.Enqueue(std::make_unique<int>(9)));
    std::unique_ptr<int> out;
    ASSERT_TRUE(queue.Dequeue(kShortMs, out));
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(9, *out);
}

TEST(MsgQTest, WaitingConsumerWakesForAnItem) {
    XP::CMsgQ<int> queue;
    int out = 0;
    bool received = false;
    std::thread consumer([&]() { received = queue.Dequeue(kPatientMs, out); });
    queue.Enqueue(31);
    consumer.join();
    EXPECT_TRUE(received);
    EXPECT_EQ(31, out);
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

    std::vector<std::vector<int>> seen(kProducers, std::vector<int>(kPerProducer, 0));
    for (int c = 0; c < kConsumers; ++c) {
        std::vector<int> last(kProducers, -1);
        for (const Item& item : received[c]) {
            ASSERT_GE(item.producer, 0);
            ASSERT_LT(item.producer, kProducers);
            ASSERT_GE(item.sequence, 0);
            ASSERT_LT(item.sequence, kPerProducer);
            EXPECT_GT(item.sequence, last[item.producer]) << "consumer " << c;
            last[item.producer] = item.sequence;
            ++seen[item.producer][item.sequence];
        }
    }
    for (int p = 0; p < kProducers; ++p) {
        for (int s = 0; s < kPerProducer; ++s) {
            ASSERT_EQ(1, seen[p][s]) << "producer " << p << " item " << s;
        }
    }
    EXPECT_EQ(0u, queue.GetSize());
}

TEST(MutexLockTest, HoldsTheMutexForItsScope) {
    XP::CMutex mutex("test");
    auto tryFromOtherThread = [&mutex]() {
        bool taken = false;
        std::thread other([&]() {
            taken = mutex.TryLock();
            if (taken) {
                mutex.Unlock();
            }
        });
        other.join();
        return taken;
    };
    {
        XP::CMutexLock lock(mutex);
        EXPECT_FALSE(tryFromOtherThread());
    }
    EXPECT_TRUE(tryFromOtherThread());
}

}  // namespace
