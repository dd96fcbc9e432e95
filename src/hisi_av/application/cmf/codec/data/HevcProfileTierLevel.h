#pragma once

#include <cstdint>

namespace Cmf {

class RbspReader;

// What the framework keeps of profile_tier_level() (H.265 7.3.3): the general profile, tier and
// level and the two source scan flags.
struct HevcProfileTierLevel_t {
    // general_profile_idc, H.265 Annex A.
    enum ProfileIdc_e : uint8_t {
        PROFILE_NONE = 0,
        PROFILE_MAIN = 1,
        PROFILE_MAIN_10 = 2,
        PROFILE_MAIN_STILL = 3,
        PROFILE_FRX = 4,
        PROFILE_FRX_HT = 5,
    };

    // general_level_idc: 30 times the level number.
    enum LevelIdc_e : uint8_t {
        LEVEL_NONE = 0,
        LEVEL_1 = 30,
        LEVEL_2 = 60,
        LEVEL_2_1 = 63,
        LEVEL_3 = 90,
        LEVEL_3_1 = 93,
        LEVEL_4 = 120,
        LEVEL_4_1 = 123,
        LEVEL_5 = 150,
        LEVEL_5_1 = 153,
        LEVEL_5_2 = 156,
        LEVEL_6 = 180,
        LEVEL_6_1 = 183,
        LEVEL_6_2 = 186,
    };

    // The general part takes 12 bytes; the reader must have at least this many left.
    static constexpr std::size_t MIN_PTL_BYTES = 13;

    uint8_t generalProgressiveSourceFlag = 0;
    uint8_t generalInterlacedSourceFlag = 0;
    uint8_t generalTierFlag = 0;
    ProfileIdc_e generalProfileIdc = PROFILE_NONE;  // raw value, also outside the list
    LevelIdc_e generalLevelIdc = LEVEL_NONE;        // raw value, also outside the list

    // With profilePresentFlag 1, as in the SPS.
    bool Parse(RbspReader& reader, unsigned int maxSubLayersMinus1);
};

}  // namespace Cmf
