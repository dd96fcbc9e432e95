#pragma once

#include <cstdint>

#include "hisi_av/application/cmf/codec/data/AvcHrdParameters.h"

namespace Cmf {

class RbspReader;

// What the framework keeps of vui_parameters() (H.264 E.1.1): sample aspect ratio, transfer
// characteristics, timing and the HRD lengths the picture timing SEI depends on.
struct AvcVuiParameters_t {
    // aspect_ratio_idc, H.264 Table E-1.
    enum AspectRatioIdc_e : uint8_t {
        SAR_UNSPECIFIED = 0,
        SAR_1_1 = 1,
        SAR_12_11 = 2,
        SAR_10_11 = 3,
        SAR_16_11 = 4,
        SAR_40_33 = 5,
        SAR_24_11 = 6,
        SAR_20_11 = 7,
        SAR_32_11 = 8,
        SAR_80_33 = 9,
        SAR_18_11 = 10,
        SAR_15_11 = 11,
        SAR_64_33 = 12,
        SAR_160_99 = 13,
        SAR_4_3 = 14,
        SAR_3_2 = 15,
        SAR_2_1 = 16,
        SAR_EXTENDED = 255,
    };

    // transfer_characteristics, H.264 Table E-4; every value above 19 is kept as 19.
    enum TransChars_e : uint8_t {
        TRANS_CHARS_RESERVED_0 = 0,
        TRANS_CHARS_BT709 = 1,
        TRANS_CHARS_UNSPECIFIED = 2,
        TRANS_CHARS_RESERVED_3 = 3,
        TRANS_CHARS_GAMMA22 = 4,
        TRANS_CHARS_GAMMA28 = 5,
        TRANS_CHARS_BT601 = 6,
        TRANS_CHARS_SMPTE240M = 7,
        TRANS_CHARS_LINEAR = 8,
        TRANS_CHARS_LOG = 9,
        TRANS_CHARS_LOG_SQRT = 10,
        TRANS_CHARS_IEC61966_2_4 = 11,
        TRANS_CHARS_BT1361_ECG = 12,
        TRANS_CHARS_IEC61966_2_1 = 13,
        TRANS_CHARS_BT2020_10 = 14,
        TRANS_CHARS_BT2020_12 = 15,
        TRANS_CHARS_SMPTE2084 = 16,
        TRANS_CHARS_SMPTEST428_1 = 17,
        TRANS_CHARS_ARIB_STD_B67 = 18,
        TRANS_CHARS_RESERVED = 19,
    };

    bool aspectRatioInfoPresentFlag = false;
    AspectRatioIdc_e aspectRatioIdc = SAR_UNSPECIFIED;
    bool videoSignalTypePresentFlag = false;
    bool colourDescriptionPresentFlag = false;
    TransChars_e transChars = TRANS_CHARS_UNSPECIFIED;
    uint16_t sarWidth = 0;
    uint16_t sarHeight = 0;
    bool timingInfoPresentFlag = false;
    bool nalHrdParametersPresentFlag = false;
    bool vclHrdParametersPresentFlag = false;
    bool picStructPresentFlag = false;
    uint32_t numUnitsInTick = 0;
    uint32_t timeScale = 0;
    // Filled from the NAL HRD parameters, then from the VCL ones when both are present.
    AvcHrdParameters_t hrd;

    bool Parse(RbspReader& reader);
};

}  // namespace Cmf
