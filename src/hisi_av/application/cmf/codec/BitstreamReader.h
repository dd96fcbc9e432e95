#pragma once

#include <cstddef>
#include <cstdint>

#include "xptools/Slice.h"

namespace Cmf {

// Reads bits, most significant first, from a byte slice. Reading never leaves the slice: past its
// end every bit reads as 0 and the position stays on the end. Only SkipBits can step (virtually)
// beyond the end, which GetBytesRemaining then reports as 0.
//
// The reader does not own the bytes: the slice must outlive it. Not thread-safe; one reader per
// parse.
class BitstreamReader {
public:
    explicit BitstreamReader(const XP::CBuffer& slice);
    virtual ~BitstreamReader() = default;

    BitstreamReader(const BitstreamReader&) = delete;
    BitstreamReader& operator=(const BitstreamReader&) = delete;

    // Up to 32 bits as an unsigned number; a wider request skips the leading bits beyond 32.
    uint32_t GetBits(unsigned int bitCount);
    bool GetBit();
    // Whole bytes are stepped through AdvanceByte, the rest bit by bit.
    void SkipBits(std::size_t bitCount);
    // Moves back; bytes dropped on the way forward (emulation prevention) are not restored.
    void SkipBackBits(std::size_t bitCount);
    // To the start of the next byte when inside one.
    void ByteAlign();

    // One more than the whole bytes left (the current byte counts as whole); 0 once stepped past
    // the end. Every size check of the parsers is made against this number.
    std::size_t GetBytesRemaining() const;
    // 0 at or past the end.
    std::size_t GetBitsRemaining() const;
    std::size_t GetBytesParsed() const { return m_BytesParsed; }
    std::size_t GetBitsParsed() const { return m_BytesParsed * 8 + m_bitIndex; }

protected:
    // Leaves the current byte; called only while the current byte is before the end.
    virtual void AdvanceByte();

    const unsigned char* m_pCurrentPtr;
    const unsigned char* m_pEndPtr;
    unsigned int m_bitIndex;  // next bit of the current byte, 0 = most significant
    std::size_t m_BytesParsed;

private:
    void AdvanceBit();

    const unsigned char* m_pBeginPtr;
    std::size_t m_BytesPastEnd;  // whole bytes SkipBits stepped beyond the end
};

}  // namespace Cmf
