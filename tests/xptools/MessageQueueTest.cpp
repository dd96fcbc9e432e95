#include "xptools/MessageQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "xptools/Clock.h"
#include "xptools/Functor.h"
#include "xptools/SharedPtr.h"
#include "xptools/Thread.h"

namespace {

constexpr unsigned int kShortMs = 20;
constexpr unsigned int kPatientMs = 5000;

// Counts the live objects carrying a payload, however many copies the queue makes.
struct Payload {
    explicit Payload(int* pDestroyed, int value) : m_pDestroyed(pDestroyed), m_Value(value) {}
    ~Payload() { ++*m_pDestroyed; }
    int* m_pDestroyed;
    int m_Value;
};

TEST(MessageQueueTest, FullQueueSendTimesOut) {
    XP::CMessageQueue<int> queue(3);
    EXPECT_TRUE(queue.Send(1, kShortMs));
    EXPECT_TRUE(queue.Send(2, kShortMs));
    EXPECT_TRUE(queue.Send(3, kShortMs));
    EXPECT_EQ(3u, queue.GetMessageCount());
    EXPECT_FALSE(queue.Send(4, kShortMs));
    EXPECT_EQ(3u, queue.GetMessageCount());

    int out = 0;
    ASSERT_TRUE(queue.Receive(out));
    EXPECT_EQ(1, out);
    EXPECT_TRUE(queue.Send(5, kShortMs));  // the freed slot is usable again
    for (int expected : {2, 3, 5}) {
        ASSERT_TRUE(queue.Receive(out));
        EXPECT_EQ(expected, out);
    }
    EXPECT_EQ(0u, queue.GetMessageCount());
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
    int out = 0;
    ASSERT_TRUE(queue.Receive(out));
    EXPECT_EQ(1, out);
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
    int out = 0;
    ASSERT_TRUE(queue.Receive(out));
    EXPECT_EQ(1, out);
    ASSERT_TRUE(queue.Receive(out));
    EXPECT_EQ(2, out);
}

TEST(MessageQueueTest, RingWrapsAroundInOrder) {
    XP::CMessageQueue<int> queue(3);
    int next = 0;
    int expected = 0;
    // Two in, two out, eight times: head and tail pass the end of the ring repeatedly and at
    // different points.
    for (int round = 0; round < 8; ++round) {
        ASSERT_TRUE(queue.Send(next++, kShortMs));
        ASSERT_TRUE(queue.Send(next++, kShortMs));
        for (int i = 0; i < 2; ++i) {
            int out = -1;
            ASSERT_TRUE(queue.Receive(out));
            EXPECT_EQ(expected++, out);
        }
    }
    ASSERT_TRUE(queue.Send(100, kShortMs));
    ASSERT_TRUE(queue.Send(101, kShortMs));
    ASSERT_TRUE(queue.Send(102, kShortMs));
    EXPECT_FALSE(queue.Send(103, kShortMs));
    for (int value : {100, 101, 102}) {
        int out = -1;
        ASSERT_TRUE(queue.Receive(out));
        EXPECT_EQ(value, out);
    }
}

// Copyable only (the declared copy operations suppress moves), so taking an item out of a slot
// leaves a copy behind unless the slot is reset.
struct CopyOnly {
    CopyOnly() = default;
    explicit CopyOnly(const XP::CSharedPtr<Payload>& payload) : m_Payload(payload) {}
    CopyOnly(const CopyOnly&) = default;
    CopyOnly& operator=(const CopyOnly&) = default;
    XP::CSharedPtr<Payload> m_Payload;
};

TEST(MessageQueueTest, ReceivedSlotNoLongerHoldsTheItem) {
    int destroyed = 0;
    XP::CMessageQueue<CopyOnly> queue(2);
    {
        CopyOnly item(XP::CSharedPtr<Payload>(new Payload(&destroyed, 12)));
        ASSERT_TRUE(queue.Send(item, kShortMs));
    }
    EXPECT_EQ(0, destroyed);  // the queue's copy keeps it
    {
        CopyOnly out;
        ASSERT_TRUE(queue.Receive(out));
        EXPECT_EQ(12, out.m_Payload->m_Value);
    }
    // Freed as soon as the receiver let go, with the queue still alive.
    EXPECT_EQ(1, destroyed);
}

TEST(MessageQueueTest, ZeroCapacityStillHoldsOneItem) {
    XP::CMessageQueue<int> queue(0);
    EXPECT_EQ(1u, queue.GetCapacity());
    EXPECT_TRUE(queue.Send(8, kShortMs));
    EXPECT_FALSE(queue.Send(9, kShortMs));
    int out = 0;
    ASSERT_TRUE(queue.Receive(out));
    EXPECT_EQ(8, out);
}

TEST(MessageQueueTest, ReceiverWaitsForASender) {
    XP::CMessageQueue<int> queue(1);
    int out = 0;
    bool received = false;
    std::thread receiver([&]() { received = queue.Receive(out); });
    ASSERT_TRUE(queue.Send(64, kPatientMs));
    receiver.join();
    EXPECT_TRUE(received);
    EXPECT_EQ(64, out);
}

// Senders outnumber a small ring, so they block on it; every item arrives exactly once and in
// each sender's order. (Run under ThreadSanitizer as well.)
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
            for (;;) {
                Item item;
                if (!queue.Receive(item)) {
                    ADD_FAILURE() << "untimed receive gave up";
                    return;
                }
                if (item.sender < 0) {
                    return;  // end marker, one per receiver
                }
                received[r].push_back(item);
            }
        });
    }
    std::vector<std::thread> senders;
    for (int s = 0; s < kSenders; ++s) {
        senders.emplace_back([&, s]() {
            for (int i = 0; i < kPerSender; ++i) {
                while (!queue.Send(Item{s, i}, kPatientMs)) {
                }
            }
        });
    }
    for (std::thread& sender : senders) {
        sender.join();
    }
    for (int r = 0; r < kReceivers; ++r) {
        while (!queue.Send(Item{}, kPatientMs)) {
        }
    }
    for (std::thread& receiver : receivers) {
        receiver.join();
    }

    std::vector<std::vector<int>> seen(kSenders, std::vector<int>(kPerSender, 0));
    for (int r = 0; r < kReceivers; ++r) {
        std::vector<int> last(kSenders, -1);
        for (const Item& item : received[r]) {
            ASSERT_GE(item.sender, 0);
            ASSERT_LT(item.sender, kSenders);
            ASSERT_GE(item.sequence, 0);
            ASSERT_LT(item.sequence, kPerSender);
            EXPECT_GT(item.sequence, last[item.sender]);
            last[item.sender] = item.sequence;
            ++seen[item.sender][item.sequence];
        }
    }
    for (int s = 0; s < kSenders; ++s) {
        for (int i = 0; i < kPerSender; ++i) {
            ASSERT_EQ(1, seen[s][i]) << "sender " << s << " item " << i;
        }
    }
    EXPECT_EQ(0u, queue.GetMessageCount());
}

}  // namespace
