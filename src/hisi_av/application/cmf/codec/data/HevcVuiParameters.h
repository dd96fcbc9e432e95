#pragma once

#include <cstdint>

#include "hisi_av/application/cmf/codec/data/HevcHrdParameters.h"

namespace Cmf {

class RbspReader;

// What the framework keeps of vui_parameters() (H.265 E.2.1): sample aspect ratio, transfer
// characteristics, field coding, timing and the HRD flags.
struct HevcVuiParameters_t {
    // aspect_ratio_idc, H.265 Table E.1.
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

    bool aspectRatioInfoPresentFlag = false;
    AspectRatioIdc_e aspectRatioIdc = SAR_UNSPECIFIED;
    bool videoSignalTypePresentFlag = false;
    bool colourDescriptionPresentFlag = false;
    uint8_t transChars = 2;  // transfer_characteristics as coded; 2 is unspecified
    uint16_t sarWidth = 0;
    uint16_t sarHeight = 0;
    bool fieldSeqFlag = false;
    bool frameFieldInfoPresentFlag = false;
    bool timingInfoPresentFlag = false;
    uint32_t numUnitsInTick = 0;
    uint32_t timeScale = 0;
    HevcHrdParameters_t hrd;

    bool Parse(RbspReader& reader, unsigned int maxSubLayersMinus1);
};

}  // namespace Cmf
