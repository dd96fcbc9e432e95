#include "hisi_av/application/cmf/codec/data/AvcSlice.h"

#include "hisi_av/application/cmf/codec/AvcNal.h"
#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "hisi_av/application/cmf/codec/data/AvcSps.h"
#include "xptools/Print.h"

namespace Cmf {

namespace {

// slice_type modulo 5, H.264 Table 7-6.
constexpr AvcSlice_t::SliceType_e SLICE_TYPES[5] = {
    AvcSlice_t::SLICE_TYPE_P, AvcSlice_t::SLICE_TYPE_B, AvcSlice_t::SLICE_TYPE_I,
    AvcSlice_t::SLICE_TYPE_SP, AvcSlice_t::SLICE_TYPE_SI};

}  // namespace

bool AvcSlice_t::Parse(const AvcNal& nal, bool fullParse, const AvcSps_t& sps) {
    const XP::CBuffer payload = nal.GetPayload();
    RbspReader reader(payload);
    if (reader.GetBytesRemaining() < 8) {
        XP::MyPrintf("Slice too small");
        return false;
    }
    reader.Ue();  // first_mb_in_slice
    const uint32_t sliceTypeValue = reader.Ue();
    if (sliceTypeValue > 9) {
        XP::MyPrintf("slice_type out of range.");
        return false;
    }
    sliceType = SLICE_TYPES[sliceTypeValue % 5];
    if (!fullParse) {
        return true;
    }
    reader.Ue();  // pic_parameter_set_id
    if (sps.separateColourPlaneFlag) {
        reader.U(2);  // colour_plane_id
    }
    reader.U(sps.log2MaxFrameNumMinus4 + 4u);  // frame_num
    fieldPicFlag = !sps.frameMbsOnlyFlag && reader.GetBit();
    return true;
}

}  // namespace Cmf
