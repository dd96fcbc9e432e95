#pragma once

#include <cstdint>

#include "hisi_av/application/cmf/codec/BitstreamReader.h"

namespace Cmf {

// Reads the raw byte sequence payload of a NAL unit: an emulation-prevention byte (the 0x03 that
// follows two zero bytes) is dropped as the reader steps onto it, and the Exp-Golomb codes of
// H.264/H.265 are read here.
//
// Same ownership and threading as BitstreamReader.
class RbspReader : public BitstreamReader {
public:
    explicit RbspReader(const XP::CBuffer& slice);

    uint32_t B() { return GetBits(8); }
    uint32_t U(unsigned int bitCount) { return GetBits(bitCount); }
    // ue(v). A run of 32 or more leading zeros gives a meaningless value, never an error; the
    // run is cut off after MAX_LEADING_ZEROS zeros so a stream of zeros cannot stall the reader.
    uint32_t Ue();
    // se(v).
    int32_t Se();

    static constexpr unsigned int MAX_LEADING_ZEROS = 100;

protected:
    void AdvanceByte() override;

private:
    uint16_t m_lastTwoBytes;
};

}  // namespace Cmf
