#include "hisi_av/application/cmf/codec/data/HevcSps.h"

#include <algorithm>

#include "hisi_av/application/cmf/codec/HevcNal.h"
#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "xptools/Print.h"

namespace Cmf {

namespace {

uint8_t Clamp8(uint32_t value) {
    return static_cast<uint8_t>(std::min<uint32_t>(value, 0xFF));
}

}  // namespace

bool HevcSps_t::Parse(const HevcNal& nal) {
    const XP::CBuffer payload = nal.GetPayload();
    RbspReader reader(payload);
    if (reader.GetBytesRemaining() < MIN_SPS_BYTES) {
        XP::MyPrintf("SPS too small");
        return false;
    }
    // Nothing of an earlier parse may survive into this one (the VUI in particular).
    *this = HevcSps_t();
    reader.U(4);  // sps_video_parameter_set_id
    const unsigned int maxSubLayersMinus1 = reader.U(3);
    reader.GetBit();  // sps_temporal_id_nesting_flag
    if (!ptl.Parse(reader, maxSubLayersMinus1)) {
        return false;
    }
    reader.Ue();  // sps_seq_parameter_set_id

    const uint32_t chromaFormat = reader.Ue();
    if (chromaFormat > CHROMA_444) {
        XP::MyPrintf("chroma_format_idc out of range");
        return false;
    }
    chromaFormatIdc = static_cast<ChromaFormatIdc_e>(chromaFormat);
    if (chromaFormatIdc == CHROMA_444) {
        reader.GetBit();  // separate_colour_plane_flag
    }
    picWidth = reader.Ue();
    picHeight = reader.Ue();
    if (reader.GetBit()) {  // conformance_window_flag
        confWinLeftOffset = reader.Ue();
        confWinRightOffset = reader.Ue();
        confWinTopOffset = reader.Ue();
        confWinBottomOffset = reader.Ue();
    } else {
        confWinLeftOffset = 0;
        confWinRightOffset = 0;
        confWinTopOffset = 0;
        confWinBottomOffset = 0;
    }
    bitDepthLumaMinus8 = Clamp8(reader.Ue());
    reader.Ue();  // bit_depth_chroma_minus8
    const uint32_t log2MaxPicOrderCntLsbMinus4 = reader.Ue();
    const bool subLayerOrderingInfoPresent = reader.GetBit();
    for (unsigned int i = subLayerOrderingInfoPresent ? 0 : maxSubLayersMinus1;
         i <= maxSubLayersMinus1; ++i) {
        reader.Ue();  // sps_max_dec_pic_buffering_minus1
        reader.Ue();  // sps_max_num_reorder_pics
        reader.Ue();  // sps_max_latency_increase_plus1
    }
    log2MinLumaCodingBlockSizeMinus3 = Clamp8(reader.Ue());
    log2DiffMaxMinLumaCodingBlockSize = Clamp8(reader.Ue());
    reader.Ue();  // log2_min_luma_transform_block_size_minus2
    reader.Ue();  // log2_diff_max_min_luma_transform_block_size
    reader.Ue();  // max_transform_hierarchy_depth_inter
    reader.Ue();  // max_transform_hierarchy_depth_intra
    if (reader.GetBit() &&
        reader.GetBit()) {  // scaling_list_enabled, sps_scaling_list_data_present
        SkipScalingListData(reader);
    }
    reader.GetBit();        // amp_enabled_flag
    reader.GetBit();        // sample_adaptive_offset_enabled_flag
    if (reader.GetBit()) {  // pcm_enabled_flag
        reader.U(4);        // pcm_sample_bit_depth_luma_minus1
        reader.U(4);        // pcm_sample_bit_depth_chroma_minus1
        reader.Ue();        // log2_min_pcm_luma_coding_block_size_minus3
        reader.Ue();        // log2_diff_max_min_pcm_luma_coding_block_size
        reader.GetBit();    // pcm_loop_filter_disabled_flag
    }

    const uint32_t numSets = reader.Ue();
    if (numSets > HevcShortTermRefPicSet_t::MAX_ST_REF_PIC_SETS) {
        XP::MyPrintf("Too many Reference Picture Sets.");
        return false;
    }
    numShortTermRefPicSets = static_cast<uint8_t>(numSets);
    for (unsigned int i = 0; i < numSets; ++i) {
        if (!stRps.Parse(reader, i, numSets)) {
            XP::MyPrintf("Error parsing Reference Picture Set.");
            return false;
        }
    }
    if (reader.GetBit()) {  // long_term_ref_pics_present_flag
        const uint32_t numLongTerm = reader.Ue();
        const unsigned int lsbBits = std::min<uint32_t>(log2MaxPicOrderCntLsbMinus4 + 4, 32);
        // A corrupt count is cut off where the data ends: every further read would give 0.
        for (uint64_t i = 0; i < numLongTerm && reader.GetBitsRemaining() > 0; ++i) {
            reader.U(lsbBits);  // lt_ref_pic_poc_lsb_sps
            reader.GetBit();    // used_by_curr_pic_lt_sps_flag
        }
    }
    reader.GetBit();  // sps_temporal_mvp_enabled_flag
    reader.GetBit();  // strong_intra_smoothing_enabled_flag

    vuiParametersPresentFlag = reader.GetBit();
    if (vuiParametersPresentFlag) {
        if (!vui.Parse(reader, maxSubLayersMinus1)) {
            XP::MyPrintf("Error parsing VUI parameters.");
            return false;
        }
        // Frame-field information is what the source flags say, whatever the VUI claims: a
        // source both progressive and interlaced signals its scan per picture.
        vui.frameFieldInfoPresentFlag =
            ptl.generalProgressiveSourceFlag == 1 && ptl.generalInterlacedSourceFlag == 1;
    }
    return true;
}

void HevcSps_t::SkipScalingListData(RbspReader& reader) {
    // H.265 7.3.4.
    for (unsigned int sizeId = 0; sizeId < 4; ++sizeId) {
        for (unsigned int matrixId = 0; matrixId < 6; matrixId += (sizeId == 3) ? 3 : 1) {
            if (!reader.GetBit()) {  // scaling_list_pred_mode_flag
                reader.Ue();         // scaling_list_pred_matrix_id_delta
                continue;
            }
            const unsigned int coefNum = std::min(64u, 1u << (4 + (sizeId << 1)));
            if (sizeId > 1) {
                reader.Se();  // scaling_list_dc_coef_minus8
            }
            for (unsigned int i = 0; i < coefNum; ++i) {
                reader.Se();  // scaling_list_delta_coef
            }
        }
    }
}

unsigned int HevcSps_t::GetSliceSegmentAddressBits() const {
    // (7-10) to (7-19): CtbLog2SizeY and PicSizeInCtbsY.
    const unsigned int ctbLog2Size =
        std::min(log2MinLumaCodingBlockSizeMinus3 + 3u + log2DiffMaxMinLumaCodingBlockSize, 31u);
    const uint64_t ctbSize = uint64_t(1) << ctbLog2Size;
    const uint64_t widthInCtbs = (uint64_t(picWidth) + ctbSize - 1) / ctbSize;
    const uint64_t heightInCtbs = (uint64_t(picHeight) + ctbSize - 1) / ctbSize;
    const uint64_t picSizeInCtbs = widthInCtbs * heightInCtbs;
    unsigned int bits = 0;
    while (bits < 32 && (uint64_t(1) << bits) < picSizeInCtbs) {
        ++bits;
    }
    return bits;
}

}  // namespace Cmf
