#include "hisi_av/application/cmf/codec/data/HevcSlice.h"

#include "hisi_av/application/cmf/codec/HevcNal.h"
#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "hisi_av/application/cmf/codec/data/HevcPps.h"
#include "xptools/Print.h"

namespace Cmf {

bool HevcSlice_t::Parse(const HevcNal& nal, const HevcPps_t& pps,
                        unsigned int sliceSegmentAddressBits) {
    const XP::CBuffer payload = nal.GetPayload();
    RbspReader reader(payload);
    if (reader.GetBytesRemaining() < 4) {
        XP::MyPrintf("Slice too small");
        return false;
    }
    sliceTypePresent = false;
    const bool firstSliceSegmentInPic = reader.GetBit();
    const unsigned int nalType = nal.GetUnitType();
    if (nalType >= HevcNal::BLA_W_LP && nalType <= HevcNal::RSV_IRAP_23) {
        reader.GetBit();  // no_output_of_prior_pics_flag
    }
    reader.Ue();  // slice_pic_parameter_set_id
    if (!firstSliceSegmentInPic) {
        const bool dependentSliceSegment = pps.dependentSliceSegmentsEnabled && reader.GetBit();
        reader.U(sliceSegmentAddressBits);  // slice_segment_address
        if (dependentSliceSegment) {
            return true;
        }
    }
    reader.U(pps.numExtraSliceHeaderBits);  // slice_reserved_flag[i]
    const uint32_t type = reader.Ue();
    if (type > SLICE_TYPE_I) {
        XP::MyPrintf("slice_type out of range: %u", type);
        return false;
    }
    sliceType = static_cast<SliceType_e>(type);
    sliceTypePresent = true;
    return true;
}

}  // namespace Cmf
