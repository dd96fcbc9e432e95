#include "hisi_av/application/cmf/codec/Mpeg2VideoDataExtractor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "BitWriter.h"
#include "CodecTestUtil.h"
#include "ConsoleCapture.h"
#include "hisi_av/application/cmf/codec/AvcAu.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoAu.h"

namespace {

using Bytes = std::vector<uint8_t>;
using CodecTest::MakeBuffer;
using Info = Cmf::VideoCodecInfo_t;
using Pic = Cmf::PictureInfo_t;

struct Sequence {
    unsigned width;
    unsigned height;
    unsigned aspect;
    unsigned frameRateCode;
    uint8_t profileAndLevel = 0x48;
    bool progressive = false;
    unsigned chroma = 1;
    unsigned hExt = 0;
    unsigned vExt = 0;
    int transferCharacteristics = -1;  // no sequence display extension when negative
};

// Headers in stream order (H.262 6.2.2 and 6.2.3), each after its start code.
void SequenceHeaders(BitWriter& w, const Sequence& s) {
    w.Bytes({0x00, 0x00, 0x01, 0xB3}).U(12, s.width).U(12, s.height).U(4, s.aspect);
    w.U(4, s.frameRateCode).U(18, 20000).U(1, 1).U(10, 112).U(3, 0);
    w.Bytes({0x00, 0x00, 0x01, 0xB5}).U(4, 1).U(8, s.profileAndLevel).Flag(s.progressive);
    w.U(2, s.chroma).U(2, s.hExt).U(2, s.vExt).U(12, 0).U(1, 1).U(8, 0x40).U(8, 0x80);
    w.Trailing();
    if (s.transferCharacteristics >= 0) {
        w.Bytes({0x00, 0x00, 0x01, 0xB5}).U(4, 2).U(3, 2).Flag(true).U(8, 1);
        w.U(8, static_cast<unsigned>(s.transferCharacteristics)).U(8, 1);
        w.U(14, s.width).U(1, 1).U(14, s.height).Trailing();
    }
    w.Bytes({0x00, 0x00, 0x01, 0xB8, 0x00, 0x08, 0x00, 0x40});
}

void Picture(BitWriter& w, unsigned temporalReference, unsigned codingType,
             const Bytes& ccData = {}) {
    w.Bytes({0x00, 0x00, 0x01, 0x00}).U(10, temporalReference).U(3, codingType).U(16, 0xFFFF);
    w.Trailing();
    w.Bytes({0x00, 0x00, 0x01, 0xB5}).U(4, 8).U(16, 0x1FFF).U(2, 0).U(2, 3).U(8, 0x80);
    w.Bytes({0x80, 0x80});
    if (!ccData.empty()) {
        w.Bytes({0x00, 0x00, 0x01, 0xB2, 'G', 'A', '9', '4', 0x03}).Bytes(ccData).Bytes({0xFF});
    }
    w.Bytes({0x00, 0x00, 0x01, 0x01});
    for (int i = 0; i < 64; ++i) {
        w.U(8, 0x40 + i);
    }
}

Cmf::Mpeg2VideoAu MakeAu(const BitWriter& w, const Cmf::Pcr& pts) {
    return Cmf::Mpeg2VideoAu(MakeBuffer(w.Rbsp()), pts, Cmf::Pcr(), {});
}

// What the extractor publishes, in order.
struct Recorder {
    explicit Recorder(Cmf::Mpeg2VideoDataExtractor& extractor) {
        extractor.SubscribeInfo(XP::MakeFunctor<&Recorder::OnInfo>(this));
        extractor.Subscribe(XP::MakeFunctor<&Recorder::OnAu>(this));
        extractor.SubscribeCcPacket(XP::MakeFunctor<&Recorder::OnCc>(this));
    }
    void OnInfo(const Info& info) {
        infos.push_back(info);
        events.push_back("info");
    }
    void OnAu(const Cmf::VideoAccessUnit& au) {
        frameTypes.push_back(au.GetFrameType());
        auPts.push_back(au.GetPts());
        auInfos.push_back(au.GetCodecInfo());
        events.push_back("au");
    }
    void OnCc(const Cmf::CcPacket_t& packet) {
        ccPts.push_back(packet.pts);
        ccData.push_back(Bytes(packet.data.GetBegin(), packet.data.GetEnd()));
        events.push_back("cc");
    }
    std::vector<Info> infos;
    std::vector<Info> auInfos;
    std::vector<Cmf::VideoAccessUnit::FrameType_e> frameTypes;
    std::vector<Cmf::Pcr> auPts;
    std::vector<Cmf::Pcr> ccPts;
    std::vector<Bytes> ccData;
    std::vector<std::string> events;
};

// The fields the sequence headers set, in one line.
std::string Describe(const Info& i) {
    return std::to_string(i.pic.width) + "x" + std::to_string(i.pic.height) + " pic " +
           std::to_string(i.pic.aspectRatioNum) + ":" + std::to_string(i.pic.aspectRatioDen) +
           " dar " + std::to_string(i.aspectNum) + ":" + std::to_string(i.aspectDen) + " " +
           std::to_string(i.pic.frameRateNum) + "/" + std::to_string(i.pic.frameRateDen) +
           " scan " + std::to_string(i.pic.scan) + " fmt " +
           std::to_string(i.pic.pixelFormat.format) + (i.pic.pixelFormat.hwFrame ? " hw" : "") +
           " profile " + std::to_string(i.profile) + " level " + std::to_string(i.level) +
           " tier " + std::to_string(i.tier) + " tc " + std::to_string(i.pic.transChars);
}

// Expectations worked out by hand from H.262 Tables 6-3, 6-4, 8-2 and 8-3 (scan 1 progressive,
// 3 interlaced; format 0 yuv420p, 3 yuv422p; profiles 2 MP, 3 422P, 4 SNR, 6 HP; levels 1 LL,
// 2 ML, 3 H1440L, 4 HL; tc 1 BT709, 3 Gamma2.8, 4 BT601). The display aspect ratio comes
// straight from aspect_ratio_information: no sample-aspect table is consulted, so a square-sample
// 720x576 picture is displayed 5:4, not 4:3.
TEST(Mpeg2VideoDataExtractorTest, CodecInformationFromTheSequenceHeaders) {
    const std::pair<Sequence, std::string> cases[] = {
        {{720, 576, 3, 3},
         "720x576 pic 5:4 dar 16:9 25/1 scan 3 fmt 0 profile 2 level 2 tier 0 tc 0"},
        {{720, 576, 1, 4},
         "720x576 pic 5:4 dar 5:4 30000/1001 scan 3 fmt 0 profile 2 level 2 tier 0 tc 0"},
        // Size extensions: 0x780 + (1 << 12); coded height 1088 reported as 1080.
        {{0x780, 1088, 2, 8, 0x14, true, 2, 1, 0, 6},
         "6016x1080 pic 752:135 dar 4:3 60/1 scan 1 fmt 3 profile 6 level 4 tier 0 tc 4"},
        {{352, 0x120, 4, 7, 0x85, false, 2, 0, 1, 5},
         "352x4384 pic 11:137 dar 221:100 60000/1001 scan 3 fmt 3 profile 3 level 2 tier 0 tc 3"},
        // Multi-view has no profile of its own; reserved aspect and rate codes.
        {{1440, 1080, 15, 0, 0x8B, true, 1, 0, 0, 2},
         "1440x1080 pic 4:3 dar 4:3 0/1 scan 1 fmt 0 profile 0 level 3 tier 0 tc 0"},
        {{1920, 1080, 3, 9, 0x3A, false, 1, 0, 0, 1},
         "1920x1080 pic 16:9 dar 16:9 0/1 scan 3 fmt 0 profile 4 level 1 tier 0 tc 1"},
    };
    Cmf::SharedScheduler scheduler;
    for (const auto& c : cases) {
        Cmf::Mpeg2VideoDataExtractor extractor(scheduler);
        Recorder recorder(extractor);
        BitWriter w;
        SequenceHeaders(w, c.first);
        Picture(w, 0, 1);
        extractor.PutAu(MakeAu(w, Cmf::Pcr(1000, 0)));
        ASSERT_EQ(recorder.infos.size(), 1u) << c.second;
        EXPECT_EQ(Describe(recorder.infos[0]), c.second);
        EXPECT_EQ(recorder.infos[0].encodingType, Info::ENCODING_TYPE_FRAME_ENCODING);
    }
}

// I picture with temporal reference 2 at 30000/1001 (3003 ticks a frame), then pictures without
// a PTS of their own: B 0, B 1, P 5. Another P with its own PTS keeps it.
TEST(Mpeg2VideoDataExtractorTest, PicturesWithoutPtsArePlacedByTemporalReference) {
    Cmf::SharedScheduler scheduler;
    Cmf::Mpeg2VideoDataExtractor extractor(scheduler);
    Recorder recorder(extractor);
    const Sequence sequence{720, 480, 2, 4};
    const uint64_t iPts = 500000;
    const Bytes cc{0x42, 0xFF, 0xFC, 0x94, 0x20, 0xFD, 0x80, 0x80};

    struct Step {
        unsigned temporalReference;
        unsigned codingType;
        Cmf::Pcr pts;
    };
    const Step steps[] = {{2, 1, Cmf::Pcr(iPts, 7)},
                          {0, 3, Cmf::Pcr()},
                          {1, 3, Cmf::Pcr()},
                          {5, 2, Cmf::Pcr()},
                          {4, 2, Cmf::Pcr(777777, 0)}};
    for (const Step& step : steps) {
        BitWriter w;
        if (step.codingType == 1) {
            SequenceHeaders(w, sequence);
        }
        Picture(w, step.temporalReference, step.codingType, cc);
        extractor.PutAu(MakeAu(w, step.pts));
    }
    const std::vector<Cmf::Pcr> expectedPts{Cmf::Pcr(iPts, 7), Cmf::Pcr(iPts - 6006, 7),
                                            Cmf::Pcr(iPts - 3003, 7), Cmf::Pcr(iPts + 9009, 7),
                                            Cmf::Pcr(777777, 0)};
    EXPECT_EQ(recorder.auPts, expectedPts);
    EXPECT_EQ(recorder.ccPts, expectedPts);
    EXPECT_EQ(recorder.ccData, std::vector<Bytes>(5, cc));
    using F = Cmf::VideoAccessUnit;
    EXPECT_EQ(recorder.frameTypes,
              (std::vector<F::FrameType_e>{F::FRAME_TYPE_I, F::FRAME_TYPE_B, F::FRAME_TYPE_B,
                                           F::FRAME_TYPE_P, F::FRAME_TYPE_P}));
    // Information once (the first unit), then each unit before its captions.
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"info", "au", "cc", "au", "cc", "au", "cc",
                                                         "au", "cc", "au", "cc"}));
}

// Information is published when it changes; units without (usable) sequence headers keep the
// last one.
TEST(Mpeg2VideoDataExtractorTest, InformationIsPublishedOnChangeOnly) {
    KestrelTest::ConsoleCapture console;
    Cmf::SharedScheduler scheduler;
    Cmf::Mpeg2VideoDataExtractor extractor(scheduler);
    Recorder recorder(extractor);

    auto put = [&](const Sequence* sequence, unsigned codingType) {
        BitWriter w;
        if (sequence != nullptr) {
            SequenceHeaders(w, *sequence);
        }
        Picture(w, 0, codingType);
        extractor.PutAu(MakeAu(w, Cmf::Pcr(1000, 0)));
    };
    const Sequence sd{720, 576, 2, 3};
    const Sequence wide{720, 576, 3, 3};
    put(&sd, 1);
    put(&sd, 1);
    put(nullptr, 2);
    put(&wide, 1);
    // A sequence header cut short (8 bytes, of which the header's view leaves 7 before the next
    // start code): the unit still goes out, with the last information.
    BitWriter cut;
    cut.Bytes({0x00, 0x00, 0x01, 0xB3, 0x2D, 0x02, 0x40, 0x33});
    Picture(cut, 0, 4);
    extractor.PutAu(MakeAu(cut, Cmf::Pcr()));

    ASSERT_EQ(recorder.infos.size(), 2u);
    EXPECT_EQ(recorder.infos[0].aspectNum, 4u);
    EXPECT_EQ(recorder.infos[1].aspectNum, 16u);
    ASSERT_EQ(recorder.auInfos.size(), 5u);
    EXPECT_EQ(recorder.auInfos[2], recorder.infos[0]);
    EXPECT_EQ(recorder.auInfos[4], recorder.infos[1]);
    EXPECT_EQ(recorder.frameTypes[4], Cmf::VideoAccessUnit::FRAME_TYPE_UNKNOWN);
    EXPECT_EQ(console.Take(),
              (std::vector<std::string>{"Sequence header too small: 8 bytes",
                                        "Unable to determine Mpeg2 video frame type"}));

    // A unit of another codec is refused.
    const Cmf::AvcAu avc(MakeBuffer({0x00, 0x00, 0x01, 0x09, 0xF0}), Cmf::Pcr(), Cmf::Pcr(), {});
    extractor.PutAu(avc);
    EXPECT_EQ(console.Take(), std::vector<std::string>{"Access unit not Mpeg2 Video."});
    EXPECT_EQ(recorder.events.size(), 2u + 5u);
}

}  // namespace
