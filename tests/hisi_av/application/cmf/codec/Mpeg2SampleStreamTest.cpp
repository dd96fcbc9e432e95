// The MPEG-2 chain (transport packets -> PES -> access units -> extractor) on the sample streams
// of tests/data/mpeg2 (made by scripts/make-mpeg2-samples). Expectations come from the files the
// script wrote beside each stream: the caption byte pairs it put into the pictures and what
// ffprobe reports about the stream.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "hisi_av/application/cmf/codec/Mpeg2VideoDataExtractor.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoDefragmenter.h"
#include "hisi_av/application/cmf/ts/TsPacket.h"
#include "hisi_av/application/cmf/ts/TsToEsConverter.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Info = Cmf::VideoCodecInfo_t;

constexpr uint16_t VIDEO_PID = 0x101;
constexpr std::size_t PACKET_SIZE = 188;

std::string DataDir() {
    const std::string file = __FILE__;
    return file.substr(0, file.rfind("/tests/") + 7) + "data/mpeg2/";
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::map<std::string, std::string> ReadProbe(const std::string& path) {
    std::map<std::string, std::string> values;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos) {
            values[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return values;
}

std::vector<std::pair<int, int>> ReadPairs(const std::string& path) {
    std::vector<std::pair<int, int>> pairs;
    std::ifstream in(path);
    int a = 0;
    int b = 0;
    while (in >> std::hex >> a >> b) {
        pairs.emplace_back(a, b);
    }
    return pairs;
}

struct Result {
    std::vector<Info> infos;
    std::vector<std::pair<Cmf::Pcr, Bytes>> captions;
    std::size_t pictures = 0;
    std::size_t pidPackets = 0;

    void OnInfo(const Info& info) { infos.push_back(info); }
    void OnAu(const Cmf::VideoAccessUnit&) { ++pictures; }
    void OnCc(const Cmf::CcPacket_t& packet) {
        captions.emplace_back(packet.pts, Bytes(packet.data.GetBegin(), packet.data.GetEnd()));
    }
};

Result RunChain(const Bytes& ts) {
    Result result;
    Cmf::SharedScheduler scheduler;
    Cmf::TsToEsConverter converter;
    Cmf::Mpeg2VideoDefragmenter defragmenter;
    Cmf::Mpeg2VideoDataExtractor extractor(scheduler);
    converter.Subscribe(XP::MakeFunctor<&Cmf::Mpeg2VideoDefragmenter::PutFragment>(&defragmenter));
    defragmenter.Subscribe(XP::MakeFunctor<&Cmf::Mpeg2VideoDataExtractor::PutAu>(&extractor));
    extractor.SubscribeInfo(XP::MakeFunctor<&Result::OnInfo>(&result));
    extractor.Subscribe(XP::MakeFunctor<&Result::OnAu>(&result));
    extractor.SubscribeCcPacket(XP::MakeFunctor<&Result::OnCc>(&result));
    for (std::size_t offset = 0; offset + PACKET_SIZE <= ts.size(); offset += PACKET_SIZE) {
        Cmf::TsPacket packet;
        std::copy_n(ts.begin() + offset, PACKET_SIZE, packet.GetData().GetBegin());
        if (packet.GetPid() == VIDEO_PID) {
            ++result.pidPackets;
            converter.PutTsPacket(packet);
        }
    }
    return result;
}

class Mpeg2SampleStreamTest : public ::testing::TestWithParam<std::string> {};

TEST_P(Mpeg2SampleStreamTest, CaptionsAndCodecInformationMatchTheSource) {
    const std::string base = DataDir() + GetParam();
    const Bytes ts = ReadFile(base + ".ts");
    ASSERT_FALSE(ts.empty()) << base << ".ts";
    const auto probe = ReadProbe(base + ".ffprobe");
    const auto source = ReadPairs(base + ".cc608");
    ASSERT_FALSE(source.empty());

    const Result result = RunChain(ts);
    ASSERT_GT(result.pidPackets, 0u);

    // Every picture carries one caption packet; in presentation order their field-1 pairs are
    // the caption source, pair for pair.
    EXPECT_EQ(result.pictures, std::stoul(probe.at("a53_frames")));
    ASSERT_EQ(result.captions.size(), source.size());
    auto captions = result.captions;
    std::stable_sort(captions.begin(), captions.end(),
                     [](const auto& a, const auto& b) { return a.first.IsEarlierThan(b.first); });
    std::vector<std::pair<int, int>> pairs;
    for (const auto& caption : captions) {
        const Bytes& data = caption.second;
        ASSERT_GE(data.size(), 2u);
        ASSERT_TRUE(caption.first.IsValid());
        const std::size_t count = data[0] & 0x1F;
        ASSERT_GE(data.size(), 2 + 3 * count);
        for (std::size_t k = 0; k < count; ++k) {
            const uint8_t marker = data[2 + 3 * k];
            if ((marker & 0x04) != 0 && (marker & 0x03) == 0) {  // valid, NTSC field 1
                pairs.emplace_back(data[3 + 3 * k], data[4 + 3 * k]);
            }
        }
    }
    EXPECT_EQ(pairs, source);

    // The stream's information, published once.
    ASSERT_EQ(result.infos.size(), 1u);
    const Info& info = result.infos[0];
    EXPECT_EQ(std::to_string(info.pic.width), probe.at("width"));
    EXPECT_EQ(std::to_string(info.pic.height), probe.at("height"));
    EXPECT_EQ(std::to_string(info.pic.frameRateNum) + "/" + std::to_string(info.pic.frameRateDen),
              probe.at("r_frame_rate"));
    EXPECT_EQ(std::to_string(info.aspectNum) + ":" + std::to_string(info.aspectDen),
              probe.at("display_aspect_ratio"));
    const std::map<std::string, Info::Profile_e> profiles{{"Simple", Info::PROFILE_M2_SP},
                                                          {"Main", Info::PROFILE_M2_MP},
                                                          {"High", Info::PROFILE_M2_HIGH},
                                                          {"4:2:2", Info::PROFILE_M2_422P}};
    EXPECT_EQ(info.profile, profiles.at(probe.at("profile")));
    // ffprobe gives the level code of the profile_and_level_indication.
    const std::map<std::string, Info::Level_e> levels{{"4", Info::LEVEL_HIGH},
                                                      {"6", Info::LEVEL_HIGH1440},
                                                      {"8", Info::LEVEL_MAIN},
                                                      {"10", Info::LEVEL_LOW}};
    EXPECT_EQ(info.level, levels.at(probe.at("level")));
    EXPECT_EQ(info.pic.scan, probe.at("field_order") == "progressive"
                                 ? Cmf::PictureInfo_t::SCAN_PROGRESSIVE
                                 : Cmf::PictureInfo_t::SCAN_INTERLACED);
    ASSERT_EQ(probe.at("pix_fmt"), "yuv420p");
    EXPECT_EQ(info.pic.pixelFormat.format, Cmf::PictureInfo_t::PIXFMT_YUV420P);
}

INSTANTIATE_TEST_SUITE_P(Samples, Mpeg2SampleStreamTest,
                         ::testing::Values("mpeg2-480i-4x3", "mpeg2-1080i-16x9"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
