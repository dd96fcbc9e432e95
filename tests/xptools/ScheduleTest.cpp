#include "xptools/Schedule.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "xptools/Clock.h"
#include "xptools/Thread.h"

namespace {

// Events of the tests: each appends its letter to a shared log, and signals `m_Logged`.
class Recorder {
public:
    void A() { Log("A"); }
    void B() { Log("B"); }
    void C() { Log("C"); }
    void D() { Log("D"); }

    std::vector<std::string> Take() {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return std::exchange(m_Log, {});
    }

    void Log(const std::string& entry) {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Log.push_back(entry);
        m_Logged.Signal();
    }

    XP::CSemaphore m_Logged;

private:
    std::mutex m_Mutex;
    std::vector<std::string> m_Log;
};

using Log = std::vector<std::string>;

// A manual clock, a schedule and its "poller" thread. Settle() returns once the poller has run
// everything that is due and parked again.
class ScheduleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_Poller.Run());
        Settle();
    }

    void Settle() { ASSERT_TRUE(m_Clock.WaitForWaiters(1)); }

    void Advance(unsigned int ms) {
        m_Clock.Advance(ms);
        Settle();
    }

    // Advances the clock and returns what ran meanwhile.
    Log RunFor(unsigned int ms) {
        Advance(ms);
        return m_Recorder.Take();
    }

    template <void (Recorder::*Method)()>
    XP::CSchedule::CEvent Add(unsigned int delayMs, bool repeat = false) {
        return m_Schedule.AddEvent(XP::MakeFunctor<Method>(&m_Recorder), delayMs, repeat);
    }

    XP::ManualClock m_Clock;
    XP::CSchedule m_Schedule;
    Recorder m_Recorder;
    // Last: cancelled and joined before the schedule goes.
    XP::CThread m_Poller{XP::MakeFunctor<&XP::CSchedule::ProcessSchedule>(&m_Schedule), "poller",
                         XP::CThread::GetPriority()};
};

TEST_F(ScheduleTest, RunsByDueTimeThenByOrderAdded) {
    Add<&Recorder::C>(300);
    Settle();  // the poller now waits for C; the earlier events added next must still go first
    Add<&Recorder::A>(100);
    Add<&Recorder::B>(100);
    Add<&Recorder::D>(0);
    Settle();
    EXPECT_EQ(m_Recorder.Take(), Log{"D"});

    EXPECT_EQ(RunFor(99), Log{});
    EXPECT_EQ(RunFor(1), (Log{"A", "B"}));
    EXPECT_EQ(RunFor(199), Log{});
    EXPECT_EQ(RunFor(1), Log{"C"});
    EXPECT_EQ(RunFor(10000), Log{});  // one-shot events ran once
}

TEST_F(ScheduleTest, RepeatingEventKeepsItsPeriodAndPhase) {
    Add<&Recorder::A>(2000, true);
    EXPECT_EQ(RunFor(1999), Log{});
    for (unsigned int step : {1, 2000, 2000, 2000}) {
        Advance(step);
    }
    EXPECT_EQ(m_Recorder.Take(), (Log{"A", "A", "A", "A"}));

    // Held up from 8 s to 13 s, past its 10 s and 12 s due times: it runs once, at 13 s ...
    EXPECT_EQ(RunFor(5000), Log{"A"});
    // ... and stays on its 2 s grid: next at 14 s, not 15 s.
    EXPECT_EQ(RunFor(999), Log{});
    EXPECT_EQ(RunFor(1), Log{"A"});
}

TEST_F(ScheduleTest, CancelWithdrawsOneShotAndRepeatingEvents) {
    const XP::CSchedule::CEvent oneShot = Add<&Recorder::A>(1000);
    XP::CSchedule::CEvent repeating = Add<&Recorder::B>(500, true);
    XP::CSchedule::CEvent copy = oneShot;
    copy.Cancel();  // through a copy: the same event
    EXPECT_TRUE(oneShot.IsCancelled());
    Advance(500);
    EXPECT_EQ(RunFor(500), (Log{"B", "B"}));
    repeating.Cancel();
    Advance(500);
    EXPECT_EQ(RunFor(5000), Log{});

    XP::CSchedule::CEvent none;
    none.Cancel();  // refers to nothing: no effect
    EXPECT_FALSE(none.IsCancelled());
}

// A repeating event that cancels itself from its own functor, and a poll that re-arms itself
// 2000 ms after it ends, replacing the handle of the event that is running.
class SelfManaging {
public:
    SelfManaging(XP::CSchedule& schedule, Recorder& log) : m_Schedule(schedule), m_Log(log) {}

    void Tick() {
        m_Log.Log("tick");
        if (++m_Ticks == 3) {
            m_TickEvent.Cancel();
        }
    }

    void Poll() {
        m_Log.Log("poll");
        XP::CThread::Sleep(500);  // a recovery wait inside the poll delays the next one
        m_PollEvent = m_Schedule.AddEvent(XP::MakeFunctor<&SelfManaging::Poll>(this), 2000, false);
    }

    XP::CSchedule& m_Schedule;
    Recorder& m_Log;
    int m_Ticks = 0;
    XP::CSchedule::CEvent m_TickEvent;
    XP::CSchedule::CEvent m_PollEvent;
};

TEST_F(ScheduleTest, EventsCancelAndReArmThemselvesFromTheirFunctors) {
    SelfManaging owner(m_Schedule, m_Recorder);
    owner.m_TickEvent =
        m_Schedule.AddEvent(XP::MakeFunctor<&SelfManaging::Tick>(&owner), 100, true);
    owner.m_PollEvent =
        m_Schedule.AddEvent(XP::MakeFunctor<&SelfManaging::Poll>(&owner), 2000, false);
    for (int step = 0; step < 19; ++step) {
        Advance(100);
    }
    EXPECT_EQ(m_Recorder.Take(), (Log{"tick", "tick", "tick"}));
    EXPECT_EQ(RunFor(100), Log{"poll"});  // first poll starts at 2 s and sleeps 500 ms inside
    Advance(500);                         // the poll ends at 2.5 s and re-arms for 4.5 s
    EXPECT_EQ(RunFor(1999), Log{});
    EXPECT_EQ(RunFor(1), Log{"poll"});
    Advance(500);
    EXPECT_EQ(RunFor(2000), Log{"poll"});

    // Stopping: cancelling the stored handle ends the chain.
    Advance(500);
    owner.m_PollEvent.Cancel();
    EXPECT_EQ(RunFor(10000), Log{});
}

TEST(ScheduleQueueTest, CancelledEventsDoNotPileUp) {
    // No thread runs this schedule: cancelled entries can only go when the queue is compacted.
    XP::CSchedule schedule;
    Recorder recorder;
    size_t largest = 0;
    for (int i = 0; i < 10000; ++i) {
        schedule.AddEvent(XP::MakeFunctor<&Recorder::A>(&recorder), 60000, false).Cancel();
        largest = std::max(largest, schedule.GetEventCount());
    }
    schedule.AddEvent(XP::MakeFunctor<&Recorder::B>(&recorder), 60000, false);
    EXPECT_LE(largest, 128u);
    EXPECT_GE(schedule.GetEventCount(), 1u);
}

// Real clock, for ThreadSanitizer: threads add and cancel events while the poller runs them.
// Every event that is not cancelled runs exactly once.
TEST(ScheduleThreadsTest, EventsFromManyThreads) {
    constexpr int THREADS = 4;
    constexpr int PER_THREAD = 200;
    XP::CSchedule schedule;
    Recorder recorder;
    XP::CThread poller(XP::MakeFunctor<&XP::CSchedule::ProcessSchedule>(&schedule), "poller", 0);
    ASSERT_TRUE(poller.Run());

    std::vector<std::thread> adders;
    for (int t = 0; t < THREADS; ++t) {
        adders.emplace_back([&schedule, &recorder, t] {
            for (int n = 0; n < PER_THREAD; ++n) {
                schedule.AddEvent(XP::MakeFunctor<&Recorder::A>(&recorder),
                                  static_cast<unsigned int>(n % 3), false);
                // Long enough that it cannot run before it is cancelled.
                schedule.AddEvent(XP::MakeFunctor<&Recorder::B>(&recorder), 60000, (n + t) % 2 == 0)
                    .Cancel();
            }
        });
    }
    for (std::thread& adder : adders) {
        adder.join();
    }
    for (int n = 0; n < THREADS * PER_THREAD; ++n) {
        ASSERT_TRUE(recorder.m_Logged.Wait(10000));
    }
    poller.Cancel();
    EXPECT_EQ(recorder.Take(), Log(THREADS * PER_THREAD, "A"));
}

}  // namespace
