#include "shared/utils/VideoScaler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "LogCapture.h"

namespace {

constexpr VideoScanType_e I = VIDEO_SCAN_TYPE_I;
constexpr VideoScanType_e P = VIDEO_SCAN_TYPE_P;
constexpr VideoScanType_e PSF = VIDEO_SCAN_TYPE_PSF;

constexpr VideoFrameRate_e R23_98 = VIDEO_FRAME_RATE_2398;
constexpr VideoFrameRate_e R24 = VIDEO_FRAME_RATE_24;
constexpr VideoFrameRate_e R25 = VIDEO_FRAME_RATE_25;
constexpr VideoFrameRate_e R29_97 = VIDEO_FRAME_RATE_2997;
constexpr VideoFrameRate_e R30 = VIDEO_FRAME_RATE_30;
constexpr VideoFrameRate_e R50 = VIDEO_FRAME_RATE_50;
constexpr VideoFrameRate_e R59_94 = VIDEO_FRAME_RATE_5994;
constexpr VideoFrameRate_e R60 = VIDEO_FRAME_RATE_60;
const std::vector<VideoFrameRate_e> ALL_RATES = {R23_98, R24, R25, R29_97, R30, R50, R59_94, R60};

// The scaler table written out from its group rules, independently of the table's source.
std::vector<ScalerSetting_t> RowsFromGroupRules() {
    std::vector<ScalerSetting_t> rows;
    auto add = [&rows](uint32_t h, uint32_t w, VideoScanType_e s, VideoFrameRate_e r, uint32_t outH,
                       uint32_t outW, VideoScanType_e outS, VideoFrameRate_e outR) {
        rows.push_back({h, w, s, r, outH, outW, outS, outR});
    };
    for (VideoFrameRate_e r : {R24, R25, R30, R50, R60}) {
        add(2160, 4096, P, r, 2160, 4096, P, r);
    }
    for (VideoFrameRate_e r : ALL_RATES) {
        add(2160, 3840, P, r, 2160, 3840, P, r);
    }
    // Every HD input: progressive at every rate, interlaced at 25, 29.97 and 30, to 1920x1080.
    auto hd = [&](uint32_t h, uint32_t w) {
        for (VideoFrameRate_e r : ALL_RATES) {
            add(h, w, P, r, 1080, 1920, P, r);
        }
        for (VideoFrameRate_e r : {R25, R29_97, R30}) {
            add(h, w, I, r, 1080, 1920, I, r);
        }
    };
    hd(1088, 1920);
    hd(1088, 1440);
    hd(1088, 960);
    hd(1080, 1920);
    hd(544, 1920);
    hd(540, 1920);
    hd(1080, 1440);
    hd(1080, 960);
    // 720 lines: progressive only, doubled up to 50, 59.94 or 60.
    for (uint32_t w : {1280u, 960u, 640u}) {
        add(720, w, P, R23_98, 720, 1280, P, R59_94);
        add(720, w, P, R24, 720, 1280, P, R60);
        add(720, w, P, R25, 720, 1280, P, R50);
        add(720, w, P, R29_97, 720, 1280, P, R59_94);
        add(720, w, P, R30, 720, 1280, P, R60);
        add(720, w, P, R50, 720, 1280, P, R50);
        add(720, w, P, R59_94, 720, 1280, P, R59_94);
        add(720, w, P, R60, 720, 1280, P, R60);
    }
    // 576 lines, all to 720x576 interlaced 25.
    add(576, 720, P, R24, 576, 720, I, R25);
    add(576, 720, P, R25, 576, 720, I, R25);
    add(576, 720, P, R50, 576, 720, I, R25);
    add(576, 720, I, R25, 576, 720, I, R25);
    add(576, 720, I, R50, 576, 720, I, R25);
    add(576, 704, I, R25, 576, 720, I, R25);
    for (uint32_t w : {544u, 480u, 352u}) {
        add(576, w, P, R24, 576, 720, I, R25);
        add(576, w, P, R25, 576, 720, I, R25);
        add(576, w, I, R25, 576, 720, I, R25);
    }
    // 480 lines, all to 720x480 interlaced 29.97 except the one 640-wide interlaced 25 row.
    for (uint32_t w : {720u, 704u, 640u, 544u, 528u, 480u, 352u}) {
        for (VideoFrameRate_e r : {R23_98, R24, R29_97, R30, R59_94, R60}) {
            add(480, w, P, r, 480, 720, I, R29_97);
        }
        if (w == 640) {
            add(480, 640, I, R25, 576, 720, I, R29_97);  // the exception
        }
        add(480, w, I, R29_97, 480, 720, I, R29_97);
        add(480, w, I, R30, 480, 720, I, R29_97);
    }
    return rows;
}

TEST(VideoScalerTest, TableFollowsTheGroupRules) {
    const std::vector<ScalerSetting_t> expected = RowsFromGroupRules();
    ASSERT_EQ(expected.size(), GetScalerTableSize());
    const ScalerSetting_t* table = GetScalerTable();
    for (size_t i = 0; i < expected.size(); ++i) {
        const ScalerSetting_t& want = expected[i];
        const ScalerSetting_t& got = table[i];
        SCOPED_TRACE(testing::Message()
                     << "row " << i << ": " << want.inWidth << "x" << want.inHeight << " scan "
                     << want.inScanType << " rate " << want.inFrameRate);
        EXPECT_EQ(want.inHeight, got.inHeight);
        EXPECT_EQ(want.inWidth, got.inWidth);
        EXPECT_EQ(want.inScanType, got.inScanType);
        EXPECT_EQ(want.inFrameRate, got.inFrameRate);
        EXPECT_EQ(want.outHeight, got.outHeight);
        EXPECT_EQ(want.outWidth, got.outWidth);
        EXPECT_EQ(want.outScanType, got.outScanType);
        EXPECT_EQ(want.outFrameRate, got.outFrameRate);
    }
    EXPECT_EQ(0u, table[expected.size()].inHeight);
}

struct Picture {
    uint32_t height, width;
    VideoScanType_e scan;
    VideoFrameRate_e rate;
    VideoAspectRatio_e aspect = VIDEO_ASPECT_RATIO_4X3;
    bool operator==(const Picture& o) const {
        return height == o.height && width == o.width && scan == o.scan && rate == o.rate &&
               aspect == o.aspect;
    }
};

std::ostream& operator<<(std::ostream& os, const Picture& p) {
    return os << p.width << "x" << p.height << " scan " << p.scan << " rate " << p.rate
              << " aspect " << p.aspect;
}

TEST(VideoScalerTest, FitsPicturesToProducibleFormats) {
    struct Case {
        Picture in, out;
    };
    const Case cases[] = {
        {{1080, 1440, I, R25}, {1080, 1920, I, R25}},
        {{720, 1280, P, R25}, {720, 1280, P, R50}},
        {{240, 352, I, R29_97}, {480, 720, I, R29_97}},
        {{240, 352, P, R50}, {576, 720, I, R25}},
        {{1080, 351, I, R50}, {576, 720, I, R25}},
        // 4096 wide has no 23.98 row: the next faster row is produced as it is.
        {{2160, 4096, P, R23_98}, {2160, 4096, P, R24}},
        {{2160, 3840, P, R29_97}, {2160, 3840, P, R29_97}},
        // Too narrow for the 2160 rows: the first row of the next height down that fits.
        {{2160, 1920, P, R60}, {1080, 1920, P, R60}},
        {{1088, 1920, I, R29_97}, {1080, 1920, I, R29_97}},
        {{544, 1920, I, R25}, {1080, 1920, I, R25}},
        // No row has the picture's scan: the first row that fits is produced.
        {{1080, 1920, PSF, R25}, {1080, 1920, P, R25}},
        // 1000 wide skips the 1920- and 1440-wide rows, the 544- and 540-line ones between too.
        {{1080, 1000, I, R25}, {1080, 1920, I, R25}},
        // 720-line rows are all progressive: an interlaced 720-line picture still gets 720p,
        // the interlaced 576-line rows further down are never reached.
        {{720, 1280, I, R25}, {720, 1280, P, R50}},
        {{576, 720, P, R30}, {576, 720, I, R25}},
        // Faster than any 576-line row: the 480-line rows take it.
        {{576, 720, P, R60}, {480, 720, I, R29_97}},
        {{480, 640, I, R25}, {576, 720, I, R29_97}},
        {{480, 640, I, R29_97}, {480, 720, I, R29_97}},
        {{480, 704, I, R25}, {480, 720, I, R29_97}},
        // Faster than every row, or a negative rate: the fallback.
        {{1080, 1920, P, VIDEO_FRAME_RATE_END}, {480, 720, I, R29_97}},
        {{1080, 1920, P, static_cast<VideoFrameRate_e>(-1)}, {480, 720, I, R29_97}},
    };
    for (const Case& c : cases) {
        Picture p = c.in;  // 4:3 in and out: the scaler keeps the aspect ratio
        GetValidScalerSettings(p.height, p.width, p.scan, p.rate, p.aspect, 0);
        EXPECT_EQ(c.out, p) << "from " << c.in;
    }
}

TEST(VideoScalerTest, LogsBadArguments) {
    KestrelTest::LogCapture log;
    const Picture hd{1080, 1920, I, R25, VIDEO_ASPECT_RATIO_16X9};
    Picture p = hd;
    GetValidScalerSettings(p.height, p.width, p.scan, p.rate, p.aspect, 1);
    EXPECT_EQ(hd, p);
    EXPECT_EQ(std::vector<std::string>{"ERROR raduva.outputmanager: OutputManager::"
                                       "GetValidScalerSettings, videoIndex is out of range (0), "
                                       "actual: 1"},
              log.Take());
    GetValidScalerSettings(p.height, p.width, p.scan, p.rate, p.aspect, 0);
    EXPECT_TRUE(log.Take().empty());

    // A missing height is logged, then handled like any too small picture.
    p = {0, 1920, P, R50, VIDEO_ASPECT_RATIO_16X9};
    GetValidScalerSettings(p.height, p.width, p.scan, p.rate, p.aspect, 0);
    EXPECT_EQ((Picture{576, 720, I, R25, VIDEO_ASPECT_RATIO_16X9}), p);
    EXPECT_EQ(std::vector<std::string>{"WARN raduva.outputmanager: OutputManager::"
                                       "GetValidScalerSettings invalid input: height: 0, width: "
                                       "1920, frameRate: 6, videoIndex: 0"},
              log.Take());

    // An unknown rate is logged too; any row is fast enough for it.
    p = {1080, 1920, I, VIDEO_FRAME_RATE_UNKNOWN, VIDEO_ASPECT_RATIO_16X9};
    GetValidScalerSettings(p.height, p.width, p.scan, p.rate, p.aspect, 0);
    EXPECT_EQ(hd, p);
    EXPECT_EQ(1u, log.Take().size());
}

// getVideoMode as the format tables state it, by rate code 0 to 8 (other rates take the entry
// of the "else" case, which is the one at 0).
int ExpectedMode(const Picture& p) {
    const int P1080[9] = {19, 23, 22, 21, 20, 19, 18, 17, 16};
    const int I1080[9] = {24, 24, 24, 26, 25, 24, 24, 24, 24};
    const int P720[9] = {29, 29, 29, 29, 29, 29, 31, 30, 29};
    const int P3840[9] = {11, 15, 14, 13, 12, 11, 10, 9, 8};
    const int P4096[9] = {3, 7, 6, 5, 4, 3, 2, 1, 0};
    const int r = p.rate >= 0 && p.rate <= 8 ? p.rate : 0;
    const bool wide = p.aspect == VIDEO_ASPECT_RATIO_16X9;
    switch (p.height) {
        case 480:
            return wide ? 35 : 39;
        case 576:
            return wide ? 33 : 37;
        case 720:
            return P720[r];
        case 1080:
            return p.scan == P ? P1080[r] : p.scan == PSF ? 0 : I1080[r];
        case 2160:
            return p.width == 3840 ? P3840[r] : p.width == 4096 ? P4096[r] : 0;
        default:
            return 8;
    }
}

// Every combination of the sizes, scans (0-3), rates (0-9) and aspects (0-2) the modes tell
// apart, with a few sizes no mode has.
template <typename F>
void ForEachPicture(F check) {
    for (uint32_t height : {0u, 480u, 540u, 576u, 720u, 1080u, 1088u, 2160u}) {
        for (uint32_t width : {720u, 1280u, 1920u, 3840u, 4096u}) {
            for (int scan = 0; scan <= 3; ++scan) {
                for (int rate = 0; rate <= 9; ++rate) {
                    for (int aspect = 0; aspect <= 2; ++aspect) {
                        check(Picture{height, width, static_cast<VideoScanType_e>(scan),
                                      static_cast<VideoFrameRate_e>(rate),
                                      static_cast<VideoAspectRatio_e>(aspect)});
                    }
                }
            }
        }
    }
}

TEST(VideoScalerTest, VideoModeOfEverySizeScanRateAndAspect) {
    ForEachPicture([](const Picture& p) {
        EXPECT_EQ(ExpectedMode(p), getVideoMode(p.height, p.width, p.scan, p.rate, p.aspect, 0))
            << p;
    });
}

TEST(VideoScalerTest, StandardDefinitionBesideEachOutputFormat) {
    const std::set<int> ntscFamily = {16, 17, 19, 20, 22, 23, 24, 25, 29, 30};
    const std::set<int> palFamily = {18, 21, 26, 31};
    std::set<int> modesSeen;
    ForEachPicture([&](const Picture& in) {
        const int mode = ExpectedMode(in);
        modesSeen.insert(mode);
        Picture want = in;
        if (ntscFamily.count(mode) != 0) {
            want = {480, 720, I, R29_97, VIDEO_ASPECT_RATIO_16X9};
        } else if (palFamily.count(mode) != 0) {
            want = {576, 720, I, R25, VIDEO_ASPECT_RATIO_16X9};
        }
        Picture p = in;
        EXPECT_TRUE(GetSDFormatSimultaneousHD(p.width, p.height, p.scan, p.rate, p.aspect));
        EXPECT_EQ(want, p) << "from " << in << ", mode " << mode;
    });
    // Every mode getVideoMode gives appeared: all but 1080i at 24 and 23.98, PAL-N, PAL-M and
    // the invalid value.
    EXPECT_EQ(41u - 7u, modesSeen.size());
}

}  // namespace
