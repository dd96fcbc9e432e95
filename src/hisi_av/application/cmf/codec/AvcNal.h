#pragma once

#include <cstdint>

#include "hisi_av/application/cmf/codec/UnitView.h"
#include "xptools/BitField.h"

namespace Cmf {

// One H.264 NAL unit (7.3.1): the one-byte header followed by the payload, escaped as in the
// byte stream. An empty view reads as header 0.
class AvcNal : public UnitView {
public:
    // H.264 Table 7-1.
    enum UnitType_e : uint8_t {
        UNSPECIFIED = 0,
        NIDR = 1,
        PARTITION_A = 2,
        PARTITION_B = 3,
        PARTITION_C = 4,
        IDR = 5,
        SEI_NUT = 6,
        SPS_NUT = 7,
        PPS_NUT = 8,
        AUD_NUT = 9,
        END_OF_SEQ_NUT = 10,
        END_OF_STREAM_NUT = 11,
        FILLER_NUT = 12,
        SPS_EXT_NUT = 13,
        PREFIX_NUT = 14,
        SUBSET_SPS_NUT = 15,
        DPS_NUT = 16,
        AUX_SLICE_NUT = 19,
        SLICE_EXT_NUT = 20,
        SLICE_EXT_DEPTH_NUT = 21,
    };

    struct AvcNalUnitHeader_t : XP::INTERNAL::CBitFieldSetBase {
        XP_BITFIELD_LAYOUT(AvcNalUnitHeader_t);
        XP_BITFIELD(forbiddenZeroBit, 1, BEGIN);
        XP_BITFIELD(refIdc, 2, forbiddenZeroBit);
        XP_BITFIELD(unitType, 5, refIdc);
    };

    AvcNal() = default;
    explicit AvcNal(const XP::CBuffer& data) : UnitView(data) {}

    uint8_t GetRefIdc() const;
    UnitType_e GetUnitType() const;
    // The bytes after the header (still escaped), for an RbspReader; empty for an empty view.
    XP::CBuffer GetPayload() const;
};

}  // namespace Cmf
