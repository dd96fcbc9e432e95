#pragma once

#include <pthread.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "xptools/Functor.h"
#include "xptools/Uncopyable.h"

namespace XP {

// A named thread that calls its body again each time the body returns true, and ends when the
// body returns false or the thread is cancelled.
//
// Construction does not start it; Run does. Cancel asks the thread to end and joins it. The
// support library's waits are cancellation points: XP::CThread::Sleep, XP::CSemaphore waits
// (hence XP::CSchedule::ProcessSchedule and the message queues) and XP::CRs232::Read return
// early on the thread being cancelled, so Cancel returns soon after, whatever the body was
// waiting for there. A body blocked in anything else (a socket read, a platform call) holds
// Cancel until it returns. The destructor cancels, so no thread outlives its object.
//
// Priority: 0 is the normal time-sharing policy; 1 and above ask for the real-time FIFO policy
// at that priority, which needs a privilege. Without it the thread runs at normal priority and
// a message says so.
//
// Threads: Run and Cancel may be called from any thread, also Cancel from the thread itself
// (it then only asks: the thread ends when the body returns, and is joined by the next Run,
// Cancel or the destructor from another thread). m_Mutex guards the run state; it is never held
// while joining.
class CThread : private CUncopyable {
public:
    CThread(const CFunctor<bool()>& body, const char* name, int priority);
    ~CThread();

    // Starts the body on a new thread. False (with a message) when the thread is already
    // running or cannot be created. After the body has ended (returned false, or after Cancel)
    // Run starts it again.
    bool Run();
    // Asks the thread to end and waits for it. Does nothing when it is not running.
    void Cancel();
    // True from Run until the body has ended.
    bool IsRunning() const;
    const std::string& GetName() const { return m_Name; }

    // Blocks the caller for `ms` milliseconds of XP::Clock time; returns early when the caller
    // is a CThread being cancelled.
    static void Sleep(unsigned int ms);
    // The calling thread's priority in the terms above (0 unless it runs a real-time policy).
    static int GetPriority();
    // The highest real-time priority.
    static int GetHighestPriority();

private:
    struct RunContext;
    enum State_e { STATE_IDLE, STATE_RUNNING, STATE_JOINING };

    static void* Entry(void* pArg);
    // Joins a finished or cancelled thread; called with `lock` held, returns with it held.
    void JoinLocked(std::unique_lock<std::mutex>& lock);
    void Stop(bool detachIfSelf);

    CFunctor<bool()> m_Body;
    std::string m_Name;
    int m_Priority;

    mutable std::mutex m_Mutex;
    std::condition_variable m_Joined;
    State_e m_State;
    pthread_t m_Thread;
    std::shared_ptr<RunContext> m_pContext;
};

}  // namespace XP
