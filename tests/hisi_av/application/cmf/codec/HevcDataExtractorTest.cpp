#include "hisi_av/application/cmf/codec/HevcDataExtractor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "CodecTestUtil.h"
#include "ConsoleCapture.h"
#include "HevcSyntaxWriter.h"
#include "hisi_av/application/cmf/codec/AvcAu.h"
#include "hisi_av/application/cmf/codec/HevcAu.h"
#include "hisi_av/application/cmf/codec/HevcNal.h"

namespace {

using namespace HevcTest;
using CodecTest::MakeBuffer;
using Info = Cmf::VideoCodecInfo_t;
using Pic = Cmf::PictureInfo_t;

Info FromSps(const SpsDesc& desc) {
    const XP::CBuffer bytes = MakeBuffer(MakeSps(desc));
    Cmf::HevcSps_t sps;
    EXPECT_TRUE(sps.Parse(Cmf::HevcNal(bytes)));
    Info info;
    Cmf::HevcDataExtractor::ExtractDataFromSps(sps, info);
    return info;
}

// Size, scan, aspect ratio, rate, pixel format, profile, level and tier from the SPS.
TEST(HevcDataExtractorTest, CodecInformationFromTheSps) {
    struct Case {
        const char* name;
        SpsDesc sps;
        std::size_t width, height, rateNum, rateDen, aspectNum, aspectDen;
        Pic::ScanType_e scan;
    };
    SpsDesc fields;  // 1080i sent as a sequence of 1920x540 fields, 50 fields per second
    fields.width = 1920;
    fields.height = 540;
    fields.progressive = false;
    fields.vui = true;
    fields.fieldSeq = true;
    fields.numUnitsInTick = 1;
    fields.timeScale = 50;
    SpsDesc pal = fields;  // SAR 12:11 is not rounded to 4:3 as H.264 examples would be
    pal.width = 720;
    pal.height = 576;
    pal.progressive = true;
    pal.fieldSeq = false;
    pal.aspectRatioIdc = 2;
    SpsDesc cropped;  // coded 1088 lines, 8 cropped; 1001/60000
    cropped.width = 1920;
    cropped.height = 1088;
    cropped.confWin = {0, 0, 0, 4};
    cropped.vui = true;
    cropped.numUnitsInTick = 1001;
    cropped.timeScale = 60000;
    SpsDesc uncropped = cropped;  // 1088 reported as 1080 even so; both source flags: unknown
    uncropped.confWin = {2, 0, 0, 0};
    uncropped.chromaFormatIdc = 2;
    uncropped.interlaced = true;
    uncropped.numUnitsInTick = 0;
    uncropped.aspectRatioIdc = 255;
    uncropped.sarWidth = 3;
    uncropped.sarHeight = 0;
    const Case cases[] = {
        {"fields", fields, 1920, 1080, 25, 1, 16, 9, Pic::SCAN_INTERLACED},
        {"pal", pal, 720, 576, 50, 1, 15, 11, Pic::SCAN_PROGRESSIVE},
        {"cropped", cropped, 1920, 1080, 60000, 1001, 16, 9, Pic::SCAN_PROGRESSIVE},
        // 4:2:2 crops whole chroma columns: 1920 - 2 * 2. 1916 x 3 : 1080 x 0, the zero
        // denominator taken as 1.
        {"uncropped", uncropped, 1916, 1080, 0, 1, 5748, 1, Pic::SCAN_UNKNOWN},
    };
    for (const Case& c : cases) {
        const Info info = FromSps(c.sps);
        EXPECT_EQ(info.pic.width, c.width) << c.name;
        EXPECT_EQ(info.pic.height, c.height) << c.name;
        EXPECT_EQ(info.pic.frameRateNum, c.rateNum) << c.name;
        EXPECT_EQ(info.pic.frameRateDen, c.rateDen) << c.name;
        EXPECT_EQ(info.aspectNum, c.aspectNum) << c.name;
        EXPECT_EQ(info.aspectDen, c.aspectDen) << c.name;
        EXPECT_EQ(info.pic.aspectRatioNum, c.aspectNum) << c.name;
        EXPECT_EQ(info.pic.aspectRatioDen, c.aspectDen) << c.name;
        EXPECT_EQ(info.pic.scan, c.scan) << c.name;
    }

    // Profiles, levels and pixel formats of the sample streams are checked on them; the high
    // tier here.
    SpsDesc high;
    high.tier = true;
    EXPECT_EQ(FromSps(high).tier, Info::TIER_HIGH);

    EXPECT_EQ(Cmf::HevcDataExtractor::MapTransChars(1), Pic::TRANS_CHARS_BT709);
    EXPECT_EQ(Cmf::HevcDataExtractor::MapTransChars(4), Pic::TRANS_CHARS_GAMMA22);
    EXPECT_EQ(Cmf::HevcDataExtractor::MapTransChars(18), Pic::TRANS_CHARS_ARIB_STD_B67);
    for (unsigned int code : {0u, 2u, 3u, 19u, 200u}) {
        EXPECT_EQ(Cmf::HevcDataExtractor::MapTransChars(code), Pic::TRANS_CHARS_UNSPECIFIED);
    }
}

class Recorder {
public:
    explicit Recorder(Cmf::HevcDataExtractor& extractor) {
        extractor.SubscribeInfo(XP::MakeFunctor<&Recorder::OnInfo>(this));
        extractor.SubscribeCcPacket(XP::MakeFunctor<&Recorder::OnCc>(this));
        extractor.Subscribe(XP::MakeFunctor<&Recorder::OnAu>(this));
    }
    void OnInfo(const Info& info) {
        events.push_back("info");
        infos.push_back(info);
    }
    void OnCc(const Cmf::CcPacket_t& packet) {
        events.push_back("cc");
        ccs.emplace_back();
        ccs.back().Clone(packet);
    }
    void OnAu(const Cmf::VideoAccessUnit& au) {
        events.push_back("au");
        frameTypes.push_back(au.GetFrameType());
        EXPECT_EQ(au.GetCodecInfo(), infos.empty() ? Info() : infos.back());
    }
    std::vector<std::string> events;
    std::vector<Info> infos;
    std::vector<Cmf::CcPacket_t> ccs;
    std::vector<Cmf::VideoAccessUnit::FrameType_e> frameTypes;
};

void Put(Cmf::HevcDataExtractor& extractor, const std::vector<Bytes>& nals, uint64_t pts) {
    const Cmf::HevcAu au(MakeBuffer(MakeAu(nals)), Cmf::Pcr(pts, 0), Cmf::Pcr(), {});
    extractor.PutAu(au);
}

const Bytes CC_DATA = {0xC2, 0xFF, 0xFC, 0x94, 0x20, 0xFD, 0x80, 0x80, 0xFF};

// HDR metadata, captions and frame types through PutAu; without VUI timing the frame rate comes
// from the PTS spacing, taken only at I slices.
TEST(HevcDataExtractorTest, AccessUnitsOfAStreamWithoutTiming) {
    Cmf::SharedScheduler scheduler;
    Cmf::HevcDataExtractor extractor(scheduler);
    Recorder recorder(extractor);
    Bytes t35 = {0xB5, 0x00, 0x31, 'G', 'A', '9', '4', 0x03};
    t35.insert(t35.end(), CC_DATA.begin(), CC_DATA.end());
    const std::vector<Bytes> header = {
        {0x46, 0x01, 0x50},
        MakeSps(SpsDesc()),
        MakePps(false, 0),
        MakeSei({{137, {0x33, 0xC2, 0x86, 0xC4, 0x1D, 0x4C, 0x0B, 0xB8, 0x84, 0xD0, 0x3E, 0x80,
                        0x3D, 0x13, 0x40, 0x42, 0x00, 0x98, 0x96, 0x80, 0x00, 0x00, 0x00, 0x32}},
                 {5, Bytes(20, 0x11)},
                 {144, {0x03, 0xE8, 0x01, 0x90}},
                 {4, t35},
                 {147, {0x12}}}),
    };
    std::vector<Bytes> idr = header;
    idr.push_back(MakeSlice(19, 2));
    Put(extractor, idr, 0);
    Put(extractor, {MakeSlice(1, 1)}, 7200);
    Put(extractor, {MakeSlice(1, 0)}, 3600);
    Put(extractor, {MakeSlice(21, 2)}, 10800);
    idr.back() = MakeSlice(21, 2);
    Put(extractor, idr, 14400);  // the same SPS and SEI again: nothing new

    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"cc", "info", "au", "au", "au", "info", "au", "cc", "au"}));
    using FT = Cmf::VideoAccessUnit;
    EXPECT_EQ(recorder.frameTypes,
              (std::vector<FT::FrameType_e>{FT::FRAME_TYPE_I, FT::FRAME_TYPE_P, FT::FRAME_TYPE_B,
                                            FT::FRAME_TYPE_I, FT::FRAME_TYPE_I}));
    ASSERT_EQ(recorder.infos.size(), 2u);
    const Pic& pic = recorder.infos[0].pic;
    EXPECT_EQ(pic.frameRateNum, 0u);
    EXPECT_EQ(pic.frameRateDen, 1u);
    ASSERT_TRUE(pic.masteringValid);
    // (13250, 34500) for c = 0 is green in units of 0.00002; luminance in units of 0.0001.
    EXPECT_FLOAT_EQ(pic.mastering.xG, 0.265f);
    EXPECT_FLOAT_EQ(pic.mastering.yG, 0.69f);
    EXPECT_FLOAT_EQ(pic.mastering.lMax, 1000.0f);
    EXPECT_FLOAT_EQ(pic.mastering.lMin, 0.005f);
    ASSERT_TRUE(pic.cllValid);
    EXPECT_EQ(pic.cll.maxCll, 1000);
    EXPECT_EQ(pic.cll.maxAvg, 400);
    EXPECT_EQ(pic.transChars, Pic::TRANS_CHARS_ARIB_STD_B67);
    // Three pictures 3600 ticks apart: 25 per second.
    EXPECT_EQ(recorder.infos[1].pic.frameRateNum, 25u);
    EXPECT_EQ(recorder.infos[1].pic.frameRateDen, 1u);

    // The mastering display payload before the captions holds an escaped 00 00 00: the caption
    // bytes are found all the same.
    ASSERT_EQ(recorder.ccs.size(), 2u);
    EXPECT_EQ(recorder.ccs[0].pts, Cmf::Pcr(0, 0));
    EXPECT_EQ(recorder.ccs[0].data, MakeBuffer(CC_DATA));
    EXPECT_EQ(recorder.ccs[1].pts, Cmf::Pcr(14400, 0));
}

TEST(HevcDataExtractorTest, ScanFromPictureTimingAndForeignUnits) {
    KestrelTest::ConsoleCapture console;
    Cmf::SharedScheduler scheduler;
    Cmf::HevcDataExtractor extractor(scheduler);
    Recorder recorder(extractor);
    SpsDesc both;  // progressive and interlaced source: the scan is in each picture's timing
    both.interlaced = true;
    both.vui = true;
    Put(extractor,
        {MakeSps(both), MakePps(false, 0), MakeSei({{1, {0x10, 0x00}}}), MakeSlice(19, 2)}, 0);
    ASSERT_EQ(recorder.infos.size(), 1u);
    EXPECT_EQ(recorder.infos[0].pic.scan, Pic::SCAN_INTERLACED);
    EXPECT_EQ(recorder.infos[0].encodingType, Info::ENCODING_TYPE_FIELD_ENCODING);
    EXPECT_EQ(recorder.infos[0].pic.frameRateNum, 0u);

    const Cmf::AvcAu avc(MakeBuffer(MakeAu({{0x09, 0xF0}})), Cmf::Pcr(), Cmf::Pcr(), {});
    extractor.PutAu(avc);
    EXPECT_EQ(console.Take(), std::vector<std::string>{"Access unit not Hevc."});
    EXPECT_EQ(recorder.events.size(), 2u);
}

}  // namespace
