#pragma once

#include <cstdint>

namespace Cmf {

class HevcNal;
struct HevcPps_t;

// What the framework keeps of slice_segment_header() (H.265 7.3.6.1): the slice type, read as far
// as the header start allows.
struct HevcSlice_t {
    // slice_type, H.265 Table 7-7.
    enum SliceType_e : uint8_t {
        SLICE_TYPE_B = 0,
        SLICE_TYPE_P = 1,
        SLICE_TYPE_I = 2,
    };

    SliceType_e sliceType = SLICE_TYPE_B;
    // False for a dependent slice segment, which carries no slice type of its own.
    bool sliceTypePresent = false;

    // Parses the slice segment NAL unit (two-byte header included). slice_segment_address, in
    // segments other than a picture's first, is `sliceSegmentAddressBits` long
    // (HevcSps_t::GetSliceSegmentAddressBits).
    bool Parse(const HevcNal& nal, const HevcPps_t& pps, unsigned int sliceSegmentAddressBits = 0);
};

}  // namespace Cmf
