#include "hisi_av/application/cmf/picture/VideoCodecInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Info = Cmf::VideoCodecInfo_t;
using Pic = Cmf::PictureInfo_t;

Info AvcHd() {
    Info info;
    info.aspectNum = 16;
    info.aspectDen = 9;
    info.profile = Info::PROFILE_M4_HIGH;
    info.level = Info::LEVEL_4;
    info.encodingType = Info::ENCODING_TYPE_FIELD_ENCODING;
    info.pic.width = 1920;
    info.pic.height = 1080;
    info.pic.scan = Pic::SCAN_PROGRESSIVE;
    info.pic.frameRateNum = 25;
    info.pic.pixelFormat.format = Pic::PIXFMT_YUV420P;
    info.pic.transChars = Pic::TRANS_CHARS_BT709;
    return info;
}

TEST(VideoCodecInfoTest, TextFormAppendsAspectProfileLevelAndTier) {
    Info info = AvcHd();
    const std::string picture =
        "1920x1080P sw_yuv420p 4:2:0 25fps 0:1aspect 8bit Mastering n Cll n TC-BT709 ";
    EXPECT_EQ(Cmf::GetVideoCodecInfoString(info), picture + "16" + "x " + "9" + "HPP@" + "L4");
    info.tier = Info::TIER_HIGH;
    EXPECT_EQ(Cmf::GetVideoCodecInfoString(info), picture + "16x 9HPP@L4-HT");
    info.tier = Info::TIER_MAIN;
    EXPECT_EQ(Cmf::GetVideoCodecInfoString(info), picture + "16x 9HPP@L4-MT");

    // Every profile and level token; the unknown and end members print as unknown.
    const std::vector<std::string> profiles = {
        "??P@",     "SP@",   "MP@",     "422P@",  "SNRP@",   "SPATIALP@", "HP@",    "BP@",
        "CBP@",     "MP@",   "EXTP@",   "HPP@",   "H10P@",   "H422P@",    "H444P@", "M10P@",
        "MSTILLP@", "FRXP@", "FRXHTP@", "H10IP@", "H422IP@", "H444IP@",   "BSTP@",  "??P@"};
    const std::vector<std::string> levels = {
        "??L",  "LL", "ML",   "H1440L", "HL", "L1",   "L1.B", "L1.1", "L1.2",
        "L1.3", "L2", "L2.1", "L2.2",   "L3", "L3.1", "L3.2", "L4",   "L4.1",
        "L4.2", "L5", "L5.1", "L5.2",   "L6", "L6.1", "L6.2", "??L"};
    info.tier = Info::TIER_NA;
    info.level = Info::LEVEL_UNKNOWN;
    for (std::size_t value = 0; value < profiles.size(); ++value) {
        info.profile = static_cast<Info::Profile_e>(value);
        EXPECT_EQ(Cmf::GetVideoCodecInfoString(info), picture + "16x 9" + profiles[value] + "??L");
    }
    info.profile = Info::PROFILE_UNKNOWN;
    for (std::size_t value = 0; value < levels.size(); ++value) {
        info.level = static_cast<Info::Level_e>(value);
        EXPECT_EQ(Cmf::GetVideoCodecInfoString(info), picture + "16x 9??P@" + levels[value]);
    }
}

TEST(VideoCodecInfoTest, EqualityAndConversion) {
    // Switching between field and frame coding alone is no new information.
    const Info base = AvcHd();
    Info frameCoded = base;
    frameCoded.encodingType = Info::ENCODING_TYPE_FRAME_ENCODING;
    EXPECT_EQ(base, frameCoded);

    std::vector<Info> changed(6, base);
    changed[0].aspectNum = 4;
    changed[1].aspectDen = 3;
    changed[2].profile = Info::PROFILE_M4_MAIN;
    changed[3].level = Info::LEVEL_4_1;
    changed[4].tier = Info::TIER_MAIN;
    changed[5].pic.width = 1440;
    for (std::size_t i = 0; i < changed.size(); ++i) {
        EXPECT_NE(base, changed[i]) << i;
    }

    // The picture takes the codec's display ratio, and an unknown scan becomes progressive.
    Info info = base;
    info.pic.scan = Pic::SCAN_UNKNOWN;
    Pic want = base.pic;
    want.aspectRatioNum = 16;
    want.aspectRatioDen = 9;
    EXPECT_EQ(Cmf::ConvertCodecInfoToPictureInfo(info), want);
    info.pic.scan = Pic::SCAN_INTERLACED;
    EXPECT_EQ(Cmf::ConvertCodecInfoToPictureInfo(info).scan, Pic::SCAN_INTERLACED);
}

}  // namespace
