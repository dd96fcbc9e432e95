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

// Bodies for the tests; `m_Entered` tells the test the body runs.
class Worker {
public:
    // Returns true four times, then false: five calls in all.
    bool CountToFive() {
        if (++m_Calls < 5) {
            return true;
        }
        m_Done.Signal();
        return false;
    }

    bool SleepLong() {
        ++m_Calls;
        m_Entered.Signal();
        XP::CThread::Sleep(15000);
        ++m_Returned;
        return true;
    }

    bool WaitForever() {
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

    std::atomic<int> m_Calls{0};
    std::atomic<int> m_Returned{0};
    std::atomic<int> m_WaitResult{-1};
    XP::CSemaphore m_Entered;
    XP::CSemaphore m_Done;
    XP::CSemaphore m_Never;
    std::string m_Name;
    XP::CThread* m_pThread = nullptr;
};

// Runs the thread and waits (real time bound) until the body signals `signal`.
bool RunUntil(XP::CThread& thread, XP::CSemaphore& signal) {
    return thread.Run() && signal.Wait(10000);
}

TEST(ThreadTest, BodyRunsAgainUntilItReturnsFalse) {
    Worker worker;
    XP::CThread thread(XP::MakeFunctor<&Worker::CountToFive>(&worker), "counter",
                       XP::CThread::GetPriority());
    EXPECT_EQ(worker.m_Calls.load(), 0);  // construction does not start it
    // Run after the body ended starts it again.
    for (int run = 0; run < 2; ++run) {
        worker.m_Calls = 0;
        ASSERT_TRUE(RunUntil(thread, worker.m_Done));
        thread.Cancel();
        EXPECT_EQ(worker.m_Calls.load(), 5);
        EXPECT_FALSE(thread.IsRunning());
    }
}

TEST(ThreadTest, NameIsCutAndHighestPriorityRunsWithOrWithoutPrivilege) {
    Worker worker;
    XP::CThread named(XP::MakeFunctor<&Worker::RecordName>(&worker), "ReceiveTsPacketLonger", 0);
    ASSERT_TRUE(RunUntil(named, worker.m_Done));
    named.Cancel();
    EXPECT_EQ(worker.m_Name, "ReceiveTsPacket");

    EXPECT_GE(XP::CThread::GetHighestPriority(), 1);
    KestrelTest::ConsoleCapture console;
    XP::CThread thread(XP::MakeFunctor<&Worker::RecordName>(&worker), "PcmSchedule",
                       XP::CThread::GetHighestPriority());
    ASSERT_TRUE(RunUntil(thread, worker.m_Done));
    thread.Cancel();
    // Unprivileged, the thread says it runs at normal priority; privileged, it says nothing.
    for (const std::string& line : console.Lines()) {
        EXPECT_EQ(line, "CThread \"PcmSchedule\": real-time priority " +
                            std::to_string(XP::CThread::GetHighestPriority()) +
                            " not permitted, running at normal priority");
    }
}

// A 15 s sleep does not hold Cancel, on the real clock or on a manual clock that never moves.
// No timing is asserted: the test ending long before 15 s, with the sleep returned and the body
// not called again, shows the sleep was cut short.
TEST(ThreadTest, CancelEndsALongSleep) {
    for (const bool manual : {false, true}) {
        SCOPED_TRACE(manual ? "manual clock" : "real clock");
        const std::unique_ptr<XP::ManualClock> clock(manual ? new XP::ManualClock : nullptr);
        Worker worker;
        XP::CThread thread(XP::MakeFunctor<&Worker::SleepLong>(&worker), "sleeper", 0);
        ASSERT_TRUE(RunUntil(thread, worker.m_Entered));
        ASSERT_TRUE(!clock || clock->WaitForWaiters(1));
        thread.Cancel();
        EXPECT_FALSE(thread.IsRunning());
        EXPECT_EQ(worker.m_Calls.load(), 1);
        EXPECT_EQ(worker.m_Returned.load(), 1);
    }
}

TEST(ThreadTest, CancelEndsAnUntimedSemaphoreWaitWithoutACount) {
    XP::ManualClock clock;
    Worker worker;
    XP::CThread thread(XP::MakeFunctor<&Worker::WaitForever>(&worker), "waiter", 0);
    ASSERT_TRUE(thread.Run());
    ASSERT_TRUE(clock.WaitForWaiters(1));
    thread.Cancel();
    EXPECT_EQ(worker.m_WaitResult.load(), 0);
    // The semaphore is as it was: a later signal is still there to take.
    worker.m_Never.Signal();
    EXPECT_TRUE(worker.m_Never.Wait(0));
}

TEST(ThreadTest, CancelFromTheBodyItself) {
    Worker worker;
    XP::CThread thread(XP::MakeFunctor<&Worker::CancelSelf>(&worker), "self", 0);
    worker.m_pThread = &thread;
    ASSERT_TRUE(RunUntil(thread, worker.m_Done));
    thread.Cancel();  // joins the thread that cancelled itself
    EXPECT_EQ(worker.m_Calls.load(), 1);
    EXPECT_FALSE(thread.IsRunning());
}

TEST(ThreadTest, CancelAndRunInAnyOrder) {
    Worker worker;
    KestrelTest::ConsoleCapture console;
    {
        XP::CThread thread(XP::MakeFunctor<&Worker::SleepLong>(&worker), "sleeper", 0);
        thread.Cancel();  // before Run: nothing to do
        thread.Cancel();
        ASSERT_TRUE(RunUntil(thread, worker.m_Entered));
        EXPECT_FALSE(thread.Run());
        EXPECT_EQ(console.Take(),
                  std::vector<std::string>{"CThread \"sleeper\": Run while already running"});
        thread.Cancel();
        thread.Cancel();
        ASSERT_TRUE(RunUntil(thread, worker.m_Entered));  // restart after a cancel
    }
    // The destructor cancelled and joined: the sleep was cut short and not entered again.
    EXPECT_EQ(worker.m_Calls.load(), 2);
    EXPECT_EQ(worker.m_Returned.load(), 2);
}

}  // namespace
