#include "hisi_av/application/cmf/codec/BitstreamReader.h"

#include <cstdint>

namespace Cmf {

BitstreamReader::BitstreamReader(const XP::CBuffer& slice)
    : m_pCurrentPtr(slice.GetBegin()),
      m_pEndPtr(slice.GetEnd()),
      m_bitIndex(0),
      m_BytesParsed(0),
      m_pBeginPtr(slice.GetBegin()),
      m_BytesPastEnd(0) {}

void BitstreamReader::AdvanceByte() {
    ++m_pCurrentPtr;
    ++m_BytesParsed;
}

void BitstreamReader::AdvanceBit() {
    if (m_pCurrentPtr >= m_pEndPtr) {
        return;
    }
    if (++m_bitIndex == 8) {
        m_bitIndex = 0;
        AdvanceByte();
    }
}

bool BitstreamReader::GetBit() {
    if (m_pCurrentPtr >= m_pEndPtr) {
        return false;
    }
    const bool bit = ((*m_pCurrentPtr >> (7 - m_bitIndex)) & 1) != 0;
    AdvanceBit();
    return bit;
}

uint32_t BitstreamReader::GetBits(unsigned int bitCount) {
    if (bitCount > 32) {
        SkipBits(bitCount - 32);
        bitCount = 32;
    }
    uint32_t value = 0;
    while (bitCount > 0) {
        if (m_pCurrentPtr >= m_pEndPtr) {
            // Past the end every bit is 0.
            return bitCount == 32 ? 0 : value << bitCount;
        }
        if (m_bitIndex == 0 && bitCount >= 8) {
            value = (value << 8) | *m_pCurrentPtr;
            bitCount -= 8;
            AdvanceByte();
        } else {
            value = (value << 1) | (GetBit() ? 1u : 0u);
            --bitCount;
        }
    }
    return value;
}

void BitstreamReader::SkipBits(std::size_t bitCount) {
    std::size_t bytes = bitCount / 8;
    for (; bytes > 0 && m_pCurrentPtr < m_pEndPtr; --bytes) {
        AdvanceByte();
    }
    // Whatever is left lies beyond the end, however far (a corrupt length may ask for 2^32 bits).
    const std::size_t room = SIZE_MAX - m_BytesPastEnd;
    m_BytesPastEnd += bytes < room ? bytes : room;
    for (std::size_t bits = bitCount % 8; bits > 0; --bits) {
        AdvanceBit();
    }
}

void BitstreamReader::SkipBackBits(std::size_t bitCount) {
    const std::size_t position =
        static_cast<std::size_t>(m_pCurrentPtr - m_pBeginPtr) * 8 + m_bitIndex;
    const std::size_t virtualPosition = position + m_BytesPastEnd * 8;
    const std::size_t target = bitCount < virtualPosition ? virtualPosition - bitCount : 0;
    if (target >= position) {
        // Still beyond the end.
        m_BytesPastEnd = (target - position) / 8;
        return;
    }
    m_BytesPastEnd = 0;
    const std::size_t bytesBack = position / 8 - target / 8;
    m_pCurrentPtr -= bytesBack;
    m_bitIndex = static_cast<unsigned int>(target % 8);
    m_BytesParsed = bytesBack < m_BytesParsed ? m_BytesParsed - bytesBack : 0;
}

void BitstreamReader::ByteAlign() {
    if (m_bitIndex != 0 && m_pCurrentPtr < m_pEndPtr) {
        m_bitIndex = 0;
        AdvanceByte();
    }
}

std::size_t BitstreamReader::GetBytesRemaining() const {
    const std::size_t whole = static_cast<std::size_t>(m_pEndPtr - m_pCurrentPtr) + 1;
    return m_BytesPastEnd < whole ? whole - m_BytesPastEnd : 0;
}

std::size_t BitstreamReader::GetBitsRemaining() const {
    if (m_BytesPastEnd != 0 || m_pCurrentPtr >= m_pEndPtr) {
        return 0;
    }
    return static_cast<std::size_t>(m_pEndPtr - m_pCurrentPtr) * 8 - m_bitIndex;
}

}  // namespace Cmf
