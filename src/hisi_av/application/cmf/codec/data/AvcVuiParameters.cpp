#include "hisi_av/application/cmf/codec/data/AvcVuiParameters.h"

#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "xptools/Print.h"

namespace Cmf {

bool AvcVuiParameters_t::Parse(RbspReader& reader) {
    if (reader.GetBytesRemaining() < 2) {
        XP::MyPrintf("VUI too small");
        return false;
    }
    aspectRatioInfoPresentFlag = reader.GetBit();
    if (aspectRatioInfoPresentFlag) {
        aspectRatioIdc = static_cast<AspectRatioIdc_e>(reader.U(8));
        if (aspectRatioIdc == SAR_EXTENDED) {
            sarWidth = static_cast<uint16_t>(reader.U(16));
            sarHeight = static_cast<uint16_t>(reader.U(16));
        }
    } else {
        aspectRatioIdc = SAR_UNSPECIFIED;
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
            const uint32_t transferCharacteristics = reader.U(8);
            transChars = static_cast<TransChars_e>(transferCharacteristics > TRANS_CHARS_RESERVED
                                                       ? uint32_t(TRANS_CHARS_RESERVED)
                                                       : transferCharacteristics);
            reader.U(8);  // matrix_coefficients
        }
    }
    if (reader.GetBit()) {  // chroma_loc_info_present_flag
        reader.Ue();        // chroma_sample_loc_type_top_field
        reader.Ue();        // chroma_sample_loc_type_bottom_field
    }
    timingInfoPresentFlag = reader.GetBit();
    if (timingInfoPresentFlag) {
        numUnitsInTick = reader.U(32);
        timeScale = reader.U(32);
        reader.GetBit();  // fixed_frame_rate_flag
    }
    nalHrdParametersPresentFlag = reader.GetBit();
    if (nalHrdParametersPresentFlag && !hrd.Parse(reader)) {
        XP::MyPrintf("Error parsing hrd_parameters.");
        return false;
    }
    vclHrdParametersPresentFlag = reader.GetBit();
    if (vclHrdParametersPresentFlag && !hrd.Parse(reader)) {
        XP::MyPrintf("Error parsing hrd_parameters.");
        return false;
    }
    if (nalHrdParametersPresentFlag || vclHrdParametersPresentFlag) {
        reader.GetBit();  // low_delay_hrd_flag
    }
    picStructPresentFlag = reader.GetBit();
    if (reader.GetBit()) {  // bitstream_restriction_flag
        reader.GetBit();    // motion_vectors_over_pic_boundaries_flag
        reader.Ue();        // max_bytes_per_pic_denom
        reader.Ue();        // max_bits_per_mb_denom
        reader.Ue();        // log2_max_mv_length_horizontal
        reader.Ue();        // log2_max_mv_length_vertical
        reader.Ue();        // max_num_reorder_frames
        reader.Ue();        // max_dec_frame_buffering
    }
    return true;
}

}  // namespace Cmf
