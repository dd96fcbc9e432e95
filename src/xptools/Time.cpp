#include "xptools/Time.h"

#include "xptools/Clock.h"

namespace XP {
namespace Time {

uint64_t GetTicks1M() {
    return Clock::NowNs() / 1000u;
}

uint64_t GetTicks1G() {
    return Clock::NowNs();
}

}  // namespace Time
}  // namespace XP
