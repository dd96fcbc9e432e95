#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "CodecTestUtil.h"
#include "ConsoleCapture.h"
#include "HevcSyntaxWriter.h"
#include "hisi_av/application/cmf/codec/HevcNal.h"
#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "hisi_av/application/cmf/codec/data/HevcHrdParameters.h"
#include "hisi_av/application/cmf/codec/data/HevcPicTiming.h"
#include "hisi_av/application/cmf/codec/data/HevcPps.h"
#include "hisi_av/application/cmf/codec/data/HevcShortTermRefPicSet.h"
#include "hisi_av/application/cmf/codec/data/HevcSlice.h"
#include "hisi_av/application/cmf/codec/data/HevcSps.h"

namespace {

using namespace HevcTest;
using CodecTest::MakeBuffer;
using Lines = std::vector<std::string>;

Cmf::HevcNal Nal(const XP::CBuffer& bytes) {
    return Cmf::HevcNal(bytes);
}

// Every field the SPS keeps, with a VUI, HRD, scaling lists, PCM, long-term pictures and two
// sub-layers on the way.
TEST(HevcSyntaxTest, SpsKeepsEveryFieldPastTheSyntaxItSkips) {
    SpsDesc d;
    d.profileIdc = 2;
    d.levelIdc = 153;
    d.tier = true;
    d.maxSubLayersMinus1 = 2;
    d.chromaFormatIdc = 2;
    d.width = 1920;
    d.height = 1088;
    d.confWin = {1, 2, 3, 4};
    d.bitDepthLumaMinus8 = 2;
    d.vui = true;
    d.aspectRatioIdc = 255;
    d.sarWidth = 4;
    d.sarHeight = 3;
    d.transferCharacteristics = 16;
    d.fieldSeq = true;
    d.frameFieldInfo = true;
    d.numUnitsInTick = 1001;
    d.timeScale = 60000;
    const XP::CBuffer bytes = MakeBuffer(MakeSps(d));
    Cmf::HevcSps_t sps;
    ASSERT_TRUE(sps.Parse(Nal(bytes)));
    using U = std::vector<unsigned int>;
    // Profile, level, tier, progressive and interlaced source.
    EXPECT_EQ((U{sps.ptl.generalProfileIdc, sps.ptl.generalLevelIdc, sps.ptl.generalTierFlag,
                 sps.ptl.generalProgressiveSourceFlag, sps.ptl.generalInterlacedSourceFlag}),
              (U{2, 153, 1, 1, 0}));
    // Chroma format, size, conformance window, luma depth.
    EXPECT_EQ((U{sps.chromaFormatIdc, sps.picWidth, sps.picHeight, sps.confWinLeftOffset,
                 sps.confWinRightOffset, sps.confWinTopOffset, sps.confWinBottomOffset,
                 sps.bitDepthLumaMinus8}),
              (U{2, 1920, 1088, 1, 2, 3, 4, 2}));
    // VUI: SAR, transfer, field sequence, timing, HRD flags.
    ASSERT_TRUE(sps.vuiParametersPresentFlag);
    const Cmf::HevcVuiParameters_t& vui = sps.vui;
    EXPECT_EQ((U{vui.aspectRatioIdc, vui.sarWidth, vui.sarHeight, vui.colourDescriptionPresentFlag,
                 vui.transChars, vui.fieldSeqFlag, vui.numUnitsInTick, vui.timeScale}),
              (U{255, 4, 3, 1, 16, 1, 1001, 60000}));
    EXPECT_EQ((U{vui.hrd.nalHrdParametersPresentFlag, vui.hrd.vclHrdParametersPresentFlag,
                 vui.hrd.subPicHrdParamsPresentFlag, vui.hrd.subPicCpbParamsInPicTimingSeiFlag}),
              (U{1, 1, 1, 1}));
    // Progressive only: the VUI's frame-field flag is overruled.
    EXPECT_FALSE(sps.vui.frameFieldInfoPresentFlag);
    EXPECT_EQ(sps.GetSliceSegmentAddressBits(), 9u);  // 30 x 17 blocks of 64
}

// The source flags decide whether pictures carry frame-field information, not the VUI.
TEST(HevcSyntaxTest, FrameFieldInformationFollowsTheSourceFlags) {
    struct Case {
        bool progressive, interlaced, vuiFlag, expected;
    };
    for (const Case& c : {Case{true, true, false, true}, Case{true, false, true, false},
                          Case{false, true, true, false}, Case{false, false, true, false}}) {
        SpsDesc d;
        d.progressive = c.progressive;
        d.interlaced = c.interlaced;
        d.vui = true;
        d.frameFieldInfo = c.vuiFlag;
        const XP::CBuffer bytes = MakeBuffer(MakeSps(d));
        Cmf::HevcSps_t sps;
        ASSERT_TRUE(sps.Parse(Nal(bytes)));
        EXPECT_EQ(sps.vui.frameFieldInfoPresentFlag, c.expected)
            << c.progressive << c.interlaced << c.vuiFlag;
    }
}

TEST(HevcSyntaxTest, SpsRejectsWhatItCannotHold) {
    KestrelTest::ConsoleCapture console;
    struct Case {
        SpsDesc desc;
        Lines lines;
    };
    std::vector<Case> cases;
    SpsDesc tooManySets;
    tooManySets.rpsCountOverride = 66;
    cases.push_back({tooManySets, {"Too many Reference Picture Sets."}});
    SpsDesc seventeen;
    seventeen.rps.push_back(ExplicitRps{std::vector<std::pair<uint32_t, bool>>(17, {0, true}), {}});
    cases.push_back({seventeen, {"Num Pics too large.", "Error parsing Reference Picture Set."}});
    SpsDesc chroma;
    chroma.chromaFormatIdc = 4;
    cases.push_back({chroma, {"chroma_format_idc out of range"}});
    for (const Case& c : cases) {
        const XP::CBuffer bytes = MakeBuffer(MakeSps(c.desc));
        Cmf::HevcSps_t sps;
        EXPECT_FALSE(sps.Parse(Nal(bytes)));
        EXPECT_EQ(console.Take(), c.lines);
    }
    // 65 sets and 16 pictures are the limits, not beyond them.
    SpsDesc limits;
    limits.rps.assign(65, ExplicitRps{std::vector<std::pair<uint32_t, bool>>(16, {0, true}),
                                      std::vector<std::pair<uint32_t, bool>>(16, {1, false})});
    const XP::CBuffer bytes = MakeBuffer(MakeSps(limits));
    Cmf::HevcSps_t sps;
    ASSERT_TRUE(sps.Parse(Nal(bytes)));
    EXPECT_EQ(sps.stRps.sets[64].numDeltaPocs, 32);
    EXPECT_EQ(sps.stRps.sets[64].deltaPocS0[15], -16);
    EXPECT_EQ(sps.stRps.sets[64].deltaPocS1[15], 32);

    // Short and truncated forms: no read beyond the bytes.
    const XP::CBuffer fullSps = MakeBuffer(MakeSps(SpsDesc()));
    EXPECT_FALSE(sps.Parse(Nal(fullSps.Subslice(0, 20))));
    EXPECT_EQ(console.Take(), Lines{"SPS too small"});
    for (std::size_t size = 21; size < fullSps.GetSize(); ++size) {
        sps.Parse(
            Nal(MakeBuffer(std::vector<uint8_t>(fullSps.GetBegin(), fullSps.GetBegin() + size))));
    }
}

// Inter-set prediction (H.265 7.4.8) worked by hand: the reference set is {-1, -3 | +2}, all
// used; predicted with deltaRps = -1, keeping -3's successor out (use_delta_flag 0) and marking
// -1's successor unused: S0 = {-1 (the reference picture itself), -2 (unused)}, S1 = {+1}.
TEST(HevcSyntaxTest, PredictedReferencePictureSet) {
    BitWriter w;
    WriteExplicitRps(w, ExplicitRps{{{0, true}, {1, true}}, {{1, true}}}, false);
    w.Flag(true).Flag(true).Ue(0);  // predicted; delta_rps_sign 1, abs_delta_rps_minus1 0
    // j = 0 (-1): unused but kept; j = 1 (-3): dropped; j = 2 (+2): used; j = 3 (ref): used.
    w.Flag(false).Flag(true).Flag(false).Flag(false).Flag(true).Flag(true);
    // A slice header's set (index == count) may only refer back inside the SPS's sets.
    w.Flag(true).Ue(2).Trailing();
    const XP::CBuffer bytes = MakeBuffer(w.Rbsp());
    Cmf::RbspReader reader(bytes);
    Cmf::HevcShortTermRefPicSet_t rps;
    ASSERT_TRUE(rps.Parse(reader, 0, 2));
    ASSERT_TRUE(rps.Parse(reader, 1, 2));
    const auto& set = rps.sets[1];
    ASSERT_EQ(set.numNegativePics, 2);
    ASSERT_EQ(set.numPositivePics, 1);
    EXPECT_EQ(set.numDeltaPocs, 3);
    EXPECT_EQ(set.deltaPocS0[0], -1);
    EXPECT_EQ(set.usedByCurrPicS0[0], 1);
    EXPECT_EQ(set.deltaPocS0[1], -2);
    EXPECT_EQ(set.usedByCurrPicS0[1], 0);
    EXPECT_EQ(set.deltaPocS1[0], 1);
    EXPECT_EQ(set.usedByCurrPicS1[0], 1);

    KestrelTest::ConsoleCapture console;
    EXPECT_FALSE(rps.Parse(reader, 2, 2));
    EXPECT_EQ(console.Take(), Lines{"deltaIndex too large"});
}

TEST(HevcSyntaxTest, SliceTypeAfterThePpsFields) {
    KestrelTest::ConsoleCapture console;
    const XP::CBuffer plainPps = MakeBuffer(MakePps(false, 0));
    Cmf::HevcPps_t pps;
    ASSERT_TRUE(pps.Parse(Nal(plainPps)));
    EXPECT_FALSE(pps.dependentSliceSegmentsEnabled);
    Cmf::HevcSlice_t slice;
    // IDR (with no_output_of_prior_pics_flag), trailing, and a picture's later segment.
    ASSERT_TRUE(slice.Parse(Nal(MakeBuffer(MakeSlice(19, 2))), pps));
    EXPECT_EQ(slice.sliceType, Cmf::HevcSlice_t::SLICE_TYPE_I);
    ASSERT_TRUE(slice.Parse(Nal(MakeBuffer(MakeSlice(1, 0))), pps));
    EXPECT_EQ(slice.sliceType, Cmf::HevcSlice_t::SLICE_TYPE_B);
    ASSERT_TRUE(slice.Parse(Nal(MakeBuffer(MakeSlice(1, 1, false))), pps, 6));
    EXPECT_EQ(slice.sliceType, Cmf::HevcSlice_t::SLICE_TYPE_P);
    EXPECT_FALSE(slice.Parse(Nal(MakeBuffer(MakeSlice(1, 3))), pps));
    EXPECT_EQ(console.Take(), Lines{"slice_type out of range: 3"});

    // Extra slice header bits and dependent segments.
    const XP::CBuffer pps2Bytes = MakeBuffer(MakePps(true, 3));
    ASSERT_TRUE(pps.Parse(Nal(pps2Bytes)));
    EXPECT_TRUE(pps.dependentSliceSegmentsEnabled);
    EXPECT_EQ(pps.numExtraSliceHeaderBits, 3);
    ASSERT_TRUE(slice.Parse(Nal(MakeBuffer(MakeSlice(1, 1, true, 40, 3))), pps));
    EXPECT_EQ(slice.sliceType, Cmf::HevcSlice_t::SLICE_TYPE_P);
    BitWriter dep;
    dep.Flag(false).Ue(0).Flag(true).U(6, 9).U(32, 0).Trailing();  // dependent segment
    std::vector<uint8_t> nal{0x02, 0x01};
    nal.insert(nal.end(), dep.Rbsp().begin(), dep.Rbsp().end());
    ASSERT_TRUE(slice.Parse(Nal(MakeBuffer(nal)), pps, 6));
    EXPECT_FALSE(slice.sliceTypePresent);

    EXPECT_FALSE(pps.Parse(Nal(MakeBuffer({0x44, 0x01, 0xC0}))));
    EXPECT_FALSE(slice.Parse(Nal(MakeBuffer({0x02, 0x01, 0xC0, 0x00})), pps));
    EXPECT_EQ(console.Take(), (Lines{"PPS too small", "Slice too small"}));
}

TEST(HevcSyntaxTest, RangeChecksOfHrdAndPictureTiming) {
    KestrelTest::ConsoleCapture console;
    BitWriter hrd;
    hrd.Flag(true).Flag(false).Flag(false).U(4, 0).U(4, 0).U(15, 0);
    hrd.Flag(false).Flag(false).Flag(false).Ue(32).Trailing();
    const XP::CBuffer hrdBytes = MakeBuffer(hrd.Rbsp());
    Cmf::RbspReader hrdReader(hrdBytes);
    Cmf::HevcHrdParameters_t hrdParameters;
    EXPECT_FALSE(hrdParameters.Parse(hrdReader, true, 0));
    EXPECT_EQ(console.Take(), Lines{"cpb_cnt_minus1 out of range 32"});

    Cmf::HevcVuiParameters_t vui;
    vui.frameFieldInfoPresentFlag = true;
    const XP::CBuffer timing = MakeBuffer({0x25, 0x00});  // pic_struct 2, scan type 1
    Cmf::RbspReader reader(timing);
    Cmf::HevcPicTiming_t picTiming;
    ASSERT_TRUE(picTiming.Parse(reader, vui));
    EXPECT_EQ(picTiming.picStruct, Cmf::HevcPicTiming_t::PIC_STRUCT_BOT_FIELD);
    const XP::CBuffer badTiming = MakeBuffer({0xD0, 0x00});  // pic_struct 13
    Cmf::RbspReader badReader(badTiming);
    EXPECT_FALSE(picTiming.Parse(badReader, vui));
    EXPECT_EQ(console.Take(), Lines{"pic_struct out of range"});
}

}  // namespace
