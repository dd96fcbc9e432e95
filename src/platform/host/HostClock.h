#pragma once

#include <cstdint>

namespace Kestrel {
namespace Host {

// 90 kHz helpers for the 33-bit MPEG time stamps.
constexpr int64_t PTS_WRAP = int64_t(1) << 33;
constexpr int64_t PTS_HZ = 90000;

// The signed distance from `from` to `to` on the 33-bit circle (shortest way round).
int64_t PtsDelta(int64_t from, int64_t to);

// System time clock of one player, locked to the PCR of its program. Between PCRs it runs at
// real rate on XP::Clock time; each PCR pulls it gently towards the PCR (a slow loop, so arrival
// jitter does not disturb the rate), and a PCR more than RELOCK_THRESHOLD away (a jump, a looped
// file, a new stream) re-locks it at once. Times are kept on an unwrapped 64-bit 90 kHz line, so
// the 33-bit wrap of the PCR is not a discontinuity.
//
// Threads: none of its own; the owner serialises every call.
class CHostClock {
public:
    static constexpr int64_t RELOCK_THRESHOLD = PTS_HZ / 2;  // 500 ms

    enum PcrResult_e { PCR_LOCKED, PCR_TRACKED, PCR_RELOCKED };

    // `pcr90k`: the PCR base (33 bits) or a PCR/300. `nowNs`: XP::Clock time of its arrival.
    PcrResult_e OnPcr(int64_t pcr90k, uint64_t nowNs);
    bool IsLocked() const { return m_Locked; }
    // The clock on the unwrapped line (meaningful only when locked).
    int64_t Now(uint64_t nowNs) const;
    // The clock on the 33-bit circle.
    int64_t Now33(uint64_t nowNs) const { return ((Now(nowNs) % PTS_WRAP) + PTS_WRAP) % PTS_WRAP; }
    // The point of the unwrapped line nearest to now whose 33-bit value is `pts`.
    int64_t Unwrap(int64_t pts, uint64_t nowNs) const;
    // Holds the clock still for `durationNs` (decoding pauses so buffers can refill); PCRs that
    // arrive meanwhile do not move it.
    void Pause(uint64_t nowNs, uint64_t durationNs);
    void Reset();

private:
    bool m_Locked = false;
    int64_t m_Base = 0;  // clock value at m_BaseNs
    uint64_t m_BaseNs = 0;
    int64_t m_LastPcr = 0;     // last PCR on the unwrapped line
    int64_t m_LastPcrRaw = 0;  // its 33-bit value
    uint64_t m_PauseUntilNs = 0;
};

}  // namespace Host
}  // namespace Kestrel
