#include "xptools/Semaphore.h"

#include <algorithm>
#include <climits>

#include "xptools/Print.h"

namespace XP {

CSemaphore::CSemaphore(unsigned int initialCount) : m_Count(initialCount) {}

CSemaphore::~CSemaphore() = default;

void CSemaphore::Signal() {
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_Count != UINT_MAX) {
            ++m_Count;
            for (const std::shared_ptr<Clock::CWaker>& waker : m_Waiters) {
                waker->Wake();
            }
            return;
        }
    }
    MyPrintf("CSemaphore: count at its maximum, signal dropped");
}

bool CSemaphore::Wait() {
    return WaitUntil(Clock::NO_DEADLINE);
}

bool CSemaphore::Wait(unsigned int ms) {
    return WaitUntil(Clock::DeadlineAfterMs(ms));
}

bool CSemaphore::WaitUntil(uint64_t deadlineNs) {
    const std::shared_ptr<Clock::CWaker>& waker = Clock::CurrentWaker();
    std::unique_lock<std::mutex> lock(m_Mutex);
    for (;;) {
        if (m_Count > 0) {
            --m_Count;
            return true;
        }
        if (waker->IsCancelRequested()) {
            return false;
        }
        if (deadlineNs != Clock::NO_DEADLINE && Clock::NowNs() >= deadlineNs) {
            return false;
        }
        m_Waiters.push_back(waker);
        lock.unlock();
        // A Signal between the unlock and the park leaves a pending wake-up: Park returns at once.
        waker->Park(deadlineNs);
        lock.lock();
        auto it = std::find(m_Waiters.begin(), m_Waiters.end(), waker);
        if (it != m_Waiters.end()) {
            m_Waiters.erase(it);
        }
    }
}

unsigned int CSemaphore::GetCount() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Count;
}

}  // namespace XP
