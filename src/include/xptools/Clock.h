#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "xptools/Uncopyable.h"

// The one clock of the support library. Every tick read (XP::Time), sleep (XP::CThread::Sleep)
// and timed wait (XP::CSemaphore, XP::CSchedule) takes its time from here. By default it is the
// steady (monotonic) clock; a test installs an XP::ManualClock and moves time with Advance, so
// code that waits 300 ms, 1.5 s or 15 s runs at once.
//
// Every blocking wait of the library parks the calling thread on that thread's CWaker. Whoever
// must wake it (a semaphore's Signal, the manual clock reaching its deadline, CThread::Cancel)
// goes through the same waker, which keeps a pending wake-up until the thread looks at it: a
// wake-up that comes between the caller's check of its condition and the park is not lost.

namespace XP {

class ManualClock;

namespace Clock {

// A deadline that never comes: the wait ends only when the thread is woken or cancelled.
constexpr uint64_t NO_DEADLINE = UINT64_MAX;

// Nanoseconds on the current clock (steady clock, or the manual clock while one is installed).
uint64_t NowNs();
// NowNs() + ms, saturating at NO_DEADLINE.
uint64_t DeadlineAfterMs(uint64_t ms);

enum WaitResult_e {
    WAIT_WOKEN,      // a wake-up was pending or arrived (it may be stale: re-check the condition)
    WAIT_TIMED_OUT,  // the clock reached the deadline
    WAIT_CANCELLED,  // the thread is being cancelled (XP::CThread::Cancel)
};

// The park/wake point of one thread, shared between the thread and whoever may wake it.
//
// Threads: Park is called only by the owning thread; Wake and RequestCancel by any thread.
// m_Mutex guards the pending wake-up and the parked state; the manual clock's lock is taken
// inside it (never the other way round), and no other lock is taken while m_Mutex is held.
class CWaker : public std::enable_shared_from_this<CWaker>, private CUncopyable {
public:
    CWaker();
    ~CWaker();

    // Blocks until a wake-up is pending (and consumes it), the deadline passes on the current
    // clock, or a cancel is requested. May return WAIT_WOKEN for a stale wake-up.
    WaitResult_e Park(uint64_t deadlineNs);

    void Wake();
    // Sticky: from now on every Park returns WAIT_CANCELLED at once and the wake descriptor reads
    // ready. Used by CThread::Cancel for the thread it runs.
    void RequestCancel();
    bool IsCancelRequested() const { return m_Cancel.load(std::memory_order_acquire); }

    // A descriptor that becomes readable when a cancel is requested, for waits in poll()
    // (the serial port). Created on first use; -1 when it cannot be created.
    int GetCancelFd();

private:
    friend class XP::ManualClock;

    // Takes this waker out of the manual clock's waiter list. Called with m_Mutex held.
    void UnregisterLocked();
    // The manual clock took registration `id` out of its list because its deadline came (or
    // the clock went): the parked thread re-checks its deadline.
    void DeadlineReached(uint64_t id);

    std::mutex m_Mutex;
    std::condition_variable m_Cond;
    bool m_Pending = false;
    // True while the thread is parked on the manual clock and listed as a waiter there, under
    // registration m_RegistrationId.
    bool m_Registered = false;
    uint64_t m_RegistrationId = 0;
    std::atomic<bool> m_Cancel{false};
    int m_CancelFd = -1;
};

// The calling thread's waker (made on first use for threads not started by XP::CThread).
const std::shared_ptr<CWaker>& CurrentWaker();
// Used by XP::CThread at the start of each thread it runs, so that Cancel reaches it.
void SetCurrentWaker(const std::shared_ptr<CWaker>& waker);
// True when the calling thread is an XP::CThread being cancelled.
bool IsCancelRequested();

}  // namespace Clock

// Replaces the steady clock while it lives (tests). Time starts at the steady clock's reading at
// installation, rounded up to a whole millisecond, so ticks do not jump backwards, and moves
// only by Advance.
//
// Install it before starting the threads that wait on it and let it go after they are joined:
// a wait measures its deadline on the clock it began on. (A wait still parked when the manual
// clock goes carries on with the steady clock.) Only one may be installed at a time; a second
// one is refused with a message and does nothing.
//
// Threads: any thread may call Advance and WaitForWaiters; all state is under the clock's lock.
class ManualClock : private CUncopyable {
public:
    ManualClock();
    ~ManualClock();

    // Moves time forward and wakes every wait whose deadline is now reached. Woken threads no
    // longer count as waiters once Advance returns.
    void Advance(uint64_t ms);
    void AdvanceNs(uint64_t ns);
    uint64_t NowNs() const;

    // Blocks until at least `count` threads are parked on this clock with no wake-up pending
    // (sleeping, or waiting on a semaphore or a scheduler), or until `realTimeoutMs` of real time
    // has passed: false then, with a message. Tests use it instead of sleeping to know that the
    // threads they started have reached their next wait.
    bool WaitForWaiters(unsigned int count, unsigned int realTimeoutMs = 5000) const;
    unsigned int GetWaiterCount() const;

    bool IsInstalled() const { return m_Installed; }

private:
    bool m_Installed;
};

}  // namespace XP
