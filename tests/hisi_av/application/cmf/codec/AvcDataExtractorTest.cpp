#include "hisi_av/application/cmf/codec/AvcDataExtractor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "AvcStreamWriter.h"
#include "BitWriter.h"
#include "CodecTestUtil.h"
#include "ConsoleCapture.h"
#include "hisi_av/application/cmf/codec/AvcAu.h"
#include "xptools/Clock.h"
#include "xptools/Print.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;
using Info = Cmf::VideoCodecInfo_t;
using Pic = Cmf::PictureInfo_t;
using Vui = Cmf::AvcVuiParameters_t;
using CodecTest::MakeBuffer;
using namespace AvcStreamWriter;

// An access unit in byte-stream form (AUD first), its start codes found by AvcAu itself.
Cmf::AvcAu MakeAu(const std::vector<Bytes>& nals, uint64_t pts90k = 0, bool withPts = true) {
    const Bytes bytes = AccessUnitBytes(nals);
    return Cmf::AvcAu(MakeBuffer(bytes), withPts ? Cmf::Pcr(pts90k, 0) : Cmf::Pcr(), Cmf::Pcr(),
                      {});
}

std::string Hex(const uint8_t* begin, const uint8_t* end) {
    std::ostringstream o;
    for (const uint8_t* p = begin; p != end; ++p) {
        o << "0123456789abcdef"[*p >> 4] << "0123456789abcdef"[*p & 15];
    }
    return o.str();
}

std::string Describe(const Info& info) {
    std::ostringstream o;
    o << info.pic.width << "x" << info.pic.height << " scan " << info.pic.scan << " fps "
      << info.pic.frameRateNum << "/" << info.pic.frameRateDen << " dar " << info.aspectNum << ":"
      << info.aspectDen << " (" << info.pic.aspectRatioNum << ":" << info.pic.aspectRatioDen
      << ") fmt " << info.pic.pixelFormat.format << (info.pic.pixelFormat.hwFrame ? " hw" : "")
      << " profile " << info.profile << " level " << info.level << " tier " << info.tier << " tc "
      << info.pic.transChars << " enc " << info.encodingType;
    return o.str();
}

// Every publication of an extractor, in order, as one line each.
class Recorder {
public:
    explicit Recorder(Cmf::VideoDataExtractor& extractor) {
        extractor.SubscribeInfo(XP::MakeFunctor<&Recorder::OnInfo>(this));
        extractor.SubscribeCcPacket(XP::MakeFunctor<&Recorder::OnCc>(this));
        extractor.Subscribe(XP::MakeFunctor<&Recorder::OnAu>(this));
    }
    void OnInfo(const Info& info) {
        infos.push_back(info);
        events.push_back("info " + Describe(info));
    }
    void OnCc(const Cmf::CcPacket_t& packet) {
        events.push_back("cc " +
                         (packet.pts.IsValid() ? std::to_string(packet.pts.GetBase()) : "-") + " " +
                         Hex(packet.data.GetBegin(), packet.data.GetEnd()));
    }
    void OnAu(const Cmf::VideoAccessUnit& au) {
        aus.push_back(au.GetCodecInfo());
        events.push_back("au " + std::to_string(au.GetFrameType()) + " " +
                         (au.GetPts().IsValid() ? std::to_string(au.GetPts().GetBase()) : "-") +
                         " " + std::to_string(au.GetSize()));
    }
    std::vector<Info> infos;
    std::vector<Info> aus;  // the information each access unit carried
    Lines events;
};

class AvcDataExtractorTest : public ::testing::Test {
protected:
    Cmf::SharedScheduler m_Scheduler;
};

template <typename Modify>
SpsFields Sps(Modify modify) {
    SpsFields fields;
    modify(fields);
    return fields;
}

TEST(AvcExtractDataFromSpsTest, SizeRateFormatProfileLevelAndTransfer) {
    // Pixel formats: YUV420P 0, YUV422P10 4. Profiles: CONSTRAINED_BASELINE 8, MAIN 9, HIGH 11,
    // HIGH422 13, HIGH444_INTRA 21. Levels: 1_B 6, 3 13, 4 16, 6_2 24. Transfer: BT709 1,
    // SMPTE2084 14, ARIB_STD_B67 16. Scan: unknown 0, progressive 1.
    struct Case {
        const char* what;
        SpsFields fields;
        std::string expected;
        Lines console = {};
    };
    const std::vector<Case> cases = {
        {"x264 1080p: 1088 coded, bottom crop 4 (8 lines at 4:2:0), 60 ticks a second",
         Sps([](SpsFields& s) { s.crop[3] = 4, s.numUnitsInTick = 1, s.timeScale = 60; }),
         "1920x1080 scan 1 fps 30/1 dar 16:9 (16:9) fmt 0 profile 11 level 16 tier 0 tc 0 enc 0"},
        {"uncropped 1088 is 1080 too; 29.97 Hz", Sps([](SpsFields& s) {
             s.numUnitsInTick = 1001, s.timeScale = 60000, s.transferCharacteristics = 1;
         }),
         "1920x1080 scan 1 fps 30000/1001 dar 16:9 (16:9) fmt 0 profile 11 level 16 tier 0 tc 1 "
         "enc 0"},
        {"Main 576 lines of fields: scan left to the pictures; 12:11 samples",
         Sps([](SpsFields& s) {
             s.profileIdc = 77, s.levelIdc = 30, s.frameMbsOnly = false, s.widthMbs = 45;
             s.heightMapUnits = 18, s.aspectRatioIdc = 2, s.numUnitsInTick = 1, s.timeScale = 50;
         }),
         "720x576 scan 0 fps 25/1 dar 4:3 (4:3) fmt 0 profile 9 level 13 tier 0 tc 0 enc 0"},
        {"4:2:2 10-bit fields: crop units 2 across, 2 down", Sps([](SpsFields& s) {
             s.profileIdc = 122, s.chromaFormatIdc = 2, s.bitDepthLuma = 10;
             s.frameMbsOnly = false, s.heightMapUnits = 34, s.crop[0] = 1, s.crop[1] = 1;
             s.crop[3] = 4, s.transferCharacteristics = 16;
         }),
         "1916x1080 scan 0 fps 0/1 dar 479:270 (479:270) fmt 4 profile 13 level 16 tier 0 tc 14 "
         "enc 0"},
        {"4:4:4 Intra (constraint_set3): crop unit 1 both ways", Sps([](SpsFields& s) {
             s.profileIdc = 244, s.constraintFlags = 0x10, s.levelIdc = 62;
             s.chromaFormatIdc = 3, s.widthMbs = 20, s.heightMapUnits = 15, s.crop[1] = 3;
             s.crop[3] = 5, s.transferCharacteristics = 18;
         }),
         "317x235 scan 1 fps 0/1 dar 317:235 (317:235) fmt 0 profile 21 level 24 tier 0 tc 16 "
         "enc 0"},
        {"Constrained Baseline at level 1b; signal type without colour description",
         Sps([](SpsFields& s) {
             s.profileIdc = 66, s.constraintFlags = 0x50, s.levelIdc = 11, s.widthMbs = 11;
             s.heightMapUnits = 9, s.signalTypeWithoutColour = true;
         }),
         "176x144 scan 1 fps 0/1 dar 11:9 (11:9) fmt 0 profile 8 level 6 tier 0 tc 0 enc 0"},
        {"Progressive High codes frames whatever the SPS flag says; transfer 2 is unspecified",
         Sps([](SpsFields& s) {
             s.constraintFlags = 0x08, s.frameMbsOnly = false, s.heightMapUnits = 34;
             s.transferCharacteristics = 2;
         }),
         "1920x1080 scan 1 fps 0/1 dar 16:9 (16:9) fmt 0 profile 11 level 16 tier 0 tc 0 enc 0"},
        {"monochrome: reported, cropped in whole samples",
         Sps([](SpsFields& s) {
             s.chromaFormatIdc = 0, s.widthMbs = 4, s.heightMapUnits = 4, s.crop[0] = 1;
             s.crop[3] = 3;
         }),
         "63x61 scan 1 fps 0/1 dar 63:61 (63:61) fmt 0 profile 11 level 16 tier 0 tc 0 enc 0",
         {"Invalid Chroma Format 0"}},
    };
    for (const Case& c : cases) {
        Cmf::AvcSps_t sps;
        KestrelTest::ConsoleCapture console;
        const XP::CBuffer bytes = MakeBuffer(SpsNal(c.fields));
        ASSERT_TRUE(sps.Parse(Cmf::AvcNal(bytes))) << c.what;
        EXPECT_EQ(Describe(Cmf::AvcDataExtractor::ExtractDataFromSps(sps)), c.expected) << c.what;
        EXPECT_EQ(console.Lines(), c.console) << c.what;
    }
}

TEST(AvcAspectRatioTest, TableE1ExamplesGiveTheirExactRatio) {
    struct Case {
        int idc;  // -1: no aspect ratio info
        std::size_t width, height, num, den;
        uint16_t sarWidth = 0, sarHeight = 0;  // for 255
    };
    // The sizes Table E-1 of H.264 gives as examples for each sample aspect ratio, with the
    // display ratio they stand for; then other sizes, which get size x SAR reduced.
    const Case cases[] = {
        {2, 720, 576, 4, 3},
        {2, 352, 288, 4, 3},
        {3, 720, 480, 4, 3},
        {3, 352, 240, 4, 3},
        {4, 720, 576, 16, 9},
        {4, 540, 576, 4, 3},
        {5, 720, 480, 16, 9},
        {5, 540, 480, 4, 3},
        {6, 352, 576, 4, 3},
        {6, 480, 576, 16, 9},
        {7, 352, 480, 4, 3},
        {7, 480, 480, 16, 9},
        {8, 352, 576, 16, 9},
        {9, 352, 480, 16, 9},
        {10, 480, 576, 4, 3},
        {11, 480, 480, 4, 3},
        {12, 528, 576, 16, 9},
        {13, 528, 480, 16, 9},
        {14, 1440, 1080, 16, 9},
        {15, 1280, 1080, 16, 9},
        {16, 960, 1080, 16, 9},
        // Not examples: 544x576 at 12:11 is 6528:6336; 720x480 at 12:11 is 8640:5280.
        {2, 544, 576, 34, 33},
        {2, 720, 480, 18, 11},
        {3, 720, 576, 25, 22},
        {14, 1920, 1080, 64, 27},
        {8, 480, 576, 80, 33},
        // Square, unspecified and reserved values keep the picture's own ratio.
        {1, 720, 576, 5, 4},
        {0, 720, 576, 5, 4},
        {17, 720, 576, 5, 4},
        {-1, 1280, 720, 16, 9},
        // Extended: sar_width:sar_height; a zero denominator is taken as 1.
        {255, 640, 480, 5, 3, 5, 4},
        {255, 640, 480, 640, 1, 1, 0},
        {255, 640, 480, 0, 1, 0, 0},
    };
    for (const Case& c : cases) {
        Vui vui;
        vui.aspectRatioInfoPresentFlag = c.idc >= 0;
        vui.aspectRatioIdc = static_cast<Vui::AspectRatioIdc_e>(c.idc < 0 ? 0 : c.idc);
        vui.sarWidth = c.sarWidth;
        vui.sarHeight = c.sarHeight;
        std::size_t num = 0;
        std::size_t den = 0;
        Cmf::AvcDataExtractor::CalculateAspectRatio(vui, c.width, c.height, num, den);
        EXPECT_EQ(std::to_string(num) + ":" + std::to_string(den),
                  std::to_string(c.num) + ":" + std::to_string(c.den))
            << "idc " << c.idc << " at " << c.width << "x" << c.height;
    }
}

TEST_F(AvcDataExtractorTest, PublishesInformationOnChangeThenCaptionsThenTheAccessUnit) {
    Cmf::AvcDataExtractor extractor(m_Scheduler);
    Recorder recorder(extractor);
    const SpsFields hd =
        Sps([](SpsFields& s) { s.crop[3] = 4, s.numUnitsInTick = 1001, s.timeScale = 60000; });
    SpsFields sd = hd;
    sd.widthMbs = 45, sd.heightMapUnits = 36, sd.crop[3] = 0, sd.aspectRatioIdc = 4;
    const std::string rest =
        " scan 1 fps 30000/1001 dar 16:9 (16:9) fmt 0 profile 11 level 16 tier 0 tc 0 enc 0";
    const std::string hdInfo = "info 1920x1080" + rest;
    const std::string sdInfo = "info 720x576" + rest;
    const std::string cc = "c2fffc9420fe4142ff";
    const Bytes sei = SeiNal({{4, T35(49, "GA94", 3)}});

    struct Step {
        Cmf::AvcAu au;
        Lines events;     // before the access unit's own line
        int frameType;    // 1 B, 2 P, 3 I
        std::string pts;  // of the access unit
    };
    const std::vector<Step> steps = {
        // Before any SPS: the access unit carries the default information.
        {MakeAu({SliceNal(0)}, 100), {}, 2, "100"},
        {MakeAu({SpsNal(hd), sei, SliceNal(7, true)}, 3100), {hdInfo, "cc 3100 " + cc}, 3, "3100"},
        // The same SPS again: nothing new to say.
        {MakeAu({SpsNal(hd), sei, SliceNal(1)}, 6100), {"cc 6100 " + cc}, 1, "6100"},
        // An access unit without PTS gives caption packets without one.
        {MakeAu({sei, SliceNal(5)}, 0, false), {"cc - " + cc}, 2, "-"},
        {MakeAu({SpsNal(sd), SliceNal(2)}, 9100), {sdInfo}, 3, "9100"},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        recorder.events.clear();
        extractor.PutAu(steps[i].au);
        Lines expected = steps[i].events;
        expected.push_back("au " + std::to_string(steps[i].frameType) + " " + steps[i].pts + " " +
                           std::to_string(steps[i].au.GetSize()));
        EXPECT_EQ(recorder.events, expected) << "step " << i;
    }
    ASSERT_EQ(recorder.aus.size(), 5u);
    EXPECT_EQ(recorder.aus[0], Info());
    EXPECT_EQ(recorder.aus[3], recorder.infos[0]);
    EXPECT_EQ(extractor.GetCodecInfo(), recorder.infos[1]);
}

TEST_F(AvcDataExtractorTest, ScanAndCodingOfFieldCapableStreams) {
    const SpsFields fields =
        Sps([](SpsFields& s) { s.frameMbsOnly = false, s.heightMapUnits = 34; });
    SpsFields timed = fields;
    timed.picStructPresent = true;
    using E = Info;
    struct Case {
        const char* what;
        std::vector<Bytes> nals;
        Pic::ScanType_e scan;
        Info::EncodingType_e encoding;
    };
    // pic_struct (H.264 Table D-1) 1 top field, 3 top-bottom, 7 frame doubling, 9 reserved;
    // ct_type 0 progressive, 1 interlaced, 2 unknown, 3 reserved.
    const std::vector<Case> cases = {
        {"ct_type progressive beats a field structure",
         {SpsNal(timed), SeiNal({{5, Bytes(300, 0x11)}, {1, PicTiming(1, 0)}}),
          SliceNal(2, true, false, true)},
         Pic::SCAN_PROGRESSIVE,
         E::ENCODING_TYPE_FIELD_ENCODING},
        {"ct_type interlaced on a doubled frame",
         {SpsNal(timed), SeiNal({{1, PicTiming(7, 1)}}), SliceNal(2, true, false)},
         Pic::SCAN_INTERLACED,
         E::ENCODING_TYPE_FRAME_ENCODING},
        {"unknown ct_type: pic_struct top-bottom",
         {SpsNal(timed), SeiNal({{1, PicTiming(3, 2)}}), SliceNal(2, true, false)},
         Pic::SCAN_INTERLACED,
         E::ENCODING_TYPE_FRAME_ENCODING},
        {"reserved ct_type, frame tripling",
         {SpsNal(timed), SeiNal({{1, PicTiming(8, 3)}})},
         Pic::SCAN_PROGRESSIVE,
         E::ENCODING_TYPE_FRAME_ENCODING},
        {"reserved pic_struct: field_pic_flag decides",
         {SpsNal(timed), SeiNal({{1, PicTiming(9, -1)}}), SliceNal(2, true, false, true)},
         Pic::SCAN_INTERLACED,
         E::ENCODING_TYPE_UNKNOWN},
        {"no SEI, frame slice",
         {SpsNal(fields), SliceNal(2, true, false, false)},
         Pic::SCAN_PROGRESSIVE,
         E::ENCODING_TYPE_UNKNOWN},
    };
    for (const Case& c : cases) {
        Cmf::AvcDataExtractor extractor(m_Scheduler);
        Recorder recorder(extractor);
        extractor.PutAu(MakeAu(c.nals));
        ASSERT_EQ(recorder.infos.size(), 1u) << c.what;
        EXPECT_EQ(recorder.infos[0].pic.scan, c.scan) << c.what;
        EXPECT_EQ(recorder.infos[0].encodingType, c.encoding) << c.what;
    }

    // Nothing to go by: progressive, with a trace.
    Lines traces;
    const XP::DebugSink previous =
        XP::SetDebugSink([&traces](const std::string& line) { traces.push_back(line); });
    Cmf::AvcDataExtractor extractor(m_Scheduler);
    Recorder recorder(extractor);
    extractor.PutAu(MakeAu({SpsNal(fields)}));
    XP::SetDebugSink(previous);
    ASSERT_EQ(recorder.infos.size(), 1u);
    EXPECT_EQ(recorder.infos[0].pic.scan, Pic::SCAN_PROGRESSIVE);
    EXPECT_EQ(traces, Lines{"SPS and SEI inconclusive. Assuming SCAN_TYPE_PROGRESSIVE"});

    // A change of coding alone is no new information.
    extractor.PutAu(MakeAu({SpsNal(timed), SeiNal({{1, PicTiming(3, 1)}}), SliceNal(2)}));
    extractor.PutAu(MakeAu({SpsNal(timed), SeiNal({{1, PicTiming(1, 1)}}), SliceNal(2)}));
    ASSERT_EQ(recorder.infos.size(), 2u);
    EXPECT_EQ(recorder.infos[1].encodingType, E::ENCODING_TYPE_FRAME_ENCODING);
}

TEST_F(AvcDataExtractorTest, FrameTypeFromTheFirstSlice) {
    // slice_type modulo 5: 0 P, 1 B, 2 I, 3 SP, 4 SI. Frame types: 1 B, 2 P, 3 I, 0 unknown.
    const Lines unable{"Unable to determine AVC frame type"};
    const std::vector<std::tuple<std::vector<Bytes>, std::string, Lines>> cases = {
        {{SliceNal(0)}, "au 2", {}},
        {{SliceNal(6)}, "au 1", {}},
        {{SliceNal(7, true)}, "au 3", {}},
        {{SliceNal(1), SliceNal(2)}, "au 1", {}},
        {{SliceNal(3)}, "au 0", unable},
        {{SliceNal(9)}, "au 0", unable},
        {{SliceNal(10)}, "au 0", {"slice_type out of range."}},
        {{SeiNal({{5, Bytes(4, 1)}})}, "au 0", {}},
    };
    for (const auto& [nals, frameType, lines] : cases) {
        Cmf::AvcDataExtractor extractor(m_Scheduler);
        Recorder recorder(extractor);
        KestrelTest::ConsoleCapture console;
        extractor.PutAu(MakeAu(nals));
        ASSERT_EQ(recorder.events.size(), 1u);
        EXPECT_EQ(recorder.events[0].substr(0, 4), frameType) << recorder.events[0];
        EXPECT_EQ(console.Lines(), lines) << recorder.events[0];
    }
}

TEST_F(AvcDataExtractorTest, CaptionsOnlyFromTheFirstCaptionT35OfEachSeiNal) {
    const Bytes other = {0xC1, 0xFF, 0xFD, 0x80, 0x80, 0xFF};
    const Bytes directv = {0xC1, 0xFF, 0xFC, 0x20, 0x21, 0xFF};
    struct Case {
        const char* what;
        std::vector<Bytes> nals;
        Lines captions;
    };
    const std::vector<Case> cases = {
        {"ATSC after other messages; a second T.35 in the same NAL is not looked at",
         {SeiNal({{5, Bytes(300, 0x77)},
                  {6, {0x80}},
                  {4, T35(49, "GA94", 3)},
                  {4, T35(49, "GA94", 3, other)}}),
          SliceNal(2)},
         {"c2fffc9420fe4142ff"}},
        {"one per SEI NAL, in order, DirecTV too",
         {SeiNal({{4, DirecTvT35(directv)}}), SeiNal({{4, T35(49, "GA94", 3, other)}}),
          SliceNal(2)},
         {"c1fffc2021ff", "c1fffd8080ff"}},
        {"bar data, AFD, other identifiers, providers and countries",
         {SeiNal({{4, T35(49, "GA94", 6)}}), SeiNal({{4, T35(49, "DTG1", 3)}}),
          SeiNal({{4, T35(49, "GA95", 3)}}), SeiNal({{4, T35(50, "GA94", 3)}}),
          SeiNal({{4, Bytes{0xB4, 0x00, 0x31, 'G', 'A', '9', '4', 0x03, 0xC1}}})},
         {}},
        {"a first T.35 without captions hides a later one",
         {SeiNal({{4, T35(49, "DTG1", 3)}, {4, T35(49, "GA94", 3)}})},
         {}},
    };
    for (const Case& c : cases) {
        Cmf::AvcDataExtractor extractor(m_Scheduler);
        Recorder recorder(extractor);
        extractor.PutAu(MakeAu(c.nals, 4242));
        Lines captions;
        for (const std::string& event : recorder.events) {
            if (event.rfind("cc 4242 ", 0) == 0) {
                captions.push_back(event.substr(8));
            }
        }
        EXPECT_EQ(captions, c.captions) << c.what;
    }
}

// The bit-rate subscriber runs on the scheduler's thread.
class BitrateLog {
public:
    void OnBitrate(unsigned long long bitsPerSecond) {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Rates.push_back(bitsPerSecond);
    }
    std::vector<unsigned long long> Rates() const {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_Rates;
    }

private:
    mutable std::mutex m_Mutex;
    std::vector<unsigned long long> m_Rates;
};

TEST(AvcDataExtractorBitrateTest, EveryTwoSecondsOnTheSchedulerUntilDestroyed) {
    XP::ManualClock clock;
    Cmf::SharedScheduler scheduler;
    BitrateLog log;
    const Cmf::AvcAu picture = MakeAu({SliceNal(0, false, true, false)});
    const std::size_t pictureBytes = picture.GetSize();
    {
        Cmf::AvcDataExtractor extractor(scheduler);
        extractor.SubscribeVideoBitrate(XP::MakeFunctor<&BitrateLog::OnBitrate>(&log));
        ASSERT_TRUE(clock.WaitForWaiters(1));

        for (int i = 0; i < 1000; ++i) {
            extractor.PutAu(picture);
        }
        clock.Advance(1999);
        ASSERT_TRUE(clock.WaitForWaiters(1));
        EXPECT_TRUE(log.Rates().empty());
        clock.Advance(1);
        ASSERT_TRUE(clock.WaitForWaiters(1));
        // 1000 pictures over 2 s: 500 pictures per second, 8 bits per byte.
        EXPECT_EQ(log.Rates(), std::vector<unsigned long long>{pictureBytes * 500 * 8});

        // Published every period, changed or not.
        clock.Advance(2000);
        ASSERT_TRUE(clock.WaitForWaiters(1));
        for (int i = 0; i < 25; ++i) {
            extractor.PutAu(picture);
        }
        clock.Advance(2000);
        ASSERT_TRUE(clock.WaitForWaiters(1));
        EXPECT_EQ(log.Rates(),
                  (std::vector<unsigned long long>{pictureBytes * 4000, 0, pictureBytes * 100}));
        // A calculation by hand reaches only the subscribers there are; an access unit of another
        // codec is refused and not counted.
        extractor.UnsubscribeVideoBitrate(XP::MakeFunctor<&BitrateLog::OnBitrate>(&log));
        extractor.CalculateBitrate();
        extractor.SubscribeVideoBitrate(XP::MakeFunctor<&BitrateLog::OnBitrate>(&log));
        KestrelTest::ConsoleCapture console;
        extractor.PutAu(Cmf::AccessUnit(MakeBuffer(Bytes(5000, 0)), Cmf::Pcr(), Cmf::Pcr()));
        EXPECT_EQ(console.Lines(), Lines{"Access unit not Avc."});
        extractor.PutAu(picture);
        clock.Advance(2000);
        ASSERT_TRUE(clock.WaitForWaiters(1));
        EXPECT_EQ(log.Rates().size(), 4u);
        EXPECT_EQ(log.Rates().back(), pictureBytes * 4);
    }
    clock.Advance(4000);
    ASSERT_TRUE(clock.WaitForWaiters(1));
    EXPECT_EQ(log.Rates().size(), 4u);
}

}  // namespace
