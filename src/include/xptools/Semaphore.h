#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "xptools/Clock.h"
#include "xptools/Uncopyable.h"

namespace XP {

// Counting semaphore. Timed waits measure time on XP::Clock, so a test running a manual clock
// decides when they expire.
//
// Every wait is a cancellation point of XP::CThread: when the thread running it is cancelled,
// the wait returns false at once without taking a count (also the untimed Wait, which otherwise
// only returns true). A count that is already there is still taken.
//
// Threads: any thread may Signal and Wait. m_Mutex guards the count and the list of parked
// waiters; a waiter's waker lock is taken inside it, never the other way round.
class CSemaphore : private CUncopyable {
public:
    explicit CSemaphore(unsigned int initialCount = 0);
    ~CSemaphore();

    void Signal();
    // Waits until the count is above zero, then takes one: true. False only when the calling
    // thread is being cancelled.
    bool Wait();
    // Same, but gives up after `ms` milliseconds of XP::Clock time: false on time-out (and on
    // cancellation). Wait(0) only takes a count that is there.
    bool Wait(unsigned int ms);
    // Same, with a deadline on XP::Clock::NowNs() (XP::Clock::NO_DEADLINE waits for ever).
    bool WaitUntil(uint64_t deadlineNs);

    unsigned int GetCount() const;

private:
    mutable std::mutex m_Mutex;
    unsigned int m_Count;
    // Wakers of the threads parked in Wait; Signal wakes all of them and each re-checks the
    // count, so a waiter that gives up (time-out, cancel) never strands a count.
    std::vector<std::shared_ptr<Clock::CWaker>> m_Waiters;
};

}  // namespace XP
