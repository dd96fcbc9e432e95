#include "hisi_av/application/cmf/codec/data/HevcVuiParameters.h"

#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "xptools/Print.h"

namespace Cmf {

bool HevcVuiParameters_t::Parse(RbspReader& reader, unsigned int maxSubLayersMinus1) {
    if (reader.GetBytesRemaining() < 2) {
        XP::MyPrintf("VUI too small");
        return false;
    }
    *this = HevcVuiParameters_t();
    aspectRatioInfoPresentFlag = reader.GetBit();
    if (aspectRatioInfoPresentFlag) {
        aspectRatioIdc = static_cast<AspectRatioIdc_e>(reader.U(8));
        if (aspectRatioIdc == SAR_EXTENDED) {
            sarWidth = static_cast<uint16_t>(reader.U(16));
            sarHeight = static_cast<uint16_t>(reader.U(16));
        }
    }
    if (reader.GetBit()) {  // overscan_info_present_flag
        reader.GetBit();    // overscan_appropriate_flag
    }
    videoSignalTypePresentFlag = reader.GetBit();
    if (videoSignalTypePresentFlag) {
        reader.U(3);      // video_format
        reader.GetBit();  // video_full_range_flag
        colourDescriptionPresentFlag = reader.GetBit();
        if (colourDescriptionPresentFlag) {
            reader.U(8);  // colour_primaries
            transChars = static_cast<uint8_t>(reader.U(8));
            reader.U(8);  // matrix_coeffs
        }
    }
    if (reader.GetBit()) {  // chroma_loc_info_present_flag
        reader.Ue();        // chroma_sample_loc_type_top_field
        reader.Ue();        // chroma_sample_loc_type_bottom_field
    }
    reader.GetBit();  // neutral_chroma_indication_flag
    fieldSeqFlag = reader.GetBit();
    frameFieldInfoPresentFlag = reader.GetBit();
    if (reader.GetBit()) {  // default_display_window_flag
        reader.Ue();        // def_disp_win_left_offset
        reader.Ue();        // def_disp_win_right_offset
        reader.Ue();        // def_disp_win_top_offset
        reader.Ue();        // def_disp_win_bottom_offset
    }
    timingInfoPresentFlag = reader.GetBit();
    if (timingInfoPresentFlag) {
        numUnitsInTick = reader.U(32);
        timeScale = reader.U(32);
        if (reader.GetBit()) {  // vui_poc_proportional_to_timing_flag
            reader.Ue();        // vui_num_ticks_poc_diff_one_minus1
        }
        if (reader.GetBit() &&  // vui_hrd_parameters_present_flag
            !hrd.Parse(reader, true, maxSubLayersMinus1)) {
            return false;
        }
    }
    if (reader.GetBit()) {  // bitstream_restriction_flag
        reader.GetBit();    // tiles_fixed_structure_flag
        reader.GetBit();    // motion_vectors_over_pic_boundaries_flag
        reader.GetBit();    // restricted_ref_pic_lists_flag
        reader.Ue();        // min_spatial_segmentation_idc
        reader.Ue();        // max_bytes_per_pic_denom
        reader.Ue();        // max_bits_per_min_cu_denom
        reader.Ue();        // log2_max_mv_length_horizontal
        reader.Ue();        // log2_max_mv_length_vertical
    }
    return true;
}

}  // namespace Cmf
