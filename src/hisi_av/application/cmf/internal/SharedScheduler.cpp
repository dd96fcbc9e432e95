#include "hisi_av/application/cmf/internal/SharedScheduler.h"

#include "xptools/Print.h"

namespace Cmf {

SharedScheduler& SharedScheduler::Instance() {
    static SharedScheduler instance;
    return instance;
}

SharedScheduler::SharedScheduler()
    : m_Schedule(),
      m_StatusThread(XP::MakeFunctor<&XP::CSchedule::ProcessSchedule>(&m_Schedule), THREAD_NAME,
                     XP::CThread::GetPriority()) {
    if (!m_StatusThread.Run()) {
        XP::MyPrintf("SharedScheduler: cannot start thread %s; scheduled events will not run",
                     THREAD_NAME);
    }
}

SharedScheduler::~SharedScheduler() {
    m_StatusThread.Cancel();
}

XP::CSchedule::CEvent SharedScheduler::ScheduleEvent(const XP::CFunctor<void()>& functor,
                                                     unsigned int delayMs, bool repeat) {
    return m_Schedule.AddEvent(functor, delayMs, repeat);
}

void SharedScheduler::CancelEvent(XP::CSchedule::CEvent& event) {
    event.Cancel();
}

}  // namespace Cmf
