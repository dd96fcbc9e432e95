#include "shared/utils/UhdVidFormat.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using Fmt = UhdVidFormat;

// The identifier is resolution x 1024 + scan x 256 + rate x 16 + aspect; sizes per resolution
// code. Every code combination must survive packing and unpacking with the fields in their
// places, whichever constructor built it.
TEST(UhdVidFormatTest, EveryCodeCombinationRoundTripsThroughTheIdentifier) {
    struct Size {
        uint32_t height, width;
    };
    const Size sizes[] = {{480, 720},   {576, 720},   {720, 1280},
                          {1080, 1920}, {2160, 3840}, {2160, 4096}};
    for (uint32_t res = 0; res < 6; ++res) {
        for (uint32_t scan = 0; scan < 3; ++scan) {
            for (uint32_t rate = 1; rate <= 8; ++rate) {
                for (uint32_t aspect = 1; aspect <= 5; ++aspect) {
                    SCOPED_TRACE(testing::Message()
                                 << res << "/" << scan << "/" << rate << "/" << aspect);
                    const uint32_t id = res * 1024 + scan * 256 + rate * 16 + aspect;
                    Fmt fromCodes(static_cast<Fmt::Resolution_e>(res),
                                  static_cast<Fmt::ScanType_e>(scan),
                                  static_cast<Fmt::AspectRatio_e>(aspect),
                                  static_cast<Fmt::FrameRate_e>(rate));
                    Fmt fromSize(sizes[res].height, sizes[res].width,
                                 static_cast<Fmt::ScanType_e>(scan),
                                 static_cast<Fmt::AspectRatio_e>(aspect),
                                 static_cast<Fmt::FrameRate_e>(rate));
                    Fmt fromId(id);
                    EXPECT_EQ(id, fromCodes.GetId());
                    EXPECT_EQ(id, fromSize.GetId());
                    EXPECT_TRUE(fromId == fromCodes);
                    EXPECT_EQ(res, fromId.GetResolution());
                    EXPECT_EQ(sizes[res].height, fromId.GetHeight());
                    EXPECT_EQ(sizes[res].width, fromId.GetWidth());
                    EXPECT_EQ(scan, static_cast<uint32_t>(fromId.GetScanType()));
                    EXPECT_EQ(rate, static_cast<uint32_t>(fromId.GetFrameRate()));
                    EXPECT_EQ(aspect, static_cast<uint32_t>(fromId.GetAspectRatio()));
                }
            }
        }
    }
}

TEST(UhdVidFormatTest, Identifier3139Is1080i2997In16x9) {
    Fmt format(3139);
    EXPECT_EQ(1080u, format.GetHeight());
    EXPECT_EQ(1920u, format.GetWidth());
    EXPECT_EQ(Fmt::SCAN_TYPE_I, format.GetScanType());
    EXPECT_EQ(Fmt::FRAME_RATE_29_97, format.GetFrameRate());
    EXPECT_EQ(Fmt::ASPECT_RATIO_16x9, format.GetAspectRatio());
    EXPECT_EQ("1920x1080i 16x9 29.97fps", format.GetFormatString());
    EXPECT_EQ(3139u, format.GetId());

    Fmt copy;
    EXPECT_FALSE(copy == format);
    copy = format;
    EXPECT_TRUE(copy == format);
    EXPECT_EQ(3139u, copy.GetId());
}

TEST(UhdVidFormatTest, TextsOfEveryCodeAndOfUnknownCodes) {
    EXPECT_EQ("720x480p 4x3 23.98fps", Fmt(0x0000 + 0x100 + 0x10 + 2).GetFormatString());
    EXPECT_EQ("720x576psF 1x1 24.00fps", Fmt(1 * 1024 + 0x200 + 0x20 + 1).GetFormatString());
    EXPECT_EQ("1280x720p 2.21x1 25.00fps", Fmt(2 * 1024 + 0x100 + 0x30 + 4).GetFormatString());
    EXPECT_EQ("3840x2160p 1.9x1 30.00fps", Fmt(4 * 1024 + 0x100 + 0x50 + 5).GetFormatString());
    EXPECT_EQ("4096x2160p 16x9 50.00fps", Fmt(5 * 1024 + 0x100 + 0x60 + 3).GetFormatString());
    EXPECT_EQ("1920x1080i 16x9 59.94fps", Fmt(3 * 1024 + 0x70 + 3).GetFormatString());
    EXPECT_EQ("1920x1080i 16x9 60.00fps", Fmt(3 * 1024 + 0x80 + 3).GetFormatString());

    // All ones: resolution 0x3FFFFF, scan 3, rate 15, aspect 15 have no text and no size.
    Fmt unknown(0xFFFFFFFFu);
    EXPECT_EQ(0x3FFFFFu, unknown.GetResolution());
    EXPECT_EQ(0u, unknown.GetHeight());
    EXPECT_EQ(0u, unknown.GetWidth());
    EXPECT_EQ("(n/a)(n/a) (n/a) (n/a)fps", unknown.GetFormatString());
    // Rate and aspect 0 are below their enumerations.
    EXPECT_EQ("1920x1080i (n/a) (n/a)fps", Fmt(3 * 1024).GetFormatString());
    EXPECT_STREQ("(n/a)", Fmt::GetResolutionString(6));
    EXPECT_STREQ("(n/a)", Fmt::GetAspectRatioString(6));
    EXPECT_STREQ("(n/a)", Fmt::GetFrameRateString(9));
}

TEST(UhdVidFormatTest, SizeToResolution) {
    struct Case {
        uint32_t height, width, resolution;
    };
    const Case cases[] = {
        {480, 720, 0},  {576, 720, 1},   {1080, 720, 0},  {720, 1280, 2},  {1080, 1920, 3},
        {544, 1920, 3}, {2160, 3840, 4}, {2160, 4096, 5}, {1080, 1440, 0}, {0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.resolution, static_cast<uint32_t>(Fmt::SizeToResolution(c.height, c.width)))
            << c.width << "x" << c.height;
    }
}

TEST(UhdVidFormatTest, ControllerValuesToCodesAndBack) {
    // Indexed by the controller's value; values without a code become i, 23.98 and 16:9.
    const uint32_t scanCodes[] = {0, 0, 1, 2, 0};
    const uint32_t rateCodes[] = {1, 1, 2, 3, 4, 5, 6, 7, 8, 1};
    const uint32_t aspectCodes[] = {3, 3, 2, 3};
    for (int v = 0; v <= 9; ++v) {
        EXPECT_EQ(rateCodes[v], GetUhdFrameRate(static_cast<VideoFrameRate_e>(v))) << v;
        if (v <= 4) {
            EXPECT_EQ(scanCodes[v], GetUhdScanType(static_cast<VideoScanType_e>(v))) << v;
        }
        if (v <= 3) {
            EXPECT_EQ(aspectCodes[v], GetUhdAspectRatio(static_cast<VideoAspectRatio_e>(v))) << v;
        }
    }
    EXPECT_EQ(Fmt::FRAME_RATE_23_976, GetUhdFrameRate(static_cast<VideoFrameRate_e>(-1)));

    // Back: scan code + 1, rate as it is, aspect 2 and 3 only.
    EXPECT_EQ(VIDEO_SCAN_TYPE_I, VideoScanTypeFromUhd(Fmt::SCAN_TYPE_I));
    EXPECT_EQ(VIDEO_SCAN_TYPE_PSF, VideoScanTypeFromUhd(Fmt::SCAN_TYPE_PSF));
    EXPECT_EQ(VIDEO_FRAME_RATE_5994, VideoFrameRateFromUhd(Fmt::FRAME_RATE_59_94));
    const VideoAspectRatio_e aspects[] = {VIDEO_ASPECT_RATIO_UNKNOWN, VIDEO_ASPECT_RATIO_UNKNOWN,
                                          VIDEO_ASPECT_RATIO_4X3, VIDEO_ASPECT_RATIO_16X9,
                                          VIDEO_ASPECT_RATIO_UNKNOWN};
    for (uint32_t code = 0; code <= 4; ++code) {
        EXPECT_EQ(aspects[code], VideoAspectRatioFromUhd(code)) << code;
    }
}

}  // namespace
