#pragma once

#include <time.h>

#include <cstddef>
#include <cstring>

// Timing helpers shared by the benchmarks that compare a pass of the framework with a plain
// memchr pass over the same bytes.
namespace BenchTiming {

// This thread's CPU time: other work on the machine (parallel builds) does not inflate it.
inline double ThreadSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

inline double WallSeconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// A memchr scan for the sync byte over the bytes, stopping at each one as a sync scan would.
// Returns how many it found.
inline std::size_t MemchrPass(const unsigned char* p, std::size_t size) {
    std::size_t hits = 0;
    const unsigned char* end = p + size;
    while (p < end) {
        const void* hit = std::memchr(p, 0x47, static_cast<std::size_t>(end - p));
        if (hit == nullptr) {
            break;
        }
        ++hits;
        p = static_cast<const unsigned char*>(hit) + 1;
    }
    return hits;
}

}  // namespace BenchTiming
