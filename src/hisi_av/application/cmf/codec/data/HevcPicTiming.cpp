#include "hisi_av/application/cmf/codec/data/HevcPicTiming.h"

#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "hisi_av/application/cmf/codec/data/HevcVuiParameters.h"
#include "xptools/Print.h"

namespace Cmf {

bool HevcPicTiming_t::Parse(RbspReader& reader, const HevcVuiParameters_t& vui) {
    if (reader.GetBytesRemaining() == 0) {
        XP::MyPrintf("pic_timing message too small");
        return false;
    }
    if (vui.frameFieldInfoPresentFlag) {
        const uint32_t value = reader.U(4);
        if (value > PIC_STRUCT_BOT_W_NEXT_TOP) {
            XP::MyPrintf("pic_struct out of range");
            return false;
        }
        picStruct = static_cast<PicStruct_e>(value);
        reader.U(2);      // source_scan_type
        reader.GetBit();  // duplicate_flag
    }
    // The CPB/DPB delays follow, with lengths from the HRD parameters; the caller moves on to
    // the end of the payload.
    return true;
}

}  // namespace Cmf
