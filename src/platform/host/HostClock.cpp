#include "platform/host/HostClock.h"

namespace Kestrel {
namespace Host {

int64_t PtsDelta(int64_t from, int64_t to) {
    int64_t d = (to - from) % PTS_WRAP;
    if (d < 0)
        d += PTS_WRAP;
    if (d >= PTS_WRAP / 2)
        d -= PTS_WRAP;
    return d;
}

namespace {
int64_t NsTo90k(int64_t ns) {
    return ns * 9 / 100000;
}
}  // namespace

int64_t CHostClock::Now(uint64_t nowNs) const {
    if (!m_Locked)
        return 0;
    // During a pause the anchor lies in the future and the clock stands at m_Base.
    if (nowNs <= m_BaseNs)
        return m_Base;
    return m_Base + NsTo90k(static_cast<int64_t>(nowNs - m_BaseNs));
}

CHostClock::PcrResult_e CHostClock::OnPcr(int64_t pcr90k, uint64_t nowNs) {
    pcr90k = ((pcr90k % PTS_WRAP) + PTS_WRAP) % PTS_WRAP;
    if (!m_Locked) {
        m_Locked = true;
        m_Base = pcr90k;
        m_BaseNs = nowNs;
        m_LastPcr = pcr90k;
        m_LastPcrRaw = pcr90k;
        return PCR_LOCKED;
    }
    int64_t pcr = m_LastPcr + PtsDelta(m_LastPcrRaw, pcr90k);
    m_LastPcr = pcr;
    m_LastPcrRaw = pcr90k;
    if (nowNs < m_PauseUntilNs)
        return PCR_TRACKED;
    int64_t stc = Now(nowNs);
    int64_t error = pcr - stc;
    if (error > RELOCK_THRESHOLD || error < -RELOCK_THRESHOLD) {
        m_Base = pcr;
        m_BaseNs = nowNs;
        return PCR_RELOCKED;
    }
    // Re-anchor at this PCR's arrival, moved 1/32 of the way towards it: the clock keeps real
    // rate and follows a sender whose rate drifts slightly from ours.
    m_Base = stc + error / 32;
    m_BaseNs = nowNs;
    return PCR_TRACKED;
}

int64_t CHostClock::Unwrap(int64_t pts, uint64_t nowNs) const {
    int64_t stc = Now(nowNs);
    return stc + PtsDelta(stc, pts);
}

void CHostClock::Pause(uint64_t nowNs, uint64_t durationNs) {
    if (!m_Locked)
        return;
    int64_t stc = Now(nowNs);
    m_Base = stc;
    m_BaseNs = nowNs + durationNs;
    m_PauseUntilNs = nowNs + durationNs;
}

void CHostClock::Reset() {
    *this = CHostClock();
}

}  // namespace Host
}  // namespace Kestrel
