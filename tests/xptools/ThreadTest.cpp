#include "xptools/Thread.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>

#include <atomic>
#include <memory>
#include <string>

#include "ConsoleCapture.h"
#include "xptools/Clock.h"
#include "xptools/Semaphore.h"

namespace {

// Bodies for the tests. Each call is counted; `m_Entered` is signalled at the start of every
// call so the test knows the body runs without sleeping.
class Worker {
public:
    // Returns true four times, then false: five calls in all.
    bool CountToFive() {
        const int calls = ++m_Calls;
        if (calls == 5) {
            m_Done.Signal();
            return false;
        }
        return true;
    }

    bool SleepLong() {
        ++m_Calls;
        m_Entered.Signal();
        XP::CThread::Sleep(15000);
        ++m_Returned;
        return true;
    }

    bool WaitForever() {
        ++m_Calls;
        m_Entered.Signal();
        m_WaitResult = m_Never.Wait() ? 1 : 0;
        return true;
    }

    bool RecordName() {
        char name[17] = {};
        prctl(PR_GET_NAME, name, 0, 0, 0);
        m_Name = name;
        m_Done.Signal();
        return false;
    }

    bool CancelSelf() {
        ++m_Calls;
        m_pThread->Cancel();
        m_Done.Signal();
        return true;  // the cancel, not the result, ends the loop
    }

    bool SignalAndStop() {
        ++m_Calls;
        m_Done.Signal();
        return false;
    }

    std::atomic<int> m_Calls{0};
    std::atomic<int> m_Returned{0};
    std::atomic<int> m_WaitResult{-1};
    XP::CSemaphore m_Entered;
    XP::CSemaphore m_Done;
    XP::CSemaphore m_Never;
    std::string m_Name;
    XP::CThread* m_pThread = nullptr;
};

template <bool (Worker::*Method)()>
XP::CFunctor<bool()> Body(Worker& worker) {
    return XP::INTERNAL::GetFunctorFactory(Method).template Bind<Method>(&worker);
}

TEST(ThreadTest, BodyRunsAgainUntilItReturnsFalse) {
    Worker worker;
    XP::CThread thread(Body<&Worker::CountToFive>(worker), "counter", XP::CThread::GetPriority());
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(worker.m_Calls.load(), 0);  // construction does not start it

    ASSERT_TRUE(thread.Run());
    ASSERT_TRUE(worker.m_Done.Wait(10000));
    thread.Cancel();
    EXPECT_EQ(worker.m_Calls.load(), 5);
    EXPECT_FALSE(thread.IsRunning());

    // Run after the body ended starts it again.
    worker.m_Calls = 0;
    ASSERT_TRUE(thread.Run());
    ASSERT_TRUE(worker.m_Done.Wait(10000));
    thread.Cancel();
    EXPECT_EQ(worker.m_Calls.load(), 5);
}

TEST(ThreadTest, NameIsCutToFifteenCharacters) {
    Worker worker;
    XP::CThread thread(Body<&Worker::RecordName>(worker), "ReceiveTsPacketLonger", 0);
    ASSERT_TRUE(thread.Run());
    ASSERT_TRUE(worker.m_Done.Wait(10000));
    thread.Cancel();
    EXPECT_EQ(worker.m_Name, "ReceiveTsPacket");
}

// Real clock: a 15 s sleep must not hold Cancel. No timing is asserted; the sleep returning
// (m_Returned) before the test would have reached 15 s shows it was cut short.
TEST(ThreadTest, CancelEndsALongSleep) {
    Worker worker;
    XP::CThread thread(Body<&Worker::SleepLong>(worker), "sleeper", 0);
    ASSERT_TRUE(thread.Run());
    ASSERT_TRUE(worker.m_Entered.Wait(10000));
    thread.Cancel();
    EXPECT_EQ(worker.m_Calls.load(), 1);
    EXPECT_EQ(worker.m_Returned.load(), 1);
    EXPECT_FALSE(thread.IsRunning());
}

TEST(ThreadTest, CancelEndsASleepOnAManualClockThatNeverMoves) {
    XP::ManualClock clock;
    Worker worker;
    XP::CThread thread(Body<&Worker::SleepLong>(worker), "sleeper", 0);
    ASSERT_TRUE(thread.Run());
    ASSERT_TRUE(clock.WaitForWaiters(1));
    thread.Cancel();
    EXPECT_EQ(worker.m_Calls.load(), 1);
    EXPECT_EQ(worker.m_Returned.load(), 1);
}

TEST(ThreadTest, CancelEndsAnUntimedSemaphoreWaitWithoutACount) {
    XP::ManualClock clock;
    Worker worker;
    XP::CThread thread(Body<&Worker::WaitForever>(worker), "waiter", 0);
    ASSERT_TRUE(thread.Run());
    ASSERT_TRUE(clock.WaitForWaiters(1));
    thread.Cancel();
    EXPECT_EQ(worker.m_WaitResult.load(), 0);
    EXPECT_EQ(worker.m_Calls.load(), 1);
    // The semaphore is as it was: a later signal is still there to take.
    worker.m_Never.Signal();
    EXPECT_TRUE(worker.m_Never.Wait(0));
}

TEST(ThreadTest, CancelFromTheBodyItself) {
    Worker worker;
    XP::CThread thread(Body<&Worker::CancelSelf>(worker), "self", 0);
    worker.m_pThread = &thread;
    ASSERT_TRUE(thread.Run());
    ASSERT_TRUE(worker.m_Done.Wait(10000));
    thread.Cancel();  // joins the thread that cancelled itself
    EXPECT_EQ(worker.m_Calls.load(), 1);
    EXPECT_FALSE(thread.IsRunning());
}

TEST(ThreadTest, CancelAndRunInAnyOrder) {
    Worker worker;
    KestrelTest::ConsoleCapture console;
    XP::CThread thread(Body<&Worker::SleepLong>(worker), "sleeper", 0);
    thread.Cancel();  // before Run: nothing to do
    thread.Cancel();
    ASSERT_TRUE(thread.Run());
    ASSERT_TRUE(worker.m_Entered.Wait(10000));
    EXPECT_FALSE(thread.Run());
    EXPECT_EQ(console.Take(),
              std::vector<std::string>{"CThread \"sleeper\": Run while already running"});
    thread.Cancel();
    thread.Cancel();
    // Restart after a cancel.
    ASSERT_TRUE(thread.Run());
    ASSERT_TRUE(worker.m_Entered.Wait(10000));
    thread.Cancel();
    EXPECT_EQ(worker.m_Calls.load(), 2);
}

TEST(ThreadTest, DestructorCancelsAndJoins) {
    Worker worker;
    {
        XP::CThread thread(Body<&Worker::SleepLong>(worker), "sleeper", 0);
        ASSERT_TRUE(thread.Run());
        ASSERT_TRUE(worker.m_Entered.Wait(10000));
    }
    // Joined: the body has left its sleep and will not be called again.
    EXPECT_EQ(worker.m_Returned.load(), 1);
    EXPECT_EQ(worker.m_Calls.load(), 1);
}

TEST(ThreadTest, HighestPriorityRunsWithOrWithoutPrivilege) {
    EXPECT_GE(XP::CThread::GetHighestPriority(), 1);
    EXPECT_GE(XP::CThread::GetPriority(), 0);
    Worker worker;
    KestrelTest::ConsoleCapture console;
    XP::CThread thread(Body<&Worker::SignalAndStop>(worker), "PcmSchedule",
                       XP::CThread::GetHighestPriority());
    ASSERT_TRUE(thread.Run());
    ASSERT_TRUE(worker.m_Done.Wait(10000));
    thread.Cancel();
    EXPECT_EQ(worker.m_Calls.load(), 1);
    // Unprivileged, the thread says it runs at normal priority; privileged, it says nothing.
    for (const std::string& line : console.Lines()) {
        EXPECT_EQ(line, "CThread \"PcmSchedule\": real-time priority " +
                            std::to_string(XP::CThread::GetHighestPriority()) +
                            " not permitted, running at normal priority");
    }
}

}  // namespace
