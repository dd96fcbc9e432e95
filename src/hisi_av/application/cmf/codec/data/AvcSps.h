#pragma once

#include <cstddef>
#include <cstdint>

#include "hisi_av/application/cmf/codec/data/AvcProfileLevel.h"
#include "hisi_av/application/cmf/codec/data/AvcScalingList.h"
#include "hisi_av/application/cmf/codec/data/AvcVuiParameters.h"

namespace Cmf {

class AvcNal;

// What the framework keeps of seq_parameter_set_data() (H.264 7.3.2.1.1): profile and level,
// picture size and cropping, chroma format and luma depth, frame/field coding and the VUI.
struct AvcSps_t {
    // chroma_format_idc, H.264 Table 6-1.
    enum ChromaFormatIdc_e : uint8_t {
        CHROMA_MONO = 0,
        CHROMA_420 = 1,
        CHROMA_422 = 2,
        CHROMA_444 = 3,
    };

    // An SPS payload shorter than this (as GetBytesRemaining counts) is rejected.
    static constexpr std::size_t MIN_SPS_BYTES = 18;

    AvcProfileLevel_t profileLevel;
    uint32_t picWidthInMbsMinus1 = 0;
    uint32_t picHeightInMapUnitsMinus1 = 0;
    uint32_t frameCropLeftOffset = 0;
    uint32_t frameCropRightOffset = 0;
    uint32_t frameCropTopOffset = 0;
    uint32_t frameCropBottomOffset = 0;
    uint8_t bitDepthLumaMinus8 = 0;
    uint8_t log2MaxFrameNumMinus4 = 0;
    uint8_t chromaArrayType = 1;
    bool separateColourPlaneFlag = false;
    bool frameMbsOnlyFlag = false;
    bool mbAdaptiveFrameFieldFlag = false;
    ChromaFormatIdc_e chromaFormatIdc = CHROMA_420;
    // Left as it was when the SPS carries no VUI.
    AvcVuiParameters_t vui;
    AvcScalingList_t scalingList;

    // Parses the SPS NAL unit (header byte included in the view).
    bool Parse(const AvcNal& nal);

    // Whether an SPS of this profile_idc codes chroma format, bit depths and scaling matrices.
    static bool HasChromaFormatInfo(unsigned int profileIdc);
};

}  // namespace Cmf
