#include "hisi_av/application/cmf/codec/data/AvcPicTiming.h"

#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "hisi_av/application/cmf/codec/data/AvcVuiParameters.h"
#include "xptools/Print.h"

namespace Cmf {

namespace {

// NumClockTS by pic_struct, H.264 Table D-1; reserved values carry none.
constexpr unsigned int NUM_CLOCK_TS[16] = {1, 1, 1, 2, 2, 3, 3, 2, 3, 0, 0, 0, 0, 0, 0, 0};

}  // namespace

bool AvcPicTiming_t::Parse(RbspReader& reader, const AvcVuiParameters_t& vui) {
    if (reader.GetBytesRemaining() == 0) {
        XP::MyPrintf("pic_timing message too small");
        return false;
    }
    if (vui.nalHrdParametersPresentFlag || vui.vclHrdParametersPresentFlag) {
        reader.U(vui.hrd.cpbRemovalDelayLengthMinus1 + 1u);  // cpb_removal_delay
        reader.U(vui.hrd.dpbOutputDelayLengthMinus1 + 1u);   // dpb_output_delay
    }
    ctType = CT_TYPE_NOT_PRESENT;
    if (!vui.picStructPresentFlag) {
        picStruct = PIC_STRUCT_NOT_PRESENT;
        return true;
    }
    const uint32_t picStructValue = reader.U(4);
    picStruct = static_cast<PicStruct_e>(picStructValue);
    XP::DebugPrintf("pic_struct: %u", picStructValue);
    for (unsigned int i = 0; i < NUM_CLOCK_TS[picStructValue]; ++i) {
        if (!reader.GetBit()) {  // clock_timestamp_flag
            continue;
        }
        const uint32_t ctTypeValue = reader.U(2);
        ctType = static_cast<CtType_e>(ctTypeValue);
        XP::DebugPrintf("ct_type: %u", ctTypeValue);
        reader.GetBit();  // nuit_field_based_flag
        reader.U(5);      // counting_type
        const bool fullTimestampFlag = reader.GetBit();
        reader.GetBit();  // discontinuity_flag
        reader.GetBit();  // cnt_dropped_flag
        reader.U(8);      // n_frames
        if (fullTimestampFlag) {
            reader.U(6);                // seconds_value
            reader.U(6);                // minutes_value
            reader.U(5);                // hours_value
        } else if (reader.GetBit()) {   // seconds_flag
            reader.U(6);                // seconds_value
            if (reader.GetBit()) {      // minutes_flag
                reader.U(6);            // minutes_value
                if (reader.GetBit()) {  // hours_flag
                    reader.U(5);        // hours_value
                }
            }
        }
        if (vui.hrd.timeOffsetLength > 0) {
            reader.U(vui.hrd.timeOffsetLength);  // time_offset
        }
    }
    return true;
}

}  // namespace Cmf
