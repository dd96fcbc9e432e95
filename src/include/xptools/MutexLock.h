#pragma once

#include "xptools/Mutex.h"
#include "xptools/Uncopyable.h"

namespace XP {

// Holds a mutex for the lifetime of a scope.
class CMutexLock : private CUncopyable {
public:
    explicit CMutexLock(CMutex& mutex) : m_Mutex(mutex) { m_Mutex.Lock(); }
    ~CMutexLock() { m_Mutex.Unlock(); }

private:
    CMutex& m_Mutex;
};

}  // namespace XP
