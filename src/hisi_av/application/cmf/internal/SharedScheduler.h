#pragma once

#include "xptools/Functor.h"
#include "xptools/Schedule.h"
#include "xptools/Thread.h"
#include "xptools/Uncopyable.h"

namespace Cmf {

// One timer thread, "CMF-SharedSched", for the periodic work of the media framework (the data
// extractors' bit-rate calculation), so that every extractor does not need a thread of its own.
//
// Instance() is the process-wide scheduler, made on first use and destroyed at exit. A test may
// construct a scheduler of its own, e.g. under an XP::ManualClock installed before it.
//
// Threads: ScheduleEvent and CancelEvent may be called from any thread, also from inside a
// scheduled functor. Every functor runs on the "CMF-SharedSched" thread, one at a time, with no
// lock held; it must not block for long, since it delays every other event. The destructor stops
// and joins the thread (a functor in progress completes first); events still queued never run.
class SharedScheduler : private XP::CUncopyable {
public:
    static constexpr const char* THREAD_NAME = "CMF-SharedSched";

    static SharedScheduler& Instance();

    // Starts the thread.
    SharedScheduler();
    ~SharedScheduler();

    // Runs `functor` after `delayMs`, once or every `delayMs` while `repeat`, until cancelled.
    XP::CSchedule::CEvent ScheduleEvent(const XP::CFunctor<void()>& functor, unsigned int delayMs,
                                        bool repeat);
    // Withdraws an event (a run in progress completes). An empty handle is ignored.
    void CancelEvent(XP::CSchedule::CEvent& event);

private:
    XP::CSchedule m_Schedule;
    // Declared after the schedule: stopped before the schedule goes.
    XP::CThread m_StatusThread;
};

}  // namespace Cmf
