#pragma once

#include <cstddef>
#include <cstdint>

namespace Cmf {

class BitstreamReader;

// picture_coding_extension() (H.262 6.2.3.1): whether the picture is a frame or one field. The
// reader starts at the header's start code.
struct Mpeg2VideoPictureCodingExtension_t {
    static constexpr std::size_t MIN_PICTURE_CODING_EXTENSION_BYTES = 9;

    // picture_structure (H.262 Table 6-14).
    enum PictureStructure_e : uint8_t {
        PICTURE_STRUCTURE_RESERVED = 0,
        PICTURE_STRUCTURE_TOP_FIELD = 1,
        PICTURE_STRUCTURE_BOT_FIELD = 2,
        PICTURE_STRUCTURE_FRAME = 3,
    };

    PictureStructure_e pictureStructure = PICTURE_STRUCTURE_RESERVED;

    bool Parse(BitstreamReader& reader);
};

}  // namespace Cmf
