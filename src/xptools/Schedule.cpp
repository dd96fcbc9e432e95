#include "xptools/Schedule.h"

#include <algorithm>

#include "xptools/Clock.h"
#include "xptools/MutexLock.h"
#include "xptools/Print.h"

namespace XP {

struct CSchedule::Event_t {
    CFunctor<void()> functor;
    uint64_t delayNs = 0;
    bool repeat = false;
    // Set by Cancel, from any thread.
    std::atomic<bool> cancelled{false};
};

namespace {

constexpr size_t MIN_COMPACT_SIZE = 64;

}  // namespace

void CSchedule::CEvent::Cancel() {
    if (m_pImpl) {
        m_pImpl->cancelled.store(true, std::memory_order_release);
    }
}

bool CSchedule::CEvent::IsCancelled() const {
    return m_pImpl && m_pImpl->cancelled.load(std::memory_order_acquire);
}

bool CSchedule::Later::operator()(const Entry_t& a, const Entry_t& b) const {
    if (a.dueNs != b.dueNs) {
        return a.dueNs > b.dueNs;
    }
    return a.sequence > b.sequence;
}

CSchedule::CSchedule()
    : m_Mutex("CSchedule"), m_Changed(0), m_NextSequence(0), m_CompactAt(MIN_COMPACT_SIZE) {}

CSchedule::~CSchedule() = default;

CSchedule::CEvent CSchedule::AddEvent(const CFunctor<void()>& functor, unsigned int delayMs,
                                      bool repeat) {
    if (repeat && delayMs == 0) {
        MyPrintf("CSchedule: a repeating event needs a delay; using 1 ms");
        delayMs = 1;
    }
    CSharedPtr<Event_t> pEvent(new Event_t);
    pEvent->functor = functor;
    pEvent->delayNs = static_cast<uint64_t>(delayMs) * 1000000u;
    pEvent->repeat = repeat;
    {
        CMutexLock lock(m_Mutex);
        PushLocked({Clock::DeadlineAfterMs(delayMs), m_NextSequence++, pEvent});
    }
    m_Changed.Signal();
    return CEvent(pEvent);
}

bool CSchedule::ProcessSchedule() {
    m_Mutex.Lock();
    while (!m_NextEvents.empty() &&
           m_NextEvents.front().pEvent->cancelled.load(std::memory_order_acquire)) {
        std::pop_heap(m_NextEvents.begin(), m_NextEvents.end(), Later());
        m_NextEvents.pop_back();
    }
    if (m_NextEvents.empty()) {
        m_Mutex.Unlock();
        m_Changed.Wait();
        return true;
    }
    const uint64_t now = Clock::NowNs();
    if (m_NextEvents.front().dueNs > now) {
        const uint64_t dueNs = m_NextEvents.front().dueNs;
        m_Mutex.Unlock();
        // A new event (which may be earlier) signals m_Changed and ends the wait.
        m_Changed.WaitUntil(dueNs);
        return true;
    }

    std::pop_heap(m_NextEvents.begin(), m_NextEvents.end(), Later());
    Entry_t entry = std::move(m_NextEvents.back());
    m_NextEvents.pop_back();
    Event_t& event = *entry.pEvent;
    if (event.repeat) {
        // Next due time on the event's own grid, skipping the ones already missed.
        const uint64_t missed = (now - entry.dueNs) / event.delayNs;
        entry.dueNs += (missed + 1) * event.delayNs;
        PushLocked(entry);
    }
    // The functor is copied under the lock; the entry keeps the event alive while it runs, even
    // when the functor drops the last outside handle.
    const CFunctor<void()> functor = event.functor;
    m_Mutex.Unlock();

    // Cancelled meanwhile from another thread: it does not run.
    if (!event.cancelled.load(std::memory_order_acquire)) {
        functor();
    }
    return true;
}

size_t CSchedule::GetEventCount() const {
    CMutexLock lock(m_Mutex);
    return m_NextEvents.size();
}

void CSchedule::PushLocked(const Entry_t& entry) {
    if (m_NextEvents.size() >= m_CompactAt) {
        CompactLocked();
    }
    m_NextEvents.push_back(entry);
    std::push_heap(m_NextEvents.begin(), m_NextEvents.end(), Later());
}

void CSchedule::CompactLocked() {
    m_NextEvents.erase(
        std::remove_if(m_NextEvents.begin(), m_NextEvents.end(),
                       [](const Entry_t& entry) {
                           return entry.pEvent->cancelled.load(std::memory_order_acquire);
                       }),
        m_NextEvents.end());
    std::make_heap(m_NextEvents.begin(), m_NextEvents.end(), Later());
    // Next time when the queue has doubled: amortised constant work per event.
    m_CompactAt = std::max(MIN_COMPACT_SIZE, m_NextEvents.size() * 2);
}

}  // namespace XP
