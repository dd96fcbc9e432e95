#include "hisi_av/application/cmf/codec/data/AvcSps.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "BitWriter.h"
#include "CodecTestUtil.h"
#include "ConsoleCapture.h"
#include "hisi_av/application/cmf/codec/AvcNal.h"
#include "hisi_av/application/cmf/codec/RbspReader.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;
using PL = Cmf::AvcProfileLevel_t;

// An x264 1080p High profile SPS (after the 0x67 header), decoded by hand:
//   64 00 28: profile_idc 100, no constraint flags, level_idc 40
//   AC: sps_id 0, chroma_format_idc 1, depths 0/0, no bypass, no scaling matrix
//   D9 40: log2_max_frame_num_minus4 0, poc type 0 with log2_max_poc_lsb_minus4 2, 4 ref frames
//   40 78 02 27: 119 (1920 wide), 67 (1088 high), frame_mbs_only, direct_8x8, cropping
//   E5 84: crop 0/0/0/4 (8 lines); VUI with only timing info present
//   00 00 03 00 04 00 00 03 00 F0: num_units_in_tick 1, time_scale 60 (escapes dropped)
//   3C 60 C6 58: no HRD, no pic_struct, bitstream restriction, trailing bits
const Bytes X264_HIGH_1080 = {0x64, 0x00, 0x28, 0xAC, 0xD9, 0x40, 0x78, 0x02, 0x27,
                              0xE5, 0x84, 0x00, 0x00, 0x03, 0x00, 0x04, 0x00, 0x00,
                              0x03, 0x00, 0xF0, 0x3C, 0x60, 0xC6, 0x58};

// A PAL broadcast 720x576 interlaced Main profile SPS, assembled by hand: profile_idc 77 with
// constraint_set1, level 30; sps_id 0; log2_max_frame_num_minus4 5; poc type 0, lsb 6; 4 ref
// frames; 44 (720 wide); 17 (18 field macroblock rows: 576); frame_mbs_only 0, MBAFF 1,
// direct_8x8 1, no cropping. VUI: aspect_ratio_idc 2 (12:11); video_format 1, colour description
// 5/6/5; timing 1/50 fixed; NAL HRD (one entry, delay lengths 23, 17, 5, time_offset_length 24);
// pic_struct_present.
const Bytes MAIN_PAL_576I = {0x4D, 0x40, 0x1E, 0x9A, 0x72, 0x81, 0x68, 0x49, 0xB0, 0x24,
                             0xA0, 0xA0, 0xC0, 0xA8, 0x00, 0x00, 0x03, 0x00, 0x08, 0x00,
                             0x00, 0x03, 0x01, 0x97, 0x46, 0x14, 0x6D, 0xE2, 0x5C, 0x14};

// High 4:2:2 Intra, 10 bit, 1080i: scaling lists (the first with the default matrix, one cut
// short by a zero scale), poc type 1 with a cycle, and a VUI with extended SAR, a transfer
// characteristic above 19, chroma location, VCL HRD with three entries, bitstream restriction.
Bytes High422WithScalingLists() {
    BitWriter w;
    w.U(8, 122).U(8, 0x10).U(8, 41).Ue(0).Ue(2).Ue(2).Ue(2).Flag(false);
    w.Flag(true).Flag(true).Se(-8).Flag(false).Flag(true);  // matrix; lists 0, 1, 2
    for (int j = 0; j < 16; ++j) {
        w.Se(1);
    }
    w.Flag(false).Flag(false).Flag(false).Flag(true).Se(2).Se(2).Se(-12).Flag(false);
    w.Ue(2).Ue(1).Flag(false).Se(-2).Se(1).Ue(3).Se(1).Se(-1).Se(5);
    w.Ue(1).Flag(false).Ue(119).Ue(33).Flag(false).Flag(false).Flag(true);
    w.Flag(true).Ue(0).Ue(0).Ue(0).Ue(4).Flag(true);  // cropping, VUI
    w.Flag(true).U(8, 255).U(16, 4).U(16, 3).Flag(true).Flag(true);
    w.Flag(true).U(3, 5).Flag(true).Flag(true).U(8, 9).U(8, 30).U(8, 9);
    w.Flag(true).Ue(0).Ue(0).Flag(false).Flag(false);  // chroma location; no timing, no NAL HRD
    w.Flag(true).Ue(2).U(4, 1).U(4, 2);
    for (int i = 0; i < 3; ++i) {
        w.Ue(100 + i).Ue(200 + i).Flag(i == 1);
    }
    w.U(5, 23).U(5, 22).U(5, 21).U(5, 0).Flag(true).Flag(true);
    w.Flag(true).Flag(true).Ue(0).Ue(0).Ue(11).Ue(11).Ue(0).Ue(1).Trailing();
    return w.Escaped();
}

// High 4:4:4 Intra, separate colour planes, twelve scaling list flags with the last six set.
Bytes High444WithTwelveLists() {
    BitWriter w;
    w.U(8, 244).U(8, 0x10).U(8, 51).Ue(0).Ue(3).Flag(true).Ue(0).Ue(0).Flag(false).Flag(true);
    for (int i = 0; i < 12; ++i) {
        w.Flag(i >= 6);
        if (i >= 6) {
            w.Se(-8);
        }
    }
    w.Ue(9).Ue(2).Ue(0).Flag(false).Ue(239).Ue(134).Flag(true).Flag(false).Flag(false);
    w.Flag(false).Trailing();
    return w.Escaped();
}

struct ParseResult {
    bool ok;
    Cmf::AvcSps_t sps;
    Lines lines;
};

ParseResult ParseSps(const Bytes& payload) {
    KestrelTest::ConsoleCapture console;
    ParseResult result{};
    const XP::CBuffer bytes = CodecTest::MakeNalBytes(0x67, payload);
    result.ok = result.sps.Parse(Cmf::AvcNal(bytes));
    result.lines = console.Lines();
    return result;
}

// Every kept field, so that an expectation is one line.
std::string Describe(const Cmf::AvcSps_t& s) {
    const Cmf::AvcVuiParameters_t& v = s.vui;
    std::ostringstream o;
    o << "profile " << int(s.profileLevel.profileIdcVal) << "/" << int(s.profileLevel.profileIdc)
      << " level " << int(s.profileLevel.levelIdc) << " chroma " << int(s.chromaFormatIdc) << "/"
      << int(s.chromaArrayType) << (s.separateColourPlaneFlag ? " separate" : "") << " depth "
      << int(s.bitDepthLumaMinus8) << " frame_num " << int(s.log2MaxFrameNumMinus4) << " mbs "
      << s.picWidthInMbsMinus1 << "x" << s.picHeightInMapUnitsMinus1
      << (s.frameMbsOnlyFlag           ? " frames"
          : s.mbAdaptiveFrameFieldFlag ? " mbaff"
                                       : " fields")
      << " crop " << s.frameCropLeftOffset << "," << s.frameCropRightOffset << ","
      << s.frameCropTopOffset << "," << s.frameCropBottomOffset << " | sar ";
    if (v.aspectRatioInfoPresentFlag) {
        o << int(v.aspectRatioIdc) << " " << v.sarWidth << ":" << v.sarHeight;
    } else {
        o << "-";
    }
    o << " signal " << (v.videoSignalTypePresentFlag ? "y" : "-")
      << (v.colourDescriptionPresentFlag ? "y" : "-") << " tc " << int(v.transChars) << " timing ";
    if (v.timingInfoPresentFlag) {
        o << v.numUnitsInTick << "/" << v.timeScale;
    } else {
        o << "-";
    }
    o << " hrd " << (v.nalHrdParametersPresentFlag ? "N" : "-")
      << (v.vclHrdParametersPresentFlag ? "V" : "-") << " "
      << int(v.hrd.cpbRemovalDelayLengthMinus1) << "," << int(v.hrd.dpbOutputDelayLengthMinus1)
      << "," << int(v.hrd.timeOffsetLength) << " pic_struct " << v.picStructPresentFlag;
    return o.str();
}

TEST(AvcSpsTest, RealAndHandBuiltSequenceParameterSets) {
    // Profile names: HIGH 4, MAIN 2, HIGH_422_INTRA 8, HIGH_444_INTRA 10. Transfer: 2 is the
    // default (unspecified), 6 BT.601, 19 stands for everything above 18.
    const std::vector<std::pair<Bytes, std::string>> cases = {
        {X264_HIGH_1080,
         "profile 100/4 level 40 chroma 1/1 depth 0 frame_num 0 mbs 119x67 frames crop 0,0,0,4 "
         "| sar - signal -- tc 2 timing 1/60 hrd -- 0,0,0 pic_struct 0"},
        {MAIN_PAL_576I,
         "profile 77/2 level 30 chroma 1/1 depth 0 frame_num 5 mbs 44x17 mbaff crop 0,0,0,0 "
         "| sar 2 0:0 signal yy tc 6 timing 1/50 hrd N- 17,5,24 pic_struct 1"},
        {High422WithScalingLists(),
         "profile 122/8 level 41 chroma 2/2 depth 2 frame_num 2 mbs 119x33 fields crop 0,0,0,4 "
         "| sar 255 4:3 signal yy tc 19 timing - hrd -V 22,21,0 pic_struct 1"},
        {High444WithTwelveLists(),
         "profile 244/10 level 51 chroma 3/0 separate depth 0 frame_num 9 mbs 239x134 frames "
         "crop 0,0,0,0 | sar - signal -- tc 2 timing - hrd -- 0,0,0 pic_struct 0"},
    };
    for (const auto& [payload, expected] : cases) {
        const ParseResult r = ParseSps(payload);
        EXPECT_TRUE(r.ok);
        EXPECT_TRUE(r.lines.empty()) << ::testing::PrintToString(r.lines);
        EXPECT_EQ(Describe(r.sps), expected);
    }
}

TEST(AvcSpsTest, TruncatedSpsKeepsWhatIsPresent) {
    // Every cut of the real SPS, in an exact-size buffer: below 17 bytes the size check (which
    // counts one more) rejects it; above, what is present parses as before and what is missing
    // reads as zeros.
    for (std::size_t length = 0; length <= X264_HIGH_1080.size(); ++length) {
        const ParseResult r =
            ParseSps(Bytes(X264_HIGH_1080.begin(), X264_HIGH_1080.begin() + length));
        if (length < 17) {
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.lines, Lines{"SPS too small: " + std::to_string(length + 1) + " bytes"});
            continue;
        }
        ASSERT_TRUE(r.ok) << "length " << length;
        EXPECT_EQ(r.sps.picHeightInMapUnitsMinus1, 67u);
        EXPECT_EQ(r.sps.frameCropBottomOffset, 4u);
        EXPECT_EQ(r.sps.vui.numUnitsInTick, 1u);
        EXPECT_EQ(r.sps.vui.timeScale, length >= 21 ? 60u : 0u) << "length " << length;
    }
}

// An SPS whose VUI flag is its very last bit: the VUI has no bytes.
Bytes SpsEndingAtVuiFlag() {
    for (unsigned int offsets = 130;; ++offsets) {
        BitWriter w;
        w.U(8, 66).U(8, 0).U(8, 30).Ue(0).Ue(0).Ue(1).Flag(false).Se(0).Se(0).Ue(offsets);
        for (unsigned int i = 0; i < offsets; ++i) {
            w.Se(0);
        }
        w.Ue(1).Flag(false).Ue(21).Ue(17).Flag(true).Flag(true).Flag(false).Flag(true);
        if (w.BitCount() % 8 == 0) {
            return w.Escaped();
        }
    }
}

TEST(AvcSpsTest, FailuresPrintTheirMessagesInOrder) {
    auto highSps = [](unsigned int chromaFormatIdc) {
        BitWriter w;
        w.U(8, 100).U(8, 0).U(8, 40).Ue(0).Ue(chromaFormatIdc).Bytes(Bytes(20, 0xFF));
        return w.Escaped();
    };
    auto scalingListRunsOut = [] {
        // Six full 4x4 lists use up the data before the first 8x8 list.
        BitWriter w;
        w.U(8, 100).U(8, 0).U(8, 40).Ue(0).Ue(1).Ue(0).Ue(0).Flag(false).Flag(true);
        for (int j = 0; j < 6 * 16; ++j) {
            if (j % 16 == 0) {
                w.Flag(true);
            }
            w.Se(j % 2 == 0 ? 1 : -1);
        }
        w.Flag(true).Se(1).Se(1).Trailing();
        return w.Escaped();
    };
    Bytes reservedBitsSet = X264_HIGH_1080;
    reservedBitsSet[1] = 0x01;

    const std::vector<std::pair<Bytes, Lines>> cases = {
        {highSps(4), {"chroma_format_idc out of range"}},
        {reservedBitsSet, {"reserved_zero_2bits not present", "Error parsing profile and level"}},
        {scalingListRunsOut(),
         {"Failed to parse scaling list: SPS too small", "Failed to parse scaling list."}},
        {SpsEndingAtVuiFlag(), {"VUI too small", "Error parsing VUI parameters."}},
    };
    for (const auto& [payload, lines] : cases) {
        const ParseResult r = ParseSps(payload);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.lines, lines);
    }
    EXPECT_TRUE(ParseSps(highSps(3)).ok);
}

TEST(AvcSpsTest, ProfileAndLevelNames) {
    struct Case {
        uint8_t profileIdc;
        uint8_t constraintByte;  // constraint_set0..5 from the top bit
        uint8_t levelIdc;
        PL::ProfileIdc_e profile;
        PL::LevelIdc_e level;
    };
    constexpr uint8_t CS1 = 0x40, CS3 = 0x10, CS4 = 0x08, CS5 = 0x04;
    const Case cases[] = {
        {66, 0, 30, PL::PROFILE_BASELINE, PL::LEVEL_3},
        {66, CS1, 31, PL::PROFILE_CONSTRAINED_BASELINE, PL::LEVEL_3_1},
        {77, CS3, 11, PL::PROFILE_MAIN, PL::LEVEL_1_B},
        {100, CS3, 11, PL::PROFILE_HIGH, PL::LEVEL_1_B},  // level 1b whatever the profile
        {100, CS4, 42, PL::PROFILE_PROGRESSIVE_HIGH, PL::LEVEL_4_2},
        {100, CS4 | CS5, 52, PL::PROFILE_CONSTRAINED_HIGH, PL::LEVEL_5_2},
        {110, CS3, 40, PL::PROFILE_HIGH_10_INTRA, PL::LEVEL_4},
        {244, 0, 51, PL::PROFILE_HIGH_444_PRED, PL::LEVEL_5_1},
        {83, CS5, 21, PL::PROFILE_SCALABLE_CONSTRAINED_BASELINE, PL::LEVEL_2_1},
        {86, CS3 | CS5, 22, PL::PROFILE_SCALABLE_CONSTRAINED_HIGH, PL::LEVEL_2_2},
        {88, 0, 62, PL::PROFILE_EXTENDED, PL::LEVEL_6_2},
        {99, 0, 30, PL::PROFILE_UNKNOWN, PL::LEVEL_3},
    };
    for (const Case& c : cases) {
        const XP::CBuffer bytes = CodecTest::MakeBuffer({c.constraintByte, c.levelIdc});
        Cmf::RbspReader reader(bytes);
        PL pl;
        pl.profileIdcVal = static_cast<PL::ProfileIdcVal_e>(c.profileIdc);
        ASSERT_TRUE(pl.Parse(reader));
        EXPECT_EQ(pl.profileIdc, c.profile) << int(c.profileIdc) << " " << int(c.constraintByte);
        EXPECT_EQ(pl.levelIdc, c.level) << int(c.profileIdc) << " " << int(c.levelIdc);
    }

    KestrelTest::ConsoleCapture console;
    const XP::CBuffer empty;
    Cmf::RbspReader reader(empty);
    EXPECT_FALSE(PL().Parse(reader));
    EXPECT_EQ(console.Lines(), Lines{"PL too small"});
}

}  // namespace
