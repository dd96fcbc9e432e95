#include "hisi_av/application/cmf/codec/data/AvcSps.h"

#include "hisi_av/application/cmf/codec/AvcNal.h"
#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "xptools/Print.h"

namespace Cmf {

bool AvcSps_t::HasChromaFormatInfo(unsigned int profileIdc) {
    switch (profileIdc) {
        case 100:
        case 110:
        case 122:
        case 244:
        case 44:
        case 83:
        case 86:
        case 118:
        case 128:
        case 138:
        case 139:
        case 134:
        case 135:
            return true;
        default:
            return false;
    }
}

bool AvcSps_t::Parse(const AvcNal& nal) {
    const XP::CBuffer payload = nal.GetPayload();
    RbspReader reader(payload);
    if (reader.GetBytesRemaining() < MIN_SPS_BYTES) {
        XP::MyPrintf("SPS too small: %zu bytes", reader.GetBytesRemaining());
        return false;
    }
    profileLevel.profileIdcVal = static_cast<AvcProfileLevel_t::ProfileIdcVal_e>(reader.B());
    if (!profileLevel.Parse(reader)) {
        XP::MyPrintf("Error parsing profile and level");
        return false;
    }
    reader.Ue();  // seq_parameter_set_id

    if (HasChromaFormatInfo(profileLevel.profileIdcVal)) {
        const uint32_t chromaFormat = reader.Ue();
        if (chromaFormat > CHROMA_444) {
            XP::MyPrintf("chroma_format_idc out of range");
            return false;
        }
        chromaFormatIdc = static_cast<ChromaFormatIdc_e>(chromaFormat);
        separateColourPlaneFlag = (chromaFormatIdc == CHROMA_444) && reader.GetBit();
        chromaArrayType = separateColourPlaneFlag ? 0 : static_cast<uint8_t>(chromaFormatIdc);
        const uint32_t lumaDepth = reader.Ue();
        bitDepthLumaMinus8 = static_cast<uint8_t>(lumaDepth > 0xFF ? 0xFF : lumaDepth);
        reader.Ue();            // bit_depth_chroma_minus8
        reader.GetBit();        // qpprime_y_zero_transform_bypass_flag
        if (reader.GetBit()) {  // seq_scaling_matrix_present_flag
            const unsigned int listCount = (chromaFormatIdc != CHROMA_444) ? 8 : 12;
            for (unsigned int i = 0; i < listCount; ++i) {
                if (reader.GetBit() && !scalingList.Parse(reader, i < 6 ? 16 : 64)) {
                    XP::MyPrintf("Failed to parse scaling list.");
                    return false;
                }
            }
        }
    } else {
        chromaFormatIdc = CHROMA_420;
        separateColourPlaneFlag = false;
        chromaArrayType = 1;
        bitDepthLumaMinus8 = 0;
    }

    const uint32_t log2MaxFrameNum = reader.Ue();
    log2MaxFrameNumMinus4 = static_cast<uint8_t>(log2MaxFrameNum > 0xFF ? 0xFF : log2MaxFrameNum);
    const uint32_t picOrderCntType = reader.Ue();
    if (picOrderCntType == 0) {
        reader.Ue();  // log2_max_pic_order_cnt_lsb_minus4
    } else if (picOrderCntType == 1) {
        reader.GetBit();                           // delta_pic_order_always_zero_flag
        reader.Se();                               // offset_for_non_ref_pic
        reader.Se();                               // offset_for_top_to_bottom_field
        const uint32_t cycleLength = reader.Ue();  // num_ref_frames_in_pic_order_cnt_cycle
        // A corrupt count is cut off where the data ends: further reads would give 0 anyway.
        for (uint64_t i = 0; i < cycleLength && reader.GetBitsRemaining() > 0; ++i) {
            reader.Se();  // offset_for_ref_frame
        }
    }

    reader.Ue();      // max_num_ref_frames
    reader.GetBit();  // gaps_in_frame_num_value_allowed_flag
    picWidthInMbsMinus1 = reader.Ue();
    picHeightInMapUnitsMinus1 = reader.Ue();
    frameMbsOnlyFlag = reader.GetBit();
    mbAdaptiveFrameFieldFlag = !frameMbsOnlyFlag && reader.GetBit();
    reader.GetBit();        // direct_8x8_inference_flag
    if (reader.GetBit()) {  // frame_cropping_flag
        frameCropLeftOffset = reader.Ue();
        frameCropRightOffset = reader.Ue();
        frameCropTopOffset = reader.Ue();
        frameCropBottomOffset = reader.Ue();
    } else {
        frameCropLeftOffset = 0;
        frameCropRightOffset = 0;
        frameCropTopOffset = 0;
        frameCropBottomOffset = 0;
    }

    if (reader.GetBit() && !vui.Parse(reader)) {  // vui_parameters_present_flag
        XP::MyPrintf("Error parsing VUI parameters.");
        return false;
    }
    return true;
}

}  // namespace Cmf
