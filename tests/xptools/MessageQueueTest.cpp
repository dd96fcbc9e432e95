#include "xptools/MessageQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <memory>
#include <thread>
#include <vector>

#include "xptools/Clock.h"
#include "xptools/Functor.h"
#include "xptools/Thread.h"

namespace {

constexpr unsigned int kShortMs = 20;
constexpr unsigned int kPatientMs = 5000;

// Receives one item per value and checks they come in that order.
void ExpectReceived(XP::CMessageQueue<int>& queue, std::initializer_list<int> values) {
    for (int expected : values) {
        int out = -1;
        ASSERT_TRUE(queue.Receive(out));
        EXPECT_EQ(expected, out);
    }
}

TEST(MessageQueueTest, RingIsBoundedAndWrapsInOrder) {
    XP::CMessageQueue<int> queue(3);
    // Two in, two out, eight times: head and tail pass the end of the ring repeatedly and at
    // different points.
    for (int round = 0; round < 8; ++round) {
        ASSERT_TRUE(queue.Send(2 * round, kShortMs));
        ASSERT_TRUE(queue.Send(2 * round + 1, kShortMs));
        ExpectReceived(queue, {2 * round, 2 * round + 1});
    }
    for (int value : {100, 101, 102}) {
        ASSERT_TRUE(queue.Send(value, kShortMs));
    }
    EXPECT_FALSE(queue.Send(103, kShortMs));
    EXPECT_EQ(3u, queue.GetMessageCount());
    ExpectReceived(queue, {100});
    EXPECT_TRUE(queue.Send(104, kShortMs));  // the freed slot is usable again
    ExpectReceived(queue, {101, 102, 104});
    EXPECT_EQ(0u, queue.GetMessageCount());

    XP::CMessageQueue<int> zero(0);  // still holds one item
    EXPECT_EQ(1u, zero.GetCapacity());
    EXPECT_TRUE(zero.Send(8, kShortMs));
    EXPECT_FALSE(zero.Send(9, kShortMs));
    ExpectReceived(zero, {8});
}

TEST(MessageQueueTest, SendToAFullQueueWaitsItsTimeOutOnTheClock) {
    XP::ManualClock clock;
    XP::CMessageQueue<int> queue(1);
    ASSERT_TRUE(queue.Send(1, 0));
    std::atomic<int> result{-1};  // -1 while waiting, then 0 (false) or 1 (true)
    std::thread sender([&]() { result = queue.Send(2, 50) ? 1 : 0; });
    ASSERT_TRUE(clock.WaitForWaiters(1));
    clock.Advance(49);
    ASSERT_TRUE(clock.WaitForWaiters(1));
    EXPECT_EQ(-1, result.load());
    clock.Advance(1);
    sender.join();
    EXPECT_EQ(0, result.load());
    EXPECT_EQ(1u, queue.GetMessageCount());
    ExpectReceived(queue, {1});
}

// A thread blocked in Receive on an empty queue.
struct BlockedReceiver {
    explicit BlockedReceiver(XP::CMessageQueue<int>& queue) : m_Queue(queue) {}
    bool Body() {
        m_Result = m_Queue.Receive(m_Out) ? 1 : 0;
        return false;
    }
    XP::CMessageQueue<int>& m_Queue;
    std::atomic<int> m_Result{-1};
    int m_Out = -7;
};

TEST(MessageQueueTest, ReceiveAbandonedByCancelTakesNothing) {
    XP::ManualClock clock;  // only to see the receiver parked
    XP::CMessageQueue<int> queue(2);
    BlockedReceiver receiver(queue);
    XP::CThread thread(XP::MakeFunctor<&BlockedReceiver::Body>(&receiver), "receiver", 0);
    ASSERT_TRUE(thread.Run());
    ASSERT_TRUE(clock.WaitForWaiters(1));
    thread.Cancel();

    EXPECT_EQ(0, receiver.m_Result.load());
    EXPECT_EQ(-7, receiver.m_Out);
    EXPECT_EQ(0u, queue.GetMessageCount());
    // The ring is as it was: two items fit, a third does not, and they come out in order.
    EXPECT_TRUE(queue.Send(1, 0));
    EXPECT_TRUE(queue.Send(2, 0));
    EXPECT_FALSE(queue.Send(3, 0));
    ExpectReceived(queue, {1, 2});
}

// Copyable only (the declared copy operations suppress moves), so taking an item out of a slot
// leaves a copy behind unless the slot is reset.
struct CopyOnly {
    CopyOnly() = default;
    CopyOnly(const CopyOnly&) = default;
    CopyOnly& operator=(const CopyOnly&) = default;
    std::shared_ptr<int> m_Payload;
};

TEST(MessageQueueTest, ReceivedSlotNoLongerHoldsTheItem) {
    XP::CMessageQueue<CopyOnly> queue(2);
    std::weak_ptr<int> watch;
    {
        CopyOnly item;
        item.m_Payload = std::make_shared<int>(12);
        watch = item.m_Payload;
        ASSERT_TRUE(queue.Send(item, 0));
    }
    EXPECT_FALSE(watch.expired());  // the queue's copy keeps it
    {
        CopyOnly out;
        ASSERT_TRUE(queue.Receive(out));
        EXPECT_EQ(12, *out.m_Payload);
    }
    // Freed as soon as the receiver let go, with the queue still alive.
    EXPECT_TRUE(watch.expired());
}

// Senders outnumber a small ring, so they block on it; receivers wait on it empty. Every item
// arrives exactly once and in each sender's order. (Run under ThreadSanitizer as well.)
TEST(MessageQueueTest, ManySendersAndReceivers) {
    constexpr int kSenders = 4;
    constexpr int kReceivers = 2;
    constexpr int kPerSender = 3000;
    struct Item {
        int sender = -1;
        int sequence = -1;
    };

    XP::CMessageQueue<Item> queue(4);
    std::vector<std::vector<Item>> received(kReceivers);
    std::vector<std::thread> receivers;
    for (int r = 0; r < kReceivers; ++r) {
        receivers.emplace_back([&, r]() {
            Item item;
            // Untimed: false only on cancellation, which never comes here. A negative sender
            // is the end marker, one per receiver.
            while (queue.Receive(item) && item.sender >= 0) {
                received[r].push_back(item);
            }
            EXPECT_LT(item.sender, 0) << "untimed receive gave up";
        });
    }
    auto send = [&queue](const Item& item) {
        while (!queue.Send(item, kPatientMs)) {
        }
    };
    std::vector<std::thread> senders;
    for (int s = 0; s < kSenders; ++s) {
        senders.emplace_back([&, s]() {
            for (int i = 0; i < kPerSender; ++i) {
                send(Item{s, i});
            }
        });
    }
    for (std::thread& sender : senders) {
        sender.join();
    }
    for (int r = 0; r < kReceivers; ++r) {
        send(Item{});
    }
    for (std::thread& receiver : receivers) {
        receiver.join();
    }

    std::vector<int> seen(kSenders * kPerSender, 0);
    for (const std::vector<Item>& list : received) {
        std::vector<int> last(kSenders, -1);
        for (const Item& item : list) {
            ASSERT_TRUE(item.sender < kSenders && item.sequence < kPerSender);
            ASSERT_GT(item.sequence, last[item.sender]);
            last[item.sender] = item.sequence;
            ++seen[item.sender * kPerSender + item.sequence];
        }
    }
    EXPECT_EQ(kSenders * kPerSender, std::count(seen.begin(), seen.end(), 1));
    EXPECT_EQ(0u, queue.GetMessageCount());
}

}  // namespace
