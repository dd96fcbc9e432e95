#include "hisi_av/application/cmf/internal/SpscBoundedQueue.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ConsoleCapture.h"
#include "xptools/Slice.h"

namespace {

using Cmf::SpscBoundedQueue;

TEST(SpscBoundedQueueTest, CapacityIsTheNextPowerOfTwoAboveTheRequest) {
    const std::size_t cases[][2] = {{0, 2}, {1, 2}, {7, 8}, {8, 16}, {65535, 65536}};
    for (const auto& c : cases) {
        EXPECT_EQ(SpscBoundedQueue<int>(c[0]).GetCapacity(), c[1]) << c[0];
    }
    KestrelTest::ConsoleCapture console;
    EXPECT_EQ(SpscBoundedQueue<int>(100000).GetCapacity(), 65536u);
    EXPECT_EQ(
        console.Lines(),
        std::vector<std::string>{"SpscBoundedQueue: requested size 100000 limited to 65536 slots"});
}

TEST(SpscBoundedQueueTest, FirstInFirstOutAcrossWrapsAndQueuedItemsReleased) {
    const auto token = std::make_shared<int>(0);
    {
        SpscBoundedQueue<std::shared_ptr<int>> queue(3);  // 4 slots
        std::shared_ptr<int> out;
        EXPECT_FALSE(queue.TryPop(out));
        int pushed = 0;
        int popped = 0;
        // Fill, then take three: full and empty move round the ring, positions pass its end.
        for (int round = 0; round < 5; ++round) {
            while (queue.TryPush(std::make_shared<int>(pushed))) {
                ++pushed;
            }
            EXPECT_EQ(pushed - popped, 4) << round;
            for (int i = 0; i < 3; ++i) {
                ASSERT_TRUE(queue.TryPop(out));
                EXPECT_EQ(*out, popped++);
            }
        }
        ASSERT_TRUE(queue.TryPop(out));
        EXPECT_EQ(*out, popped);

        // Three left queued when the queue goes, stored across the end of the slot array.
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(queue.TryPush(token));
        }
        EXPECT_EQ(token.use_count(), 4);
    }
    EXPECT_EQ(token.use_count(), 1);  // released, each once
}

// One producer and one consumer thread (run under ThreadSanitizer): every item arrives once, in
// order, with the bytes it was pushed with.
TEST(SpscBoundedQueueTest, ProducerAndConsumerThreads) {
    constexpr unsigned int ITEMS = 50000;
    SpscBoundedQueue<XP::CBuffer> queue(15);
    std::thread producer([&queue] {
        for (unsigned int i = 0; i < ITEMS; ++i) {
            XP::CBuffer item(1 + i % 5);
            for (std::size_t j = 0; j < item.GetSize(); ++j) {
                item[j] = static_cast<unsigned char>(i + j);
            }
            while (!queue.TryPush(item)) {
                std::this_thread::yield();
            }
        }
    });

    unsigned int mismatches = 0;
    XP::CBuffer item;
    for (unsigned int received = 0; received < ITEMS;) {
        if (!queue.TryPop(item)) {
            std::this_thread::yield();
            continue;
        }
        bool good = item.GetSize() == 1 + received % 5;
        for (std::size_t j = 0; good && j < item.GetSize(); ++j) {
            good = item[j] == static_cast<unsigned char>(received + j);
        }
        mismatches += good ? 0 : 1;
        ++received;
    }
    producer.join();
    EXPECT_EQ(mismatches, 0u);
    EXPECT_FALSE(queue.TryPop(item));
}

}  // namespace
