#include "xptools/Thread.h"

#include <sched.h>
#include <sys/prctl.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "xptools/Clock.h"
#include "xptools/Print.h"

namespace XP {

// What the thread itself uses. It is shared with the CThread object rather than reaching into
// it, so the thread never touches its CThread (which may be gone when the thread was detached).
struct CThread::RunContext {
    CFunctor<bool()> body;
    std::string name;
    int priority = 0;
    std::shared_ptr<Clock::CWaker> waker;
    std::atomic<bool> finished{false};
};

namespace {

// The kernel keeps 15 characters of a thread name.
void SetThreadName(const std::string& name) {
    char shortName[16];
    std::strncpy(shortName, name.c_str(), sizeof(shortName) - 1);
    shortName[sizeof(shortName) - 1] = '\0';
    prctl(PR_SET_NAME, shortName, 0, 0, 0);
}

void ApplyPriority(const std::string& name, int priority) {
    sched_param param{};
    if (priority <= 0) {
        int policy = SCHED_OTHER;
        if (pthread_getschedparam(pthread_self(), &policy, &param) == 0 && policy == SCHED_OTHER) {
            return;
        }
        // Inherited a real-time policy from the creator: going back to normal needs no privilege.
        param.sched_priority = 0;
        pthread_setschedparam(pthread_self(), SCHED_OTHER, &param);
        return;
    }
    param.sched_priority = std::clamp(priority, sched_get_priority_min(SCHED_FIFO),
                                      sched_get_priority_max(SCHED_FIFO));
    const int result = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
    if (result == EPERM) {
        MyPrintf("CThread \"%s\": real-time priority %d not permitted, running at normal priority",
                 name.c_str(), param.sched_priority);
    } else if (result != 0) {
        MyPrintf("CThread \"%s\": cannot set priority %d: %s", name.c_str(), param.sched_priority,
                 std::strerror(result));
    }
}

}  // namespace

CThread::CThread(const CFunctor<bool()>& body, const char* name, int priority)
    : m_Body(body),
      m_Name(name != nullptr ? name : ""),
      m_Priority(priority),
      m_State(STATE_IDLE),
      m_Thread() {}

CThread::~CThread() {
    Stop(true);
}

bool CThread::Run() {
    std::unique_lock<std::mutex> lock(m_Mutex);
    m_Joined.wait(lock, [this] { return m_State != STATE_JOINING; });
    if (m_State == STATE_RUNNING) {
        if (!m_pContext->finished.load(std::memory_order_acquire)) {
            lock.unlock();
            MyPrintf("CThread \"%s\": Run while already running", m_Name.c_str());
            return false;
        }
        JoinLocked(lock);
    }

    std::shared_ptr<RunContext> context = std::make_shared<RunContext>();
    context->body = m_Body;
    context->name = m_Name;
    context->priority = m_Priority;
    context->waker = std::make_shared<Clock::CWaker>();
    // The new thread takes over this reference.
    auto* pHolder = new std::shared_ptr<RunContext>(context);
    const int result = pthread_create(&m_Thread, nullptr, &CThread::Entry, pHolder);
    if (result != 0) {
        delete pHolder;
        lock.unlock();
        MyPrintf("CThread \"%s\": cannot create thread: %s", m_Name.c_str(), std::strerror(result));
        return false;
    }
    m_pContext = std::move(context);
    m_State = STATE_RUNNING;
    return true;
}

void CThread::Cancel() {
    Stop(false);
}

void CThread::Stop(bool detachIfSelf) {
    std::unique_lock<std::mutex> lock(m_Mutex);
    if (m_State == STATE_IDLE) {
        return;
    }
    m_pContext->waker->RequestCancel();
    if (pthread_equal(m_Thread, pthread_self())) {
        // Joining ourselves would never return. The body ends when it returns to the loop.
        if (detachIfSelf && m_State == STATE_RUNNING) {
            pthread_detach(m_Thread);
            m_State = STATE_IDLE;
            m_pContext.reset();
        }
        return;
    }
    if (m_State == STATE_JOINING) {
        // Another thread is joining it: return when that is done.
        m_Joined.wait(lock, [this] { return m_State != STATE_JOINING; });
        return;
    }
    JoinLocked(lock);
}

void CThread::JoinLocked(std::unique_lock<std::mutex>& lock) {
    m_State = STATE_JOINING;
    const pthread_t thread = m_Thread;
    lock.unlock();
    pthread_join(thread, nullptr);
    lock.lock();
    m_State = STATE_IDLE;
    m_pContext.reset();
    m_Joined.notify_all();
}

bool CThread::IsRunning() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_State == STATE_RUNNING && !m_pContext->finished.load(std::memory_order_acquire);
}

void* CThread::Entry(void* pArg) {
    std::shared_ptr<RunContext> context;
    {
        auto* pHolder = static_cast<std::shared_ptr<RunContext>*>(pArg);
        context = std::move(*pHolder);
        delete pHolder;
    }
    Clock::SetCurrentWaker(context->waker);
    SetThreadName(context->name);
    ApplyPriority(context->name, context->priority);

    while (!context->waker->IsCancelRequested() && context->body()) {
    }
    context->finished.store(true, std::memory_order_release);
    return nullptr;
}

void CThread::Sleep(unsigned int ms) {
    const uint64_t deadline = Clock::DeadlineAfterMs(ms);
    const std::shared_ptr<Clock::CWaker>& waker = Clock::CurrentWaker();
    while (Clock::NowNs() < deadline) {
        if (waker->Park(deadline) == Clock::WAIT_CANCELLED) {
            return;
        }
    }
}

int CThread::GetPriority() {
    int policy = SCHED_OTHER;
    sched_param param{};
    if (pthread_getschedparam(pthread_self(), &policy, &param) != 0) {
        return 0;
    }
    return (policy == SCHED_FIFO || policy == SCHED_RR) ? param.sched_priority : 0;
}

int CThread::GetHighestPriority() {
    return sched_get_priority_max(SCHED_FIFO);
}

}  // namespace XP
