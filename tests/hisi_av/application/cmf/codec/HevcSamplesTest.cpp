#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CodecTestUtil.h"
#include "hisi_av/application/cmf/codec/HevcDataExtractor.h"
#include "hisi_av/application/cmf/codec/HevcDefragmenter.h"
#include "hisi_av/application/cmf/ts/TsPacket.h"
#include "hisi_av/application/cmf/ts/TsToEsConverter.h"

// The sample streams of tests/data/hevc (made by scripts/make-hevc-samples) through the whole
// video chain: TS packets, elementary stream, access units, extractor.
namespace {

using Info = Cmf::VideoCodecInfo_t;
using Pic = Cmf::PictureInfo_t;
using Bytes = std::vector<uint8_t>;

constexpr unsigned int VIDEO_PID = 0x100;

std::string DataDir() {
    // This file is tests/hisi_av/... of the source tree.
    const std::string path = __FILE__;
    return path.substr(0, path.rfind("tests/hisi_av/")) + "tests/data/hevc/";
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct ChainResult {
    std::vector<Info> infos;
    std::vector<Cmf::CcPacket_t> captions;
    std::size_t accessUnits = 0;
};

class Chain {
public:
    Chain() : m_Extractor(m_Scheduler) {
        m_Converter.Subscribe(XP::MakeFunctor<&Chain::OnFragment>(this));
        m_Defragmenter.Subscribe(XP::MakeFunctor<&Chain::OnAu>(this));
        m_Extractor.SubscribeInfo(XP::MakeFunctor<&Chain::OnInfo>(this));
        m_Extractor.SubscribeCcPacket(XP::MakeFunctor<&Chain::OnCc>(this));
    }

    ChainResult Run(const Bytes& ts) {
        for (std::size_t offset = 0; offset + 188 <= ts.size(); offset += 188) {
            const Cmf::TsPacket packet(
                CodecTest::MakeBuffer(Bytes(ts.begin() + offset, ts.begin() + offset + 188)));
            if (packet.GetPid() == VIDEO_PID) {
                m_Converter.PutTsPacket(packet);
            }
        }
        // The stream would go on: the next access unit's delimiter closes the last one.
        m_Defragmenter.PutFragment(Cmf::Fragment(
            CodecTest::MakeBuffer({0x00, 0x00, 0x00, 0x01, 0x46, 0x01, 0x50}), Cmf::Pcr(), 0));
        return m_Result;
    }

private:
    void OnFragment(const Cmf::Fragment& fragment) { m_Defragmenter.PutFragment(fragment); }
    void OnAu(const Cmf::AccessUnit& au) {
        ++m_Result.accessUnits;
        m_Extractor.PutAu(au);
    }
    void OnInfo(const Info& info) { m_Result.infos.push_back(info); }
    void OnCc(const Cmf::CcPacket_t& packet) {
        m_Result.captions.emplace_back();
        m_Result.captions.back().Clone(packet);
    }

    Cmf::SharedScheduler m_Scheduler;
    Cmf::TsToEsConverter m_Converter;
    Cmf::HevcDefragmenter m_Defragmenter;
    Cmf::HevcDataExtractor m_Extractor;
    ChainResult m_Result;
};

// The valid field-1 CEA-608 pairs of a cc_data structure, read by its A/53 layout.
std::vector<std::string> Field1Pairs(const Cmf::CcPacket_t& packet) {
    std::vector<std::string> pairs;
    const unsigned char* data = packet.data.GetBegin();
    const std::size_t count = packet.data.GetSize() > 0 ? data[0] & 0x1F : 0;
    for (std::size_t i = 0; i < count && 2 + 3 * i + 2 < packet.data.GetSize(); ++i) {
        const unsigned char* triple = data + 2 + 3 * i;
        if ((triple[0] & 0x04) != 0 && (triple[0] & 0x03) == 0) {
            char hex[5];
            snprintf(hex, sizeof(hex), "%02x%02x", triple[1], triple[2]);
            pairs.push_back(hex);
        }
    }
    return pairs;
}

// What ffprobe 5.1 reports for each sample (profile, level, size, rates, pixel format, display
// aspect ratio, transfer), in the extractor's terms.
struct Sample {
    const char* file;
    Info::Profile_e profile;
    Info::Level_e level;
    std::size_t width, height, rateNum, rateDen, aspectNum, aspectDen;
    Pic::PixelFormat_e pixelFormat;
    Pic::TransChars_e transChars;
    bool hdr;
};

const Sample SAMPLES[] = {
    {"hevc-main-timing.ts", Info::PROFILE_M4_MAIN, Info::LEVEL_2_1, 640, 360, 30000, 1001, 16, 9,
     Pic::PIXFMT_YUV420P, Pic::TRANS_CHARS_UNSPECIFIED, false},
    {"hevc-main10-hdr.ts", Info::PROFILE_MH_MAIN10, Info::LEVEL_2_1, 640, 360, 25, 1, 16, 9,
     Pic::PIXFMT_YUV420P10, Pic::TRANS_CHARS_SMPTE2084, true},
    // No timing in the SPS: the rate comes from the PTS spacing.
    {"hevc-main-notiming.ts", Info::PROFILE_M4_MAIN, Info::LEVEL_3_1, 720, 576, 50, 1, 15, 11,
     Pic::PIXFMT_YUV420P, Pic::TRANS_CHARS_UNSPECIFIED, false},
};

TEST(HevcSamplesTest, CodecInformationAndCaptionsMatchTheSource) {
    std::vector<std::string> source;
    std::ifstream captions(DataDir() + "captions.txt");
    for (std::string line; std::getline(captions, line);) {
        if (!line.empty() && line[0] != '#') {
            source.push_back(line);
        }
    }
    ASSERT_EQ(source.size(), 48u);

    for (const Sample& s : SAMPLES) {
        const Bytes ts = ReadFile(DataDir() + s.file);
        ASSERT_GT(ts.size(), 188u * 100) << s.file;
        Chain chain;
        ChainResult result = chain.Run(ts);
        EXPECT_EQ(result.accessUnits, 48u) << s.file;
        ASSERT_FALSE(result.infos.empty()) << s.file;
        const Info& info = result.infos.back();
        EXPECT_EQ(info.profile, s.profile) << s.file;
        EXPECT_EQ(info.level, s.level) << s.file;
        EXPECT_EQ(info.tier, Info::TIER_MAIN) << s.file;
        EXPECT_EQ(info.pic.width, s.width) << s.file;
        EXPECT_EQ(info.pic.height, s.height) << s.file;
        EXPECT_EQ(info.pic.frameRateNum, s.rateNum) << s.file;
        EXPECT_EQ(info.pic.frameRateDen, s.rateDen) << s.file;
        EXPECT_EQ(info.aspectNum, s.aspectNum) << s.file;
        EXPECT_EQ(info.aspectDen, s.aspectDen) << s.file;
        EXPECT_EQ(info.pic.pixelFormat.format, s.pixelFormat) << s.file;
        EXPECT_EQ(info.pic.scan, Pic::SCAN_PROGRESSIVE) << s.file;
        EXPECT_EQ(info.pic.transChars, s.transChars) << s.file;
        EXPECT_EQ(info.pic.masteringValid, s.hdr) << s.file;
        EXPECT_EQ(info.pic.cllValid, s.hdr) << s.file;
        if (s.hdr) {
            // Encoded as G(13250,34500) B(7500,3000) R(34000,16000) WP(15635,16450)
            // L(10000000,50), max-cll 1000,400.
            const Pic::MasteringDisplay_t& m = info.pic.mastering;
            EXPECT_FLOAT_EQ(m.xG, 0.265f);
            EXPECT_FLOAT_EQ(m.yG, 0.69f);
            EXPECT_FLOAT_EQ(m.xB, 0.15f);
            EXPECT_FLOAT_EQ(m.yB, 0.06f);
            EXPECT_FLOAT_EQ(m.xR, 0.68f);
            EXPECT_FLOAT_EQ(m.yR, 0.32f);
            EXPECT_FLOAT_EQ(m.xW, 0.3127f);
            EXPECT_FLOAT_EQ(m.yW, 0.329f);
            EXPECT_FLOAT_EQ(m.lMax, 1000.0f);
            EXPECT_FLOAT_EQ(m.lMin, 0.005f);
            EXPECT_EQ(info.pic.cll.maxCll, 1000);
            EXPECT_EQ(info.pic.cll.maxAvg, 400);
        }

        // One packet per picture; in display order their pairs are the caption source.
        std::stable_sort(result.captions.begin(), result.captions.end(),
                         [](const Cmf::CcPacket_t& a, const Cmf::CcPacket_t& b) {
                             return a.pts.IsEarlierThan(b.pts);
                         });
        std::vector<std::string> seen;
        for (const Cmf::CcPacket_t& packet : result.captions) {
            EXPECT_TRUE(packet.pts.IsValid()) << s.file;
            const std::vector<std::string> pairs = Field1Pairs(packet);
            EXPECT_EQ(pairs.size(), 1u) << s.file;
            seen.insert(seen.end(), pairs.begin(), pairs.end());
        }
        EXPECT_EQ(seen, source) << s.file;
    }
}

}  // namespace
