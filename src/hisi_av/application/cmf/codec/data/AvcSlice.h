#pragma once

#include <cstdint>

namespace Cmf {

class AvcNal;
struct AvcSps_t;

// The start of slice_header() (H.264 7.3.3): the slice type and, with a full parse, whether the
// slice codes a field.
struct AvcSlice_t {
    enum SliceType_e : uint8_t {
        SLICE_TYPE_B = 0,
        SLICE_TYPE_P = 1,
        SLICE_TYPE_I = 2,
        SLICE_TYPE_SP = 3,
        SLICE_TYPE_SI = 4,
    };

    SliceType_e sliceType = SLICE_TYPE_P;
    bool fieldPicFlag = false;

    // `fullParse` reads on to field_pic_flag, which needs the stream's SPS.
    bool Parse(const AvcNal& nal, bool fullParse, const AvcSps_t& sps);
};

}  // namespace Cmf
