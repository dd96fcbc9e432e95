#pragma once

#include <cstddef>
#include <cstdint>

#include "hisi_av/application/cmf/codec/data/HevcProfileTierLevel.h"
#include "hisi_av/application/cmf/codec/data/HevcShortTermRefPicSet.h"
#include "hisi_av/application/cmf/codec/data/HevcVuiParameters.h"

namespace Cmf {

class HevcNal;
class RbspReader;

// What the framework keeps of seq_parameter_set_rbsp() (H.265 7.3.2.2): profile, tier and level,
// picture size and conformance window, chroma format and luma depth, and the VUI. The reference
// picture sets and the coding block sizes are kept because later syntax depends on them.
struct HevcSps_t {
    // chroma_format_idc, H.265 Table 6-1.
    enum ChromaFormatIdc_e : uint8_t {
        CHROMA_MONO = 0,
        CHROMA_420 = 1,
        CHROMA_422 = 2,
        CHROMA_444 = 3,
    };

    // An SPS payload shorter than this (as GetBytesRemaining counts) is rejected.
    static constexpr std::size_t MIN_SPS_BYTES = 20;

    HevcProfileTierLevel_t ptl;
    uint32_t picWidth = 0;  // pic_width_in_luma_samples
    uint32_t picHeight = 0;
    uint32_t confWinLeftOffset = 0;
    uint32_t confWinRightOffset = 0;
    uint32_t confWinTopOffset = 0;
    uint32_t confWinBottomOffset = 0;
    uint8_t bitDepthLumaMinus8 = 0;
    ChromaFormatIdc_e chromaFormatIdc = CHROMA_420;
    bool vuiParametersPresentFlag = false;
    HevcVuiParameters_t vui;

    uint8_t log2MinLumaCodingBlockSizeMinus3 = 0;
    uint8_t log2DiffMaxMinLumaCodingBlockSize = 0;
    uint8_t numShortTermRefPicSets = 0;
    HevcShortTermRefPicSet_t stRps;

    // Parses the SPS NAL unit (two-byte header included in the view).
    bool Parse(const HevcNal& nal);

    // Length in bits of slice_segment_address in slices of this SPS: Ceil(Log2(PicSizeInCtbsY)).
    unsigned int GetSliceSegmentAddressBits() const;

private:
    static void SkipScalingListData(RbspReader& reader);
};

}  // namespace Cmf
