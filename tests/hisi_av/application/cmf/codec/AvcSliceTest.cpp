#include "hisi_av/application/cmf/codec/data/AvcSlice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BitWriter.h"
#include "CodecTestUtil.h"
#include "ConsoleCapture.h"
#include "hisi_av/application/cmf/codec/AvcNal.h"
#include "hisi_av/application/cmf/codec/data/AvcSps.h"

namespace {

using Slice = Cmf::AvcSlice_t;
using Lines = std::vector<std::string>;

// An IDR slice NAL starting with the given fields, followed by zero bytes up to 8 bytes.
Cmf::AvcNal SliceNal(BitWriter w) {
    while (w.BitCount() < 8 * 8) {
        w.U(8, 0);
    }
    return Cmf::AvcNal(CodecTest::MakeNalBytes(0x65, w.Escaped()));
}

TEST(AvcSliceTest, SliceTypeAndFieldFlag) {
    const Slice::SliceType_e types[5] = {Slice::SLICE_TYPE_P, Slice::SLICE_TYPE_B,
                                         Slice::SLICE_TYPE_I, Slice::SLICE_TYPE_SP,
                                         Slice::SLICE_TYPE_SI};
    const Cmf::AvcSps_t sps;
    for (unsigned int type = 0; type < 10; ++type) {
        Slice slice;
        ASSERT_TRUE(slice.Parse(SliceNal(BitWriter().Ue(396).Ue(type)), false, sps));
        EXPECT_EQ(slice.sliceType, types[type % 5]) << type;
    }

    // colour_plane_id and a 7-bit frame_num, all ones: a parser that miscounts them reads a one
    // as field_pic_flag.
    Cmf::AvcSps_t fieldSps;
    fieldSps.separateColourPlaneFlag = true;
    fieldSps.log2MaxFrameNumMinus4 = 3;
    fieldSps.frameMbsOnlyFlag = false;
    Cmf::AvcSps_t frameSps = fieldSps;
    frameSps.frameMbsOnlyFlag = true;
    struct Case {
        bool fieldPicFlag;
        bool fullParse;
        const Cmf::AvcSps_t& sps;
        bool expected;
    };
    const Case cases[] = {{false, true, fieldSps, false},
                          {true, true, fieldSps, true},
                          {true, false, fieldSps, false},
                          {true, true, frameSps, false}};
    for (const Case& c : cases) {
        Slice slice;
        const BitWriter w = BitWriter().Ue(0).Ue(7).Ue(3).U(2, 3).U(7, 0x7F).Flag(c.fieldPicFlag);
        ASSERT_TRUE(slice.Parse(SliceNal(w), c.fullParse, c.sps));
        EXPECT_EQ(slice.sliceType, Slice::SLICE_TYPE_I);
        EXPECT_EQ(slice.fieldPicFlag, c.expected) << c.fieldPicFlag << c.fullParse;
    }
}

TEST(AvcSliceTest, Rejections) {
    KestrelTest::ConsoleCapture console;
    const Cmf::AvcSps_t sps;
    Slice slice;
    EXPECT_FALSE(slice.Parse(SliceNal(BitWriter().Ue(0).Ue(10)), false, sps));
    EXPECT_EQ(console.Take(), Lines{"slice_type out of range."});
    // Six payload bytes count as seven: too small; seven count as eight.
    const Cmf::AvcNal six(CodecTest::MakeNalBytes(0x41, std::vector<uint8_t>(6, 0xB8)));
    EXPECT_FALSE(slice.Parse(six, false, sps));
    EXPECT_EQ(console.Take(), Lines{"Slice too small"});
    const Cmf::AvcNal seven(CodecTest::MakeNalBytes(0x41, std::vector<uint8_t>(7, 0xB8)));
    EXPECT_TRUE(slice.Parse(seven, false, sps));
    EXPECT_EQ(slice.sliceType, Slice::SLICE_TYPE_I);  // 0xB8 = 1 | 011: slice_type 2
    EXPECT_TRUE(console.Lines().empty());
}

}  // namespace
