#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "xptools/Functor.h"
#include "xptools/Mutex.h"
#include "xptools/Semaphore.h"
#include "xptools/SharedPtr.h"
#include "xptools/Uncopyable.h"

namespace XP {

// Runs functors after a delay, once or repeatedly, on the thread that runs ProcessSchedule
// (usually an XP::CThread whose body is ProcessSchedule).
//
// Timing is on XP::Clock. Events due at the same time run in the order they were added. A
// repeating event is due again one delay after its previous due time, so it does not drift;
// when the thread was held up past one or more of its due times it runs once and keeps its
// phase (no burst of catch-up runs).
//
// Threads: AddEvent and CEvent::Cancel from any thread, also from inside an event's functor.
// ProcessSchedule from one thread at a time. m_Mutex guards the queue; functors run with no lock
// held, so they may add and cancel events. Cancel does not wait for a run in progress.
class CSchedule : private CUncopyable {
    struct Event_t;

public:
    // A handle to a scheduled event; copies refer to the same event. A default-constructed
    // handle refers to none, and cancelling it does nothing.
    class CEvent {
    public:
        CEvent() = default;

        // Withdraws the event: it does not run again (a run in progress completes).
        void Cancel();
        // True once Cancel was called on any copy.
        bool IsCancelled() const;
        bool IsValid() const { return m_pImpl != nullptr; }

        bool operator==(const CEvent& other) const { return m_pImpl == other.m_pImpl; }
        bool operator!=(const CEvent& other) const { return m_pImpl != other.m_pImpl; }

    private:
        friend class CSchedule;
        explicit CEvent(const CSharedPtr<Event_t>& pImpl) : m_pImpl(pImpl) {}

        CSharedPtr<Event_t> m_pImpl;
    };

    CSchedule();
    ~CSchedule();

    // Schedules `functor` to run `delayMs` from now, once, or every `delayMs` while `repeat`
    // until cancelled. A repeating event needs a delay of at least 1 ms (0 is taken as 1).
    CEvent AddEvent(const CFunctor<void()>& functor, unsigned int delayMs, bool repeat);

    // One step of the scheduler thread: runs the earliest event if it is due, otherwise waits
    // until it is due or the queue changes (or the thread is cancelled). Always true, so that it
    // serves as an XP::CThread body.
    bool ProcessSchedule();

    // Events in the queue, counting cancelled ones not yet dropped.
    size_t GetEventCount() const;

private:
    struct Entry_t {
        uint64_t dueNs;
        uint64_t sequence;
        CSharedPtr<Event_t> pEvent;
    };
    // Orders the heap so that the earliest due time, then the earliest added, is on top.
    struct Later {
        bool operator()(const Entry_t& a, const Entry_t& b) const;
    };

    void PushLocked(const Entry_t& entry);
    // Drops cancelled events from the queue once they are half of it, so adding and cancelling
    // long-delay events never grows it without bound.
    void CompactLocked();

    mutable CMutex m_Mutex;
    CSemaphore m_Changed;
    std::vector<Entry_t> m_NextEvents;  // a heap under Later
    uint64_t m_NextSequence;
    size_t m_CompactAt;
};

}  // namespace XP
