#pragma once

#include <cstddef>
#include <cstdint>

namespace Cmf {

class BitstreamReader;

// sequence_header() (H.262 6.2.2.1): the coded size, aspect ratio and frame rate codes. The
// reader starts at the header's start code.
struct Mpeg2VideoSeqHeader_t {
    static constexpr std::size_t MIN_SEQUENCE_HEADER_BYTES = 12;

    // aspect_ratio_information (H.262 Table 6-3); 5..15 are kept as ASPECT_RATIO_RESERVED.
    enum AspectRatioIdc_e : uint8_t {
        ASPECT_RATIO_FORBIDDEN = 0,
        ASPECT_RATIO_1_1 = 1,
        ASPECT_RATIO_3_4 = 2,
        ASPECT_RATIO_9_16 = 3,
        ASPECT_RATIO_1_2_21 = 4,
        ASPECT_RATIO_RESERVED = 5,
    };

    // frame_rate_code (H.262 Table 6-4); 9..15 are kept as FRAME_RATE_RESERVED.
    enum FrameRateIdc_e : uint8_t {
        FRAME_RATE_FORBIDDEN = 0,
        FRAME_RATE_23_976 = 1,
        FRAME_RATE_24 = 2,
        FRAME_RATE_25 = 3,
        FRAME_RATE_29_97 = 4,
        FRAME_RATE_30 = 5,
        FRAME_RATE_50 = 6,
        FRAME_RATE_59_94 = 7,
        FRAME_RATE_60 = 8,
        FRAME_RATE_RESERVED = 9,
    };

    AspectRatioIdc_e aspectRatioInformation = ASPECT_RATIO_FORBIDDEN;
    FrameRateIdc_e frameRateCode = FRAME_RATE_FORBIDDEN;
    std::size_t horizontalSizeValue = 0;
    std::size_t verticalSizeValue = 0;

    bool Parse(BitstreamReader& reader);
};

}  // namespace Cmf
