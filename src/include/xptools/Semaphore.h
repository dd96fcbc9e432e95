#pragma once

#include <condition_variable>
#include <mutex>

#include "xptools/Uncopyable.h"

namespace XP {

// Counting semaphore. Timed waits measure time on XP::Clock, so a test running a manual clock
// decides when they expire.
class CSemaphore : private CUncopyable {
public:
    explicit CSemaphore(unsigned int initialCount = 0);
    ~CSemaphore();

    void Signal();
    // Waits until the count is above zero, then takes one.
    void Wait();
    // Same, but gives up after `ms` milliseconds of XP::Clock time: false on time-out.
    bool Wait(unsigned int ms);

    unsigned int GetCount() const;

private:
    mutable std::mutex m_Mutex;
    std::condition_variable m_Cond;
    unsigned int m_Count;
};

}  // namespace XP
