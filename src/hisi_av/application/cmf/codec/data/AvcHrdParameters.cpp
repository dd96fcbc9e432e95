#include "hisi_av/application/cmf/codec/data/AvcHrdParameters.h"

#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "xptools/Print.h"

namespace Cmf {

bool AvcHrdParameters_t::Parse(RbspReader& reader) {
    if (reader.GetBytesRemaining() == 0) {
        XP::MyPrintf("HRD too small");
        return false;
    }
    const uint32_t cpbCntMinus1 = reader.Ue();
    reader.U(4);  // bit_rate_scale
    reader.U(4);  // cpb_size_scale
    // A corrupt count is cut off where the data ends: every further read would give 0 anyway.
    for (uint64_t schedSelIdx = 0; schedSelIdx <= cpbCntMinus1 && reader.GetBitsRemaining() > 0;
         ++schedSelIdx) {
        reader.Ue();      // bit_rate_value_minus1
        reader.Ue();      // cpb_size_value_minus1
        reader.GetBit();  // cbr_flag
    }
    reader.U(5);  // initial_cpb_removal_delay_length_minus1
    cpbRemovalDelayLengthMinus1 = static_cast<uint8_t>(reader.U(5));
    dpbOutputDelayLengthMinus1 = static_cast<uint8_t>(reader.U(5));
    timeOffsetLength = static_cast<uint8_t>(reader.U(5));
    return true;
}

}  // namespace Cmf
