#pragma once

#include <atomic>
#include <cstdint>

#include "xptools/Uncopyable.h"

namespace Cmf {

// Bits per second of a byte stream: the bytes counted since the previous calculation over the
// time since then. The first results after construction or Reset cover a partial period; callers
// use the results once IsStable() says so.
//
// Time is in microseconds on the support library's clock (XP::Time::GetTicks1M), unless the
// counting side passes its own timestamps.
//
// Threads: AddBytes may be called from any thread (the parsing thread) while one other thread
// (the scheduler) calls CalculateBitrate, IsStable and Reset. Only the two counters are shared,
// as atomics; the previous values and the call count belong to the calculating thread.
class BitrateCalculator : private XP::CUncopyable {
public:
    BitrateCalculator();

    // Counts `bytes` at the current time (taken when the rate is calculated).
    void AddBytes(uint64_t bytes);
    // Counts `bytes` at `timestamp` (µs; 0 means the current time).
    void AddBytes(uint64_t bytes, uint64_t timestamp);

    // Rate since the previous calculation, over every byte counted so far.
    uint64_t CalculateBitrate();
    // Same, with `byteCount` as the total number of bytes (0: the bytes counted so far). 0 when
    // no time has passed, and when the time or the total went backwards.
    uint64_t CalculateBitrate(uint64_t byteCount);

    // True from the second calculation after construction or Reset on.
    bool IsStable() const;
    // Starts a new measurement from now.
    void Reset();

private:
    std::atomic<uint64_t> m_ByteCount;
    std::atomic<uint64_t> m_Timestamp;
    uint64_t m_CallCount;
    uint64_t m_PrevByteCount;
    uint64_t m_PrevTimestamp;
};

}  // namespace Cmf
