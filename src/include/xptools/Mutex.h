#pragma once

#include <mutex>
#include <string>

#include "xptools/Uncopyable.h"

namespace XP {

// Plain mutual exclusion. The name only serves diagnostics.
class CMutex : private CUncopyable {
public:
    explicit CMutex(const char* name = "") : m_Name(name ? name : "") {}

    void Lock() { m_Mutex.lock(); }
    void Unlock() { m_Mutex.unlock(); }
    bool TryLock() { return m_Mutex.try_lock(); }

    const std::string& GetName() const { return m_Name; }

    // For code that must wait on a condition variable under this mutex (semaphore, clock).
    std::mutex& Native() { return m_Mutex; }

private:
    std::mutex m_Mutex;
    std::string m_Name;
};

}  // namespace XP
