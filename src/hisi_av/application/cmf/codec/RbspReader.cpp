#include "hisi_av/application/cmf/codec/RbspReader.h"

namespace Cmf {

RbspReader::RbspReader(const XP::CBuffer& slice) : BitstreamReader(slice), m_lastTwoBytes(0xFFFF) {}

void RbspReader::AdvanceByte() {
    m_lastTwoBytes = static_cast<uint16_t>((m_lastTwoBytes << 8) | *m_pCurrentPtr);
    ++m_pCurrentPtr;
    ++m_BytesParsed;
    if (m_lastTwoBytes == 0 && m_pCurrentPtr < m_pEndPtr && *m_pCurrentPtr == 0x03) {
        // Emulation prevention (H.264 7.4.1): not part of the payload, not counted as parsed.
        ++m_pCurrentPtr;
        m_lastTwoBytes = 0x0003;
    }
}

uint32_t RbspReader::Ue() {
    unsigned int leadingZeros = 0;
    while (!GetBit()) {
        if (++leadingZeros >= MAX_LEADING_ZEROS) {
            break;
        }
    }
    // 2^zeros - 1 + suffix in 32 bits; beyond 31 zeros the value is noise (GetBits keeps the
    // last 32 suffix bits) but the suffix is still consumed.
    const uint32_t prefix = leadingZeros < 32 ? (uint32_t(1) << leadingZeros) - 1 : 0xFFFFFFFFu;
    return prefix + GetBits(leadingZeros);
}

int32_t RbspReader::Se() {
    const uint32_t codeNum = Ue();
    // (-1)^(k+1) * ceil(k / 2): odd codes are positive.
    const uint32_t magnitude = codeNum / 2 + (codeNum & 1);
    return (codeNum & 1) != 0 ? static_cast<int32_t>(magnitude)
                              : static_cast<int32_t>(0u - magnitude);
}

}  // namespace Cmf
