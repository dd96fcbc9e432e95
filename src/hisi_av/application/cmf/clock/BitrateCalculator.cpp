#include "hisi_av/application/cmf/clock/BitrateCalculator.h"

#include "xptools/Time.h"

namespace Cmf {

BitrateCalculator::BitrateCalculator()
    : m_ByteCount(0), m_Timestamp(0), m_CallCount(0), m_PrevByteCount(0), m_PrevTimestamp(0) {
    Reset();
}

void BitrateCalculator::AddBytes(uint64_t bytes) {
    AddBytes(bytes, 0);
}

void BitrateCalculator::AddBytes(uint64_t bytes, uint64_t timestamp) {
    m_ByteCount.fetch_add(bytes, std::memory_order_relaxed);
    m_Timestamp.store(timestamp, std::memory_order_release);
}

uint64_t BitrateCalculator::CalculateBitrate() {
    return CalculateBitrate(0);
}

uint64_t BitrateCalculator::CalculateBitrate(uint64_t byteCount) {
    uint64_t timestamp = m_Timestamp.load(std::memory_order_acquire);
    if (timestamp == 0) {
        timestamp = XP::Time::GetTicks1M();
    }
    if (byteCount == 0) {
        byteCount = m_ByteCount.load(std::memory_order_relaxed);
    }

    uint64_t rate = 0;
    // A clock or a caller's total that went backwards would wrap to an absurd rate: report 0 for
    // that period and measure on from the new values.
    if (timestamp > m_PrevTimestamp && byteCount >= m_PrevByteCount) {
        rate = (byteCount - m_PrevByteCount) * 8 * 1000000 / (timestamp - m_PrevTimestamp);
    }

    m_PrevByteCount = byteCount;
    m_PrevTimestamp = timestamp;
    if (!IsStable()) {
        ++m_CallCount;
    }
    return rate;
}

bool BitrateCalculator::IsStable() const {
    return m_CallCount > 1;
}

void BitrateCalculator::Reset() {
    CalculateBitrate();
    m_CallCount = 0;
}

}  // namespace Cmf
