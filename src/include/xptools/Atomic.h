#pragma once

// Atomic counters on plain unsigned ints: the shared pointer's reference count and the few
// counters that cross threads without a lock.

namespace XP {
namespace Atomic {

// Adds one and returns the new value.
inline unsigned int Increment(unsigned int* pValue) {
    return __atomic_add_fetch(pValue, 1u, __ATOMIC_ACQ_REL);
}

// Subtracts one and returns the new value.
inline unsigned int Decrement(unsigned int* pValue) {
    return __atomic_sub_fetch(pValue, 1u, __ATOMIC_ACQ_REL);
}

inline unsigned int Load(const unsigned int* pValue) {
    return __atomic_load_n(pValue, __ATOMIC_ACQUIRE);
}

}  // namespace Atomic
}  // namespace XP
