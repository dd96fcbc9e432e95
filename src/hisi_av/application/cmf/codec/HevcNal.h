#pragma once

#include <cstdint>

#include "hisi_av/application/cmf/codec/UnitView.h"
#include "xptools/BitField.h"

namespace Cmf {

// One H.265 NAL unit (7.3.1): the two-byte header followed by the payload, escaped as in the
// byte stream. An empty or one-byte view reads as header 0.
class HevcNal : public UnitView {
public:
    // H.265 Table 7-1.
    enum UnitType_e : uint8_t {
        TRAIL_N = 0,
        TRAIL_R = 1,
        TSA_N = 2,
        TSA_R = 3,
        STSA_N = 4,
        STSA_R = 5,
        RADL_N = 6,
        RADL_R = 7,
        RASL_N = 8,
        RASL_R = 9,
        BLA_W_LP = 16,
        BLA_W_RADL = 17,
        BLA_N_LP = 18,
        IDR_W_RADL = 19,
        IDR_N_LP = 20,
        CRA_NUT = 21,
        RSV_IRAP_22 = 22,
        RSV_IRAP_23 = 23,
        VPS_NUT = 32,
        SPS_NUT = 33,
        PPS_NUT = 34,
        AUD_NUT = 35,
        EOS_NUT = 36,
        EOB_NUT = 37,
        FD_NUT = 38,
        PREFIX_SEI_NUT = 39,
        SUFFIX_SEI_NUT = 40,
    };

    struct NalUnitHeader_t : XP::INTERNAL::CBitFieldSetBase {
        XP_BITFIELD_LAYOUT(NalUnitHeader_t);
        XP_BITFIELD(forbiddenZeroBit, 1, BEGIN);
        XP_BITFIELD(unitType, 6, forbiddenZeroBit);
        XP_BITFIELD(layerId, 6, unitType);
        XP_BITFIELD(temporalIdPlus1, 3, layerId);
    };

    static constexpr std::size_t HEADER_SIZE = 2;

    HevcNal() = default;
    explicit HevcNal(const XP::CBuffer& data) : UnitView(data) {}

    UnitType_e GetUnitType() const;
    uint8_t GetLayerId() const;
    uint8_t GetTemporalIdPlus1() const;
    // The bytes after the header (still escaped), for an RbspReader; empty when there are none.
    XP::CBuffer GetPayload() const;
};

}  // namespace Cmf
