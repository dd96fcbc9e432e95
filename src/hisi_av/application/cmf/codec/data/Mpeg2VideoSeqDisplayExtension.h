#pragma once

#include <cstddef>
#include <cstdint>

namespace Cmf {

class BitstreamReader;

// sequence_display_extension() (H.262 6.2.2.4): whether a colour description is present and its
// transfer characteristics. The reader starts at the header's start code.
struct Mpeg2VideoSeqDisplayExtension_t {
    static constexpr std::size_t MIN_SEQUENCE_DISPLAY_EXTENSION_BYTES = 9;

    // transfer_characteristics (H.262 Table 6-8); 8 and above are kept as
    // TRANS_CHARS_RESERVED_BEGIN.
    enum TransChars_e : uint8_t {
        TRANS_CHARS_FORBIDDEN = 0,
        TRANS_CHARS_BT709 = 1,
        TRANS_CHARS_UNSPECIFIED = 2,
        TRANS_CHARS_RESERVED = 3,
        TRANS_CHARS_GAMMA22 = 4,
        TRANS_CHARS_GAMMA28 = 5,
        TRANS_CHARS_SMPTE170M = 6,
        TRANS_CHARS_SMPTE240M = 7,
        TRANS_CHARS_RESERVED_BEGIN = 8,
    };

    bool colourDescription = false;
    TransChars_e transChars = TRANS_CHARS_UNSPECIFIED;

    bool Parse(BitstreamReader& reader);
};

}  // namespace Cmf
