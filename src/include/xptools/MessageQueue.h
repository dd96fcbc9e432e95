#pragma once

#include <cstddef>
#include <memory>
#include <utility>

#include "xptools/Mutex.h"
#include "xptools/MutexLock.h"
#include "xptools/Semaphore.h"
#include "xptools/Uncopyable.h"

namespace XP {

// A bounded queue over a fixed ring of `capacity` elements, all built up front. Send waits (up to
// a time-out) for a free slot; Receive waits for an item without a time limit.
//
// Threads: any number of senders and receivers. m_SendSem counts free slots, m_ReceiveSem
// queued items; m_Mutex guards the ring indexes and count and is held only while a slot is
// copied. Neither semaphore is waited on with the mutex held.
template <typename T>
class CMessageQueue : private CUncopyable {
public:
    // A capacity of 0 would make every Send time out and every Receive wait forever; it is
    // raised to 1.
    explicit CMessageQueue(std::size_t capacity)
        : m_Mutex("CMessageQueue"),
          m_SendSem(static_cast<unsigned int>(capacity != 0 ? capacity : 1)),
          m_ReceiveSem(0),
          m_pQueue(new T[capacity != 0 ? capacity : 1]()),
          m_Head(0),
          m_Tail(0),
          m_MaxSize(capacity != 0 ? capacity : 1),
          m_Count(0) {}

    // Waits up to `timeoutMs` for a free slot and copies `item` into it; false on time-out.
    bool Send(const T& item, unsigned int timeoutMs) {
        if (!m_SendSem.Wait(timeoutMs)) {
            return false;
        }
        {
            CMutexLock lock(m_Mutex);
            m_pQueue[m_Head] = item;
            m_Head = (m_Head + 1) % m_MaxSize;
            ++m_Count;
        }
        m_ReceiveSem.Signal();
        return true;
    }

    // Waits for an item and moves the oldest into `out`; its slot goes back to a default
    // element so the ring does not keep what it handed out alive. False, with nothing taken,
    // only when the wait is abandoned because the calling thread is being cancelled.
    bool Receive(T& out) {
        if (!m_ReceiveSem.Wait()) {
            return false;
        }
        {
            CMutexLock lock(m_Mutex);
            out = std::move(m_pQueue[m_Tail]);
            m_pQueue[m_Tail] = T();
            m_Tail = (m_Tail + 1) % m_MaxSize;
            --m_Count;
        }
        m_SendSem.Signal();
        return true;
    }

    std::size_t GetMessageCount() const {
        CMutexLock lock(m_Mutex);
        return m_Count;
    }

    std::size_t GetCapacity() const { return m_MaxSize; }

private:
    mutable CMutex m_Mutex;
    CSemaphore m_SendSem;
    CSemaphore m_ReceiveSem;
    std::unique_ptr<T[]> m_pQueue;
    std::size_t m_Head;
    std::size_t m_Tail;
    std::size_t m_MaxSize;
    std::size_t m_Count;
};

}  // namespace XP
