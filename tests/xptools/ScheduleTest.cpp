#include "xptools/Schedule.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "xptools/Clock.h"
#include "xptools/Thread.h"

namespace {

// Events of the tests: each appends its letter to a shared log.
class Recorder {
public:
    void A() { Log("A"); }
    void B() { Log("B"); }
    void C() { Log("C"); }
    void D() { Log("D"); }

    std::vector<std::string> Take() {
        std::lock_guard<std::mutex> lock(m_Mutex);
        std::vector<std::string> log;
        log.swap(m_Log);
        return log;
    }

    void Log(const std::string& entry) {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Log.push_back(entry);
    }

private:
    std::mutex m_Mutex;
    std::vector<std::string> m_Log;
};

template <void (Recorder::*Method)()>
XP::CFunctor<void()> Event(Recorder& recorder) {
    return XP::INTERNAL::GetFunctorFactory(Method).template Bind<Method>(&recorder);
}

using Log = std::vector<std::string>;

// A manual clock, a schedule and its "poller" thread. Settle() returns once the poller has run
// everything that is due and parked again.
class ScheduleTest : public ::testing::Test {
protected:
    ScheduleTest()
        : m_Poller(XP::INTERNAL::GetFunctorFactory(&XP::CSchedule::ProcessSchedule)
                       .Bind<&XP::CSchedule::ProcessSchedule>(&m_Schedule),
                   "poller", XP::CThread::GetPriority()) {}

    void SetUp() override {
        ASSERT_TRUE(m_Poller.Run());
        Settle();
    }

    void Settle() { ASSERT_TRUE(m_Clock.WaitForWaiters(1)); }

    void Advance(unsigned int ms) {
        m_Clock.Advance(ms);
        Settle();
    }

    XP::ManualClock m_Clock;
    XP::CSchedule m_Schedule;
    Recorder m_Recorder;
    XP::CThread m_Poller;  // last: cancelled and joined before the schedule goes
};

TEST_F(ScheduleTest, RunsByDueTimeThenByOrderAdded) {
    m_Schedule.AddEvent(Event<&Recorder::C>(m_Recorder), 300, false);
    m_Schedule.AddEvent(Event<&Recorder::A>(m_Recorder), 100, false);
    m_Schedule.AddEvent(Event<&Recorder::B>(m_Recorder), 100, false);
    m_Schedule.AddEvent(Event<&Recorder::D>(m_Recorder), 0, false);
    Settle();
    EXPECT_EQ(m_Recorder.Take(), Log{"D"});

    Advance(99);
    EXPECT_EQ(m_Recorder.Take(), Log{});
    Advance(1);
    EXPECT_EQ(m_Recorder.Take(), (Log{"A", "B"}));
    Advance(199);
    EXPECT_EQ(m_Recorder.Take(), Log{});
    Advance(1);
    EXPECT_EQ(m_Recorder.Take(), Log{"C"});
    Advance(10000);
    EXPECT_EQ(m_Recorder.Take(), Log{});  // one-shot events ran once
}

TEST_F(ScheduleTest, AnEarlierEventAddedWhileWaitingRunsFirst) {
    m_Schedule.AddEvent(Event<&Recorder::A>(m_Recorder), 5000, false);
    Settle();  // the poller now waits for A
    m_Schedule.AddEvent(Event<&Recorder::B>(m_Recorder), 1000, false);
    Advance(1000);
    EXPECT_EQ(m_Recorder.Take(), Log{"B"});
    Advance(4000);
    EXPECT_EQ(m_Recorder.Take(), Log{"A"});
}

TEST_F(ScheduleTest, RepeatingEventKeepsItsPeriodAndPhase) {
    m_Schedule.AddEvent(Event<&Recorder::A>(m_Recorder), 2000, true);
    Advance(1999);
    EXPECT_EQ(m_Recorder.Take(), Log{});
    Advance(1);
    EXPECT_EQ(m_Recorder.Take(), Log{"A"});
    for (int period = 0; period < 3; ++period) {
        Advance(2000);
    }
    EXPECT_EQ(m_Recorder.Take(), (Log{"A", "A", "A"}));

    // Held up from 8 s to 13 s, past its 10 s and 12 s due times: it runs once, at 13 s ...
    Advance(5000);
    EXPECT_EQ(m_Recorder.Take(), Log{"A"});
    // ... and stays on its 2 s grid: next at 14 s, not 15 s.
    Advance(999);
    EXPECT_EQ(m_Recorder.Take(), Log{});
    Advance(1);
    EXPECT_EQ(m_Recorder.Take(), Log{"A"});
}

TEST_F(ScheduleTest, CancelWithdrawsOneShotAndRepeatingEvents) {
    XP::CSchedule::CEvent oneShot =
        m_Schedule.AddEvent(Event<&Recorder::A>(m_Recorder), 1000, false);
    XP::CSchedule::CEvent repeating =
        m_Schedule.AddEvent(Event<&Recorder::B>(m_Recorder), 500, true);
    XP::CSchedule::CEvent copy = oneShot;
    EXPECT_TRUE(copy == oneShot);
    EXPECT_FALSE(copy == repeating);

    copy.Cancel();  // through a copy: the same event
    EXPECT_TRUE(oneShot.IsCancelled());
    Advance(500);
    Advance(500);
    EXPECT_EQ(m_Recorder.Take(), (Log{"B", "B"}));
    repeating.Cancel();
    Advance(500);
    Advance(5000);
    EXPECT_EQ(m_Recorder.Take(), Log{});

    XP::CSchedule::CEvent none;
    EXPECT_FALSE(none.IsValid());
    none.Cancel();  // refers to nothing: no effect
    EXPECT_FALSE(none.IsCancelled());
}

// A repeating event that cancels itself from its own functor, and a poll that re-arms itself
// 2000 ms after it ends, replacing the handle of the event that is running.
class SelfManaging {
public:
    explicit SelfManaging(XP::CSchedule& schedule) : m_Schedule(schedule) {}

    void Tick() {
        m_Log.Log("tick");
        if (++m_Ticks == 3) {
            m_TickEvent.Cancel();
        }
    }

    void Poll() {
        m_Log.Log("poll");
        // A recovery wait inside the poll delays the next one.
        XP::CThread::Sleep(500);
        m_PollEvent = m_Schedule.AddEvent(
            XP::INTERNAL::GetFunctorFactory(&SelfManaging::Poll).Bind<&SelfManaging::Poll>(this),
            2000, false);
    }

    XP::CSchedule& m_Schedule;
    Recorder m_Log;
    int m_Ticks = 0;
    XP::CSchedule::CEvent m_TickEvent;
    XP::CSchedule::CEvent m_PollEvent;
};

TEST_F(ScheduleTest, RepeatingEventCancelsItselfFromItsFunctor) {
    SelfManaging owner(m_Schedule);
    owner.m_TickEvent = m_Schedule.AddEvent(
        XP::INTERNAL::GetFunctorFactory(&SelfManaging::Tick).Bind<&SelfManaging::Tick>(&owner), 100,
        true);
    for (int step = 0; step < 10; ++step) {
        Advance(100);
    }
    EXPECT_EQ(owner.m_Log.Take(), (Log{"tick", "tick", "tick"}));
}

TEST_F(ScheduleTest, EventReArmsItselfAfterEachRun) {
    SelfManaging owner(m_Schedule);
    owner.m_PollEvent = m_Schedule.AddEvent(
        XP::INTERNAL::GetFunctorFactory(&SelfManaging::Poll).Bind<&SelfManaging::Poll>(&owner),
        2000, false);
    Advance(2000);  // first poll starts at 2 s and sleeps 500 ms inside
    EXPECT_EQ(owner.m_Log.Take(), Log{"poll"});
    const XP::CSchedule::CEvent first = owner.m_PollEvent;
    Advance(500);  // the poll ends at 2.5 s and re-arms for 4.5 s
    EXPECT_NE(owner.m_PollEvent, first);
    Advance(1999);
    EXPECT_EQ(owner.m_Log.Take(), Log{});
    Advance(1);
    EXPECT_EQ(owner.m_Log.Take(), Log{"poll"});
    Advance(500);
    Advance(2000);
    EXPECT_EQ(owner.m_Log.Take(), Log{"poll"});

    // Stopping: cancelling the stored handle ends the chain.
    Advance(500);
    owner.m_PollEvent.Cancel();
    Advance(10000);
    EXPECT_EQ(owner.m_Log.Take(), Log{});
}

TEST(ScheduleQueueTest, CancelledEventsDoNotPileUp) {
    // No thread runs this schedule: cancelled entries can only go when the queue is compacted.
    XP::CSchedule schedule;
    Recorder recorder;
    size_t largest = 0;
    for (int i = 0; i < 10000; ++i) {
        schedule.AddEvent(Event<&Recorder::A>(recorder), 60000, false).Cancel();
        largest = std::max(largest, schedule.GetEventCount());
    }
    XP::CSchedule::CEvent live = schedule.AddEvent(Event<&Recorder::B>(recorder), 60000, false);
    EXPECT_LE(largest, 128u);
    EXPECT_GE(schedule.GetEventCount(), 1u);
    EXPECT_FALSE(live.IsCancelled());
}

// Real clock, for ThreadSanitizer: threads add and cancel events while the poller runs them.
// Every event that is not cancelled runs exactly once.
class Counter {
public:
    void Hit() {
        ++m_Hits;
        m_Done.Signal();
    }
    void Never() { ++m_Wrong; }

    std::atomic<int> m_Hits{0};
    std::atomic<int> m_Wrong{0};
    XP::CSemaphore m_Done;
};

TEST(ScheduleThreadsTest, EventsFromManyThreads) {
    constexpr int THREADS = 4;
    constexpr int PER_THREAD = 200;
    XP::CSchedule schedule;
    Counter counter;
    XP::CThread poller(XP::INTERNAL::GetFunctorFactory(&XP::CSchedule::ProcessSchedule)
                           .Bind<&XP::CSchedule::ProcessSchedule>(&schedule),
                       "poller", 0);
    ASSERT_TRUE(poller.Run());

    std::vector<std::thread> adders;
    for (int t = 0; t < THREADS; ++t) {
        adders.emplace_back([&schedule, &counter, t] {
            const auto hit =
                XP::INTERNAL::GetFunctorFactory(&Counter::Hit).Bind<&Counter::Hit>(&counter);
            const auto never =
                XP::INTERNAL::GetFunctorFactory(&Counter::Never).Bind<&Counter::Never>(&counter);
            for (int n = 0; n < PER_THREAD; ++n) {
                schedule.AddEvent(hit, static_cast<unsigned int>(n % 3), false);
                // Long enough that it cannot run before it is cancelled.
                schedule.AddEvent(never, 60000, (n + t) % 2 == 0).Cancel();
            }
        });
    }
    for (std::thread& adder : adders) {
        adder.join();
    }
    for (int n = 0; n < THREADS * PER_THREAD; ++n) {
        ASSERT_TRUE(counter.m_Done.Wait(10000));
    }
    poller.Cancel();
    EXPECT_EQ(counter.m_Hits.load(), THREADS * PER_THREAD);
    EXPECT_EQ(counter.m_Wrong.load(), 0);
}

}  // namespace
