#include "xptools/Clock.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include "xptools/Print.h"

namespace XP {
namespace {

uint64_t SteadyNowNs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

// The manual clock's state. It lives for the whole process (never destroyed), so a thread that
// reads the clock during exit finds it intact.
struct ManualState {
    struct Waiter {
        std::shared_ptr<Clock::CWaker> waker;
        uint64_t deadlineNs;
        uint64_t id;
    };

    std::mutex mutex;
    std::condition_variable waitersChanged;
    bool installed = false;
    uint64_t nowNs = 0;
    uint64_t nextId = 1;
    std::vector<Waiter> waiters;
};

ManualState& Manual() {
    static ManualState* state = new ManualState;
    return *state;
}

// Read without the lock on every tick read; the state itself is read under the lock.
std::atomic<bool> g_ManualActive{false};

thread_local std::shared_ptr<Clock::CWaker> t_Waker;

}  // namespace

namespace Clock {

uint64_t NowNs() {
    if (g_ManualActive.load(std::memory_order_acquire)) {
        ManualState& manual = Manual();
        std::lock_guard<std::mutex> lock(manual.mutex);
        if (manual.installed) {
            return manual.nowNs;
        }
    }
    return SteadyNowNs();
}

uint64_t DeadlineAfterMs(uint64_t ms) {
    const uint64_t now = NowNs();
    const uint64_t maxMs = (NO_DEADLINE - now) / 1000000u;
    if (ms >= maxMs) {
        return NO_DEADLINE;
    }
    return now + ms * 1000000u;
}

CWaker::CWaker() = default;

CWaker::~CWaker() {
    if (m_CancelFd >= 0) {
        close(m_CancelFd);
    }
}

WaitResult_e CWaker::Park(uint64_t deadlineNs) {
    std::unique_lock<std::mutex> lock(m_Mutex);
    WaitResult_e result = WAIT_WOKEN;
    for (;;) {
        if (m_Cancel.load(std::memory_order_relaxed)) {
            result = WAIT_CANCELLED;
            break;
        }
        if (m_Pending) {
            m_Pending = false;
            result = WAIT_WOKEN;
            break;
        }
        if (g_ManualActive.load(std::memory_order_acquire)) {
            if (!m_Registered) {
                ManualState& manual = Manual();
                std::lock_guard<std::mutex> manualLock(manual.mutex);
                if (!manual.installed) {
                    continue;  // the clock went meanwhile: wait on the steady clock
                }
                if (manual.nowNs >= deadlineNs) {
                    result = WAIT_TIMED_OUT;
                    break;
                }
                m_RegistrationId = manual.nextId++;
                m_Registered = true;
                manual.waiters.push_back({shared_from_this(), deadlineNs, m_RegistrationId});
                manual.waitersChanged.notify_all();
            }
            // Only Wake, RequestCancel and the manual clock end this wait.
            m_Cond.wait(lock);
        } else if (deadlineNs == Clock::NO_DEADLINE) {
            m_Cond.wait(lock);
        } else {
            if (SteadyNowNs() >= deadlineNs) {
                result = WAIT_TIMED_OUT;
                break;
            }
            const std::chrono::steady_clock::time_point deadline{
                std::chrono::nanoseconds(deadlineNs)};
            m_Cond.wait_until(lock, deadline);
        }
    }
    UnregisterLocked();
    return result;
}

void CWaker::Wake() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Pending = true;
    // Taken off the waiter list here, not when the thread gets to run: once Signal or Advance
    // has returned, the woken thread no longer counts as waiting.
    UnregisterLocked();
    m_Cond.notify_one();
}

void CWaker::RequestCancel() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Cancel.store(true, std::memory_order_release);
    if (m_CancelFd >= 0) {
        const uint64_t one = 1;
        ssize_t written;
        do {
            written = write(m_CancelFd, &one, sizeof(one));
        } while (written < 0 && errno == EINTR);
    }
    UnregisterLocked();
    m_Cond.notify_one();
}

int CWaker::GetCancelFd() {
    int error = 0;
    int fd;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_CancelFd < 0) {
            m_CancelFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
            if (m_CancelFd < 0) {
                error = errno;
            } else if (m_Cancel.load(std::memory_order_relaxed)) {
                const uint64_t one = 1;
                if (write(m_CancelFd, &one, sizeof(one)) < 0) {
                    // The flag is set anyway; callers check it before polling.
                }
            }
        }
        fd = m_CancelFd;
    }
    if (error != 0) {
        MyPrintf("CWaker: eventfd failed: %s", std::strerror(error));
    }
    return fd;
}

void CWaker::UnregisterLocked() {
    if (!m_Registered) {
        return;
    }
    m_Registered = false;
    ManualState& manual = Manual();
    std::lock_guard<std::mutex> manualLock(manual.mutex);
    // The entry may already be gone: the clock takes it out before calling DeadlineReached.
    auto it = std::find_if(
        manual.waiters.begin(), manual.waiters.end(),
        [this](const ManualState::Waiter& waiter) { return waiter.id == m_RegistrationId; });
    if (it != manual.waiters.end()) {
        manual.waiters.erase(it);
        manual.waitersChanged.notify_all();
    }
}

void CWaker::DeadlineReached(uint64_t id) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    // A later registration (the thread left and parked again meanwhile) is not this one.
    if (m_Registered && m_RegistrationId == id) {
        m_Registered = false;
        m_Cond.notify_one();
    }
}

const std::shared_ptr<CWaker>& CurrentWaker() {
    if (!t_Waker) {
        t_Waker = std::make_shared<CWaker>();
    }
    return t_Waker;
}

void SetCurrentWaker(const std::shared_ptr<CWaker>& waker) {
    t_Waker = waker;
}

bool IsCancelRequested() {
    return t_Waker && t_Waker->IsCancelRequested();
}

}  // namespace Clock

ManualClock::ManualClock() : m_Installed(false) {
    {
        ManualState& manual = Manual();
        std::lock_guard<std::mutex> lock(manual.mutex);
        if (!manual.installed) {
            // On a whole millisecond, so that millisecond and microsecond ticks move by exact
            // steps.
            manual.nowNs = (SteadyNowNs() / 1000000u + 1) * 1000000u;
            manual.installed = true;
            m_Installed = true;
            g_ManualActive.store(true, std::memory_order_release);
        }
    }
    if (!m_Installed) {
        MyPrintf("ManualClock: a manual clock is already installed; this one does nothing");
    }
}

ManualClock::~ManualClock() {
    if (!m_Installed) {
        return;
    }
    std::vector<ManualState::Waiter> woken;
    {
        ManualState& manual = Manual();
        std::lock_guard<std::mutex> lock(manual.mutex);
        manual.installed = false;
        g_ManualActive.store(false, std::memory_order_release);
        woken.swap(manual.waiters);
        manual.waitersChanged.notify_all();
    }
    // Waits still parked here go on with the steady clock.
    for (const ManualState::Waiter& waiter : woken) {
        waiter.waker->DeadlineReached(waiter.id);
    }
}

void ManualClock::Advance(uint64_t ms) {
    AdvanceNs(ms * 1000000u);
}

void ManualClock::AdvanceNs(uint64_t ns) {
    if (!m_Installed) {
        MyPrintf("ManualClock: Advance on a clock that is not installed");
        return;
    }
    std::vector<ManualState::Waiter> due;
    {
        ManualState& manual = Manual();
        std::lock_guard<std::mutex> lock(manual.mutex);
        manual.nowNs = (ns > Clock::NO_DEADLINE - 1 - manual.nowNs) ? Clock::NO_DEADLINE - 1
                                                                    : manual.nowNs + ns;
        auto firstDue = std::stable_partition(manual.waiters.begin(), manual.waiters.end(),
                                              [&manual](const ManualState::Waiter& waiter) {
                                                  return waiter.deadlineNs > manual.nowNs;
                                              });
        due.assign(std::make_move_iterator(firstDue),
                   std::make_move_iterator(manual.waiters.end()));
        manual.waiters.erase(firstDue, manual.waiters.end());
        if (!due.empty()) {
            manual.waitersChanged.notify_all();
        }
    }
    // Outside the clock's lock: a waker's lock is never taken inside it.
    for (const ManualState::Waiter& waiter : due) {
        waiter.waker->DeadlineReached(waiter.id);
    }
}

uint64_t ManualClock::NowNs() const {
    return Clock::NowNs();
}

bool ManualClock::WaitForWaiters(unsigned int count, unsigned int realTimeoutMs) const {
    ManualState& manual = Manual();
    std::unique_lock<std::mutex> lock(manual.mutex);
    const bool reached =
        manual.waitersChanged.wait_for(lock, std::chrono::milliseconds(realTimeoutMs),
                                       [&manual, count] { return manual.waiters.size() >= count; });
    const size_t waiting = manual.waiters.size();
    lock.unlock();
    if (!reached) {
        MyPrintf("ManualClock: %zu of %u threads waiting after %u ms", waiting, count,
                 realTimeoutMs);
    }
    return reached;
}

unsigned int ManualClock::GetWaiterCount() const {
    ManualState& manual = Manual();
    std::lock_guard<std::mutex> lock(manual.mutex);
    return static_cast<unsigned int>(manual.waiters.size());
}

}  // namespace XP
