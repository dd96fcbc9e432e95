#pragma once

#include <cstddef>
#include <queue>
#include <utility>

#include "xptools/Mutex.h"
#include "xptools/MutexLock.h"
#include "xptools/Semaphore.h"
#include "xptools/Uncopyable.h"

namespace XP {

// A first-in first-out hand-off queue, unbounded unless SetMaxQueueSize gives it a ceiling.
// Enqueue never blocks: a full bounded queue refuses the item (and counts the refusal).
//
// Threads: any number of producers and consumers. m_qMutex guards the container, the bound and
// the refusal count and is held only for the container operation; the semaphore counts the
// queued items, so consumers wait on it without the mutex.
template <typename T>
class CMsgQ : private CUncopyable {
public:
    CMsgQ() : m_qMutex("CMsgQ"), m_qSem(0), m_MaxQueueSize(-1), m_Refused(0) {}

    // Most items the queue holds; below 1 means unbounded. Items already queued stay queued.
    void SetMaxQueueSize(int maxQueueSize) {
        CMutexLock lock(m_qMutex);
        m_MaxQueueSize = maxQueueSize;
    }

    bool Enqueue(const T& item) { return Push(item); }
    bool Enqueue(T&& item) { return Push(std::move(item)); }

    // Waits up to `timeoutMs` for an item: true with the oldest item moved into `out`, false on
    // time-out (`out` untouched).
    bool Dequeue(unsigned int timeoutMs, T& out) {
        if (!m_qSem.Wait(timeoutMs)) {
            return false;
        }
        CMutexLock lock(m_qMutex);
        if (m_mQueue.empty()) {
            return false;
        }
        out = std::move(m_mQueue.front());
        m_mQueue.pop();
        return true;
    }

    std::size_t GetSize() const {
        CMutexLock lock(m_qMutex);
        return m_mQueue.size();
    }

    // Items refused because the bounded queue was full.
    std::size_t GetRefusedCount() const {
        CMutexLock lock(m_qMutex);
        return m_Refused;
    }

private:
    template <typename Item>
    bool Push(Item&& item) {
        {
            CMutexLock lock(m_qMutex);
            if (m_MaxQueueSize >= 1 &&
                m_mQueue.size() >= static_cast<std::size_t>(m_MaxQueueSize)) {
                ++m_Refused;
                return false;
            }
            m_mQueue.push(std::forward<Item>(item));
        }
        m_qSem.Signal();
        return true;
    }

    mutable CMutex m_qMutex;
    CSemaphore m_qSem;
    int m_MaxQueueSize;
    std::queue<T> m_mQueue;
    std::size_t m_Refused;
};

}  // namespace XP
