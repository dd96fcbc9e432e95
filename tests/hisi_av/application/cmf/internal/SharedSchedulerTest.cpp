#include "hisi_av/application/cmf/internal/SharedScheduler.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "xptools/Clock.h"

namespace {

using Names = std::vector<std::string>;

// Records the name of the thread of each run.
class RunLog {
public:
    void Run() {
        char name[16] = {};
        prctl(PR_GET_NAME, name, 0, 0, 0);
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Threads.push_back(name);
        m_Ran.notify_all();
    }

    // Waits for `count` runs (with a real-time guard, so a broken scheduler fails, not hangs).
    Names WaitForRuns(std::size_t count) {
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_Ran.wait_for(lock, std::chrono::seconds(10), [&] { return m_Threads.size() >= count; });
        return m_Threads;
    }

private:
    std::mutex m_Mutex;
    std::condition_variable m_Ran;
    Names m_Threads;
};

TEST(SharedSchedulerTest, RunsPeriodicWorkOnItsThreadUntilCancelled) {
    XP::ManualClock clock;
    RunLog log;
    Cmf::SharedScheduler scheduler;
    XP::CSchedule::CEvent event =
        scheduler.ScheduleEvent(XP::MakeFunctor<&RunLog::Run>(&log), 2000, true);
    ASSERT_TRUE(clock.WaitForWaiters(1));
    clock.Advance(1999);
    ASSERT_TRUE(clock.WaitForWaiters(1));
    EXPECT_EQ(log.WaitForRuns(0), Names{});

    for (std::size_t runs = 1; runs <= 3; ++runs) {
        clock.Advance(runs == 1 ? 1 : 2000);
        EXPECT_EQ(log.WaitForRuns(runs), Names(runs, "CMF-SharedSched"));
        ASSERT_TRUE(clock.WaitForWaiters(1));
    }

    scheduler.CancelEvent(event);
    clock.Advance(10000);
    ASSERT_TRUE(clock.WaitForWaiters(1));
    EXPECT_EQ(log.WaitForRuns(0).size(), 3u);
    // Leaving the scope stops and joins the thread with an event still queued.
    scheduler.ScheduleEvent(XP::MakeFunctor<&RunLog::Run>(&log), 500, false);
}

TEST(SharedSchedulerTest, ProcessWideInstanceRunsEvents) {
    RunLog log;
    Cmf::SharedScheduler::Instance().ScheduleEvent(XP::MakeFunctor<&RunLog::Run>(&log), 0, false);
    EXPECT_EQ(log.WaitForRuns(1), Names{"CMF-SharedSched"});
    EXPECT_EQ(&Cmf::SharedScheduler::Instance(), &Cmf::SharedScheduler::Instance());
}

}  // namespace
