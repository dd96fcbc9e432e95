#include "shared/utils/VideoOutputFormatGenerator.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr VideoScanType_e I = VIDEO_SCAN_TYPE_I;
constexpr VideoScanType_e P = VIDEO_SCAN_TYPE_P;
constexpr VideoAspectRatio_e W = VIDEO_ASPECT_RATIO_16X9;
constexpr VideoAspectRatio_e N = VIDEO_ASPECT_RATIO_4X3;

struct Format {
    uint32_t height, width;
    VideoScanType_e scan;
    VideoFrameRate_e rate;
    VideoAspectRatio_e aspect;
    uint32_t id;  // resolution x 1024 + scan x 256 + rate x 16 + aspect, by hand
};

// The board's output formats, in the order the controller sees them.
const Format OUTPUT_FORMATS[] = {
    {2160, 3840, P, VIDEO_FRAME_RATE_2398, W, 4096 + 256 + 16 + 3},
    {2160, 3840, P, VIDEO_FRAME_RATE_24, W, 4096 + 256 + 32 + 3},
    {2160, 3840, P, VIDEO_FRAME_RATE_25, W, 4096 + 256 + 48 + 3},
    {2160, 3840, P, VIDEO_FRAME_RATE_2997, W, 4096 + 256 + 64 + 3},
    {2160, 3840, P, VIDEO_FRAME_RATE_30, W, 4096 + 256 + 80 + 3},
    {2160, 3840, P, VIDEO_FRAME_RATE_50, W, 4096 + 256 + 96 + 3},
    {2160, 3840, P, VIDEO_FRAME_RATE_5994, W, 4096 + 256 + 112 + 3},
    {2160, 3840, P, VIDEO_FRAME_RATE_60, W, 4096 + 256 + 128 + 3},
    {2160, 4096, P, VIDEO_FRAME_RATE_2398, W, 5120 + 256 + 16 + 3},
    {2160, 4096, P, VIDEO_FRAME_RATE_24, W, 5120 + 256 + 32 + 3},
    {2160, 4096, P, VIDEO_FRAME_RATE_25, W, 5120 + 256 + 48 + 3},
    {2160, 4096, P, VIDEO_FRAME_RATE_2997, W, 5120 + 256 + 64 + 3},
    {2160, 4096, P, VIDEO_FRAME_RATE_30, W, 5120 + 256 + 80 + 3},
    {2160, 4096, P, VIDEO_FRAME_RATE_50, W, 5120 + 256 + 96 + 3},
    {2160, 4096, P, VIDEO_FRAME_RATE_5994, W, 5120 + 256 + 112 + 3},
    {2160, 4096, P, VIDEO_FRAME_RATE_60, W, 5120 + 256 + 128 + 3},
    {1080, 1920, P, VIDEO_FRAME_RATE_60, W, 3072 + 256 + 128 + 3},
    {1080, 1920, P, VIDEO_FRAME_RATE_5994, W, 3072 + 256 + 112 + 3},
    {1080, 1920, P, VIDEO_FRAME_RATE_50, W, 3072 + 256 + 96 + 3},
    {1080, 1920, P, VIDEO_FRAME_RATE_30, W, 3072 + 256 + 80 + 3},
    {1080, 1920, P, VIDEO_FRAME_RATE_2997, W, 3072 + 256 + 64 + 3},
    {1080, 1920, P, VIDEO_FRAME_RATE_25, W, 3072 + 256 + 48 + 3},
    {1080, 1920, P, VIDEO_FRAME_RATE_24, W, 3072 + 256 + 32 + 3},
    {1080, 1920, P, VIDEO_FRAME_RATE_2398, W, 3072 + 256 + 16 + 3},
    {1080, 1920, I, VIDEO_FRAME_RATE_30, W, 3072 + 80 + 3},
    {1080, 1920, I, VIDEO_FRAME_RATE_2997, W, 3139},
    {1080, 1920, I, VIDEO_FRAME_RATE_25, W, 3072 + 48 + 3},
    {720, 1280, P, VIDEO_FRAME_RATE_60, W, 2048 + 256 + 128 + 3},
    {720, 1280, P, VIDEO_FRAME_RATE_5994, W, 2048 + 256 + 112 + 3},
    {720, 1280, P, VIDEO_FRAME_RATE_50, W, 2048 + 256 + 96 + 3},
    {576, 720, I, VIDEO_FRAME_RATE_25, W, 1024 + 48 + 3},
    {576, 720, I, VIDEO_FRAME_RATE_25, N, 1024 + 48 + 2},
    {480, 720, I, VIDEO_FRAME_RATE_2997, W, 64 + 3},
    {480, 720, I, VIDEO_FRAME_RATE_2997, N, 64 + 2},
};

TEST(VideoOutputFormatGeneratorTest, ListsTheOutputFormatsInOrder) {
    VideoOutputFormatGenerator generator;
    const std::vector<UhdVideoFormatMatrix_t>& formats = generator.GetFormats();
    ASSERT_EQ(34u, formats.size());
    for (size_t i = 0; i < formats.size(); ++i) {
        const Format& want = OUTPUT_FORMATS[i];
        SCOPED_TRACE(testing::Message() << "row " << i + 1);
        EXPECT_EQ(want.height, formats[i].height);
        EXPECT_EQ(want.width, formats[i].width);
        EXPECT_EQ(want.scan, formats[i].scanType);
        EXPECT_EQ(want.rate, formats[i].frameRate);
        EXPECT_EQ(want.aspect, formats[i].aspectRatio);
        EXPECT_EQ(want.id, formats[i].uhdVideoFormat.GetId());

        // Every listed format is found, with its identifier.
        ValueState_t<UhdVidFormat> found =
            generator.GetFormat(want.height, want.width, want.scan, want.rate, want.aspect);
        EXPECT_TRUE(found.valid);
        EXPECT_EQ(want.id, found.value.GetId());
    }
}

TEST(VideoOutputFormatGeneratorTest, UnlistedFormatsAreInvalidButStillBuilt) {
    VideoOutputFormatGenerator generator;
    ValueState_t<UhdVidFormat> at24 = generator.GetFormat(1080, 1920, I, VIDEO_FRAME_RATE_24, W);
    EXPECT_FALSE(at24.valid);
    EXPECT_EQ(3072u + 32 + 3, at24.value.GetId());
    // 1440 wide has no resolution code of its own; an unknown rate counts as 23.98.
    ValueState_t<UhdVidFormat> odd =
        generator.GetFormat(1080, 1440, P, VIDEO_FRAME_RATE_UNKNOWN, W);
    EXPECT_FALSE(odd.valid);
    EXPECT_EQ(0u + 256 + 16 + 3, odd.value.GetId());

    // Each differs from a listed format in one value.
    EXPECT_FALSE(generator.GetFormat(1080, 1920, I, VIDEO_FRAME_RATE_2997, N).valid);
    EXPECT_FALSE(
        generator.GetFormat(1080, 1920, I, VIDEO_FRAME_RATE_2997, VIDEO_ASPECT_RATIO_UNKNOWN)
            .valid);
    EXPECT_FALSE(
        generator.GetFormat(1080, 1920, VIDEO_SCAN_TYPE_PSF, VIDEO_FRAME_RATE_25, W).valid);
    EXPECT_FALSE(generator.GetFormat(720, 1280, P, VIDEO_FRAME_RATE_25, W).valid);
    EXPECT_FALSE(generator.GetFormat(576, 720, I, VIDEO_FRAME_RATE_2997, W).valid);
}

}  // namespace
