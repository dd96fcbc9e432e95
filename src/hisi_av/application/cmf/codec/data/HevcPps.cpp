#include "hisi_av/application/cmf/codec/data/HevcPps.h"

#include "hisi_av/application/cmf/codec/HevcNal.h"
#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "xptools/Print.h"

namespace Cmf {

bool HevcPps_t::Parse(const HevcNal& nal) {
    const XP::CBuffer payload = nal.GetPayload();
    RbspReader reader(payload);
    if (reader.GetBytesRemaining() < 3) {
        XP::MyPrintf("PPS too small");
        return false;
    }
    reader.Ue();  // pps_pic_parameter_set_id
    reader.Ue();  // pps_seq_parameter_set_id
    dependentSliceSegmentsEnabled = reader.GetBit();
    reader.GetBit();  // output_flag_present_flag
    numExtraSliceHeaderBits = static_cast<uint8_t>(reader.U(3));
    return true;
}

}  // namespace Cmf
