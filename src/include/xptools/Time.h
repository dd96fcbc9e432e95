#pragma once

#include <cstdint>

namespace XP {
namespace Time {

// Monotonic tick counts of the support library's clock (XP::Clock): microseconds and
// nanoseconds since an arbitrary origin. They never go backwards and do not follow changes of
// the wall-clock time; under an XP::ManualClock they move only when the test advances it.
uint64_t GetTicks1M();
uint64_t GetTicks1G();

}  // namespace Time
}  // namespace XP
