#pragma once

#include <cstddef>
#include <cstdint>

namespace Cmf {

class Mpeg2VideoHeader;

// picture_header() (H.262 6.2.3): the picture's place in display order within its group and its
// coding type.
struct Mpeg2VideoPictureHeader_t {
    static constexpr std::size_t MIN_PICTURE_HEADER_BYTES = 8;

    // picture_coding_type (H.262 Table 6-12); 5..7 are kept as PIC_CODING_TYPE_RESERVED.
    enum PictureCodingType_e : uint8_t {
        PIC_CODING_TYPE_FORBIDDEN = 0,
        PIC_CODING_TYPE_I = 1,
        PIC_CODING_TYPE_P = 2,
        PIC_CODING_TYPE_B = 3,
        PIC_CODING_TYPE_UNUSED = 4,  // D pictures of MPEG-1
        PIC_CODING_TYPE_RESERVED = 5,
    };

    PictureCodingType_e codingType = PIC_CODING_TYPE_FORBIDDEN;
    unsigned int temporalRefrence = 0;

    bool Parse(const Mpeg2VideoHeader& header);
};

}  // namespace Cmf
