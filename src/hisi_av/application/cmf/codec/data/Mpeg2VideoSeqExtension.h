#pragma once

#include <cstddef>
#include <cstdint>

namespace Cmf {

class BitstreamReader;

// sequence_extension() (H.262 6.2.2.3): profile and level, scan, chroma format and the two high
// bits of each picture dimension. The reader starts at the header's start code.
struct Mpeg2VideoSeqExtension_t {
    static constexpr std::size_t MIN_SEQUENCE_EXTENSION_BYTES = 10;

    enum ChromaFormatIdc_e : uint8_t {
        CHROMA_RESERVED = 0,
        CHROMA_420 = 1,
        CHROMA_422 = 2,
        CHROMA_444 = 3,
    };

    // Profile identification (H.262 Table 8-2) and the escaped profiles of Table 8-1.
    enum ProfileIdc_e : uint8_t {
        PROFILE_RESERVED = 0,
        PROFILE_HIGH = 1,
        PROFILE_SPATIALLY_SCALABLE = 2,
        PROFILE_SNR_SCALABLE = 3,
        PROFILE_MAIN = 4,
        PROFILE_SIMPLE = 5,
        PROFILE_4_2_2 = 6,
        PROFILE_MULTI_VIEW = 7,
    };

    // Level identification (H.262 Table 8-3).
    enum LevelIdc_e : uint8_t {
        LEVEL_RESERVED = 0,
        LEVEL_HIGH = 4,
        LEVEL_HIGH_1440 = 6,
        LEVEL_MAIN = 8,
        LEVEL_LOW = 10,
    };

    ChromaFormatIdc_e chromaFormat = CHROMA_RESERVED;
    ProfileIdc_e profile = PROFILE_RESERVED;
    LevelIdc_e level = LEVEL_RESERVED;
    bool progressiveSequence = false;
    std::size_t horizontalSizeExtension = 0;
    std::size_t verticalSizeExtension = 0;

    bool Parse(BitstreamReader& reader);

private:
    void SetProfileAndLevel(uint32_t profileAndLevelIndication);
};

}  // namespace Cmf
