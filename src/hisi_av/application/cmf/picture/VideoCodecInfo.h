#pragma once

#include <cstddef>
#include <string>

#include "hisi_av/application/cmf/picture/PictureInfo.h"

// Enumerations of the codec information, each declared once with the token of its text form
// (see PictureInfo.h). PROFILE_END and LEVEL_END close the lists and print as unknown.
#define CMF_PROFILE_LIST(X)                           \
    X(PROFILE_UNKNOWN, 0, "??P@")                     \
    X(PROFILE_M2_SP, 1, "SP@")                        \
    X(PROFILE_M2_MP, 2, "MP@")                        \
    X(PROFILE_M2_422P, 3, "422P@")                    \
    X(PROFILE_M2_SNR, 4, "SNRP@")                     \
    X(PROFILE_M2_SPATIAL, 5, "SPATIALP@")             \
    X(PROFILE_M2_HIGH, 6, "HP@")                      \
    X(PROFILE_M4_BASELINE, 7, "BP@")                  \
    X(PROFILE_M4_CONSTRAINED_BASELINE, 8, "CBP@")     \
    X(PROFILE_M4_MAIN, 9, "MP@")                      \
    X(PROFILE_M4_EXTENDED, 10, "EXTP@")               \
    X(PROFILE_M4_HIGH, 11, "HPP@")                    \
    X(PROFILE_M4_HIGH10, 12, "H10P@")                 \
    X(PROFILE_M4_HIGH422, 13, "H422P@")               \
    X(PROFILE_M4_HIGH444, 14, "H444P@")               \
    X(PROFILE_MH_MAIN10, 15, "M10P@")                 \
    X(PROFILE_MH_MAIN_STILL, 16, "MSTILLP@")          \
    X(PROFILE_MH_FRX, 17, "FRXP@")                    \
    X(PROFILE_MH_FRX_HT, 18, "FRXHTP@")               \
    X(PROFILE_M4_HIGH10_INTRA, 19, "H10IP@")          \
    X(PROFILE_M4_HIGH422_INTRA, 20, "H422IP@")        \
    X(PROFILE_M4_HIGH444_INTRA, 21, "H444IP@")        \
    X(PROFILE_J2K_BROADCAST_SINGLE_TILE, 22, "BSTP@") \
    X(PROFILE_END, 23, "??P@")

#define CMF_LEVEL_LIST(X)          \
    X(LEVEL_UNKNOWN, 0, "??L")     \
    X(LEVEL_LOW, 1, "LL")          \
    X(LEVEL_MAIN, 2, "ML")         \
    X(LEVEL_HIGH1440, 3, "H1440L") \
    X(LEVEL_HIGH, 4, "HL")         \
    X(LEVEL_1, 5, "L1")            \
    X(LEVEL_1_B, 6, "L1.B")        \
    X(LEVEL_1_1, 7, "L1.1")        \
    X(LEVEL_1_2, 8, "L1.2")        \
    X(LEVEL_1_3, 9, "L1.3")        \
    X(LEVEL_2, 10, "L2")           \
    X(LEVEL_2_1, 11, "L2.1")       \
    X(LEVEL_2_2, 12, "L2.2")       \
    X(LEVEL_3, 13, "L3")           \
    X(LEVEL_3_1, 14, "L3.1")       \
    X(LEVEL_3_2, 15, "L3.2")       \
    X(LEVEL_4, 16, "L4")           \
    X(LEVEL_4_1, 17, "L4.1")       \
    X(LEVEL_4_2, 18, "L4.2")       \
    X(LEVEL_5, 19, "L5")           \
    X(LEVEL_5_1, 20, "L5.1")       \
    X(LEVEL_5_2, 21, "L5.2")       \
    X(LEVEL_6, 22, "L6")           \
    X(LEVEL_6_1, 23, "L6.1")       \
    X(LEVEL_6_2, 24, "L6.2")       \
    X(LEVEL_END, 25, "??L")

#define CMF_TIER_LIST(X)   \
    X(TIER_NA, 0, "")      \
    X(TIER_MAIN, 1, "-MT") \
    X(TIER_HIGH, 2, "-HT")

namespace Cmf {

// The codec-level description of a video stream: display aspect ratio as the extractor computed
// it, profile, level, tier and field/frame coding, around the picture information. A plain value.
struct VideoCodecInfo_t {
    enum Profile_e { CMF_PROFILE_LIST(CMF_ENUM_MEMBER) };
    enum Level_e { CMF_LEVEL_LIST(CMF_ENUM_MEMBER) };
    enum Tier_e { CMF_TIER_LIST(CMF_ENUM_MEMBER) };
    enum EncodingType_e {
        ENCODING_TYPE_UNKNOWN = 0,
        ENCODING_TYPE_FIELD_ENCODING = 1,
        ENCODING_TYPE_FRAME_ENCODING = 2,
    };

    // Everything but encodingType: a stream that only switches between field and frame coding
    // keeps the same information.
    bool operator==(const VideoCodecInfo_t& other) const;
    bool operator!=(const VideoCodecInfo_t& other) const { return !(*this == other); }

    std::size_t aspectNum = 0;
    std::size_t aspectDen = 1;
    Profile_e profile = PROFILE_UNKNOWN;
    Level_e level = LEVEL_UNKNOWN;
    Tier_e tier = TIER_NA;
    EncodingType_e encodingType = ENCODING_TYPE_UNKNOWN;
    PictureInfo_t pic;
};

// The picture information of `info`, with the codec's display aspect ratio, and progressive scan
// where the scan is unknown.
PictureInfo_t ConvertCodecInfoToPictureInfo(const VideoCodecInfo_t& info);

// The picture text followed by aspect ratio, profile, level and tier, e.g.
// "...TC-BT709 16x 9HP@HL".
std::string GetVideoCodecInfoString(const VideoCodecInfo_t& info);

}  // namespace Cmf
