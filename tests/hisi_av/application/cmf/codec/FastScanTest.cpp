// The video defragmenters take runs of bytes that cannot begin a start code in one copy. They must
// deliver exactly what the byte machine alone delivers: the same access units, bytes, start-code
// positions and PTS, in the same order, on the sample streams and on random ones full of zeros,
// start codes and NAL headers, however the bytes are cut into fragments.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "CodecTestUtil.h"
#include "hisi_av/application/cmf/codec/AvcDefragmenter.h"
#include "hisi_av/application/cmf/codec/HevcDefragmenter.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoDefragmenter.h"
#include "hisi_av/application/cmf/codec/StartCodeAu.h"
#include "hisi_av/application/cmf/ts/TsPacket.h"
#include "hisi_av/application/cmf/ts/TsToEsConverter.h"
#include "xptools/Functor.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Delivered {
    Bytes bytes;
    std::vector<unsigned int> positions;
    bool ptsValid;
    uint64_t pts;

    bool operator==(const Delivered& other) const {
        return bytes == other.bytes && positions == other.positions && ptsValid == other.ptsValid &&
               (!ptsValid || pts == other.pts);
    }
};

// An elementary stream as the PES converter hands it on: fragments with or without a PTS.
struct EsFragment {
    Bytes bytes;
    Cmf::Pcr pts;
};
using Es = std::vector<EsFragment>;

enum Codec_e { AVC, HEVC, MPEG2 };
const char* const CODEC_NAMES[] = {"AVC", "HEVC", "MPEG-2"};

std::unique_ptr<Cmf::VideoDefragmenter> MakeDefragmenter(Codec_e codec) {
    switch (codec) {
        case AVC:
            return std::make_unique<Cmf::AvcDefragmenter>();
        case HEVC:
            return std::make_unique<Cmf::HevcDefragmenter>();
        case MPEG2:
            break;
    }
    return std::make_unique<Cmf::Mpeg2VideoDefragmenter>();
}

class Collector {
public:
    void OnAu(const Cmf::AccessUnit& au) {
        const auto* pUnits = dynamic_cast<const Cmf::StartCodeAu*>(&au);
        ASSERT_NE(pUnits, nullptr);
        const XP::CBuffer& data = au.GetData();
        m_Delivered.push_back({Bytes(data.GetBegin(), data.GetEnd()), pUnits->GetScPositions(),
                               au.GetPts().IsValid(), au.GetPts().GetValue()});
    }
    std::vector<Delivered> m_Delivered;
};

std::vector<Delivered> Defragment(Codec_e codec, bool fast, const Es& es) {
    std::unique_ptr<Cmf::VideoDefragmenter> pDefragmenter = MakeDefragmenter(codec);
    pDefragmenter->SetFastScan(fast);
    Collector collector;
    pDefragmenter->Subscribe(XP::MakeFunctor<&Collector::OnAu>(&collector));
    for (const EsFragment& fragment : es) {
        pDefragmenter->PutFragment(
            Cmf::Fragment(CodecTest::MakeBuffer(fragment.bytes), fragment.pts, 0));
    }
    return collector.m_Delivered;
}

void ExpectSameBothWays(Codec_e codec, const Es& es, const std::string& what) {
    const std::vector<Delivered> plain = Defragment(codec, false, es);
    const std::vector<Delivered> fast = Defragment(codec, true, es);
    EXPECT_EQ(plain.size(), fast.size()) << CODEC_NAMES[codec] << " " << what;
    EXPECT_TRUE(plain == fast) << CODEC_NAMES[codec] << " " << what;
}

// The video PID's elementary stream of a sample file, as the PES converter cuts it.
class EsTaker {
public:
    Es Take(const std::string& path, uint16_t pid) {
        std::ifstream in(path, std::ios::binary);
        const Bytes ts((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        Cmf::TsToEsConverter converter;
        converter.Subscribe(XP::MakeFunctor<&EsTaker::OnFragment>(this));
        for (std::size_t offset = 0; offset + 188 <= ts.size(); offset += 188) {
            const Cmf::TsPacket packet(
                CodecTest::MakeBuffer(Bytes(ts.begin() + offset, ts.begin() + offset + 188)));
            if (packet.GetPid() == pid) {
                converter.PutTsPacket(packet);
            }
        }
        return m_Es;
    }

private:
    void OnFragment(const Cmf::Fragment& fragment) {
        const XP::CBuffer& data = fragment.GetData();
        m_Es.push_back({Bytes(data.GetBegin(), data.GetEnd()), fragment.GetPts()});
    }
    Es m_Es;
};

std::string DataDir() {
    const std::string path = __FILE__;
    return path.substr(0, path.rfind("tests/hisi_av/")) + "tests/data/";
}

// The same bytes cut into pieces of 1 to `maxPiece` bytes; the PTS stays with the piece that
// holds the fragment's first byte.
Es Recut(const Es& es, std::mt19937& random, std::size_t maxPiece) {
    Es pieces;
    for (const EsFragment& fragment : es) {
        for (std::size_t offset = 0; offset < fragment.bytes.size();) {
            const std::size_t size =
                std::min<std::size_t>(1 + random() % maxPiece, fragment.bytes.size() - offset);
            pieces.push_back(
                {Bytes(fragment.bytes.begin() + offset, fragment.bytes.begin() + offset + size),
                 offset == 0 ? fragment.pts : Cmf::Pcr()});
            offset += size;
        }
    }
    return pieces;
}

TEST(FastScanTest, SampleStreamsGiveTheSameAccessUnitsBothWays) {
    struct Sample {
        const char* file;
        uint16_t pid;
        Codec_e codec;
    };
    const Sample samples[] = {
        {"avc/avc-high-320x240p30.ts", 0x100, AVC},  {"avc/avc-main-720x576i25.ts", 0x100, AVC},
        {"hevc/hevc-main-timing.ts", 0x100, HEVC},   {"hevc/hevc-main-notiming.ts", 0x100, HEVC},
        {"hevc/hevc-main10-hdr.ts", 0x100, HEVC},    {"mpeg2/mpeg2-480i-4x3.ts", 0x101, MPEG2},
        {"mpeg2/mpeg2-1080i-16x9.ts", 0x101, MPEG2},
    };
    std::mt19937 random(7);
    for (const Sample& sample : samples) {
        EsTaker taker;
        const Es es = taker.Take(DataDir() + sample.file, sample.pid);
        ASSERT_FALSE(es.empty()) << sample.file;
        // Every sample has pictures to deliver; the comparison means something.
        EXPECT_GT(Defragment(sample.codec, true, es).size(), 20u) << sample.file;
        ExpectSameBothWays(sample.codec, es, sample.file);
        ExpectSameBothWays(sample.codec, Recut(es, random, 7), std::string(sample.file) + " cut");
    }
}

// Random bytes with many zeros and ones, start codes of both lengths and NAL or MPEG-2 headers
// that begin units of every kind, slices with varying first bytes so that pictures start.
Es RandomStream(Codec_e codec, std::mt19937& random, std::size_t size) {
    Bytes bytes;
    bytes.reserve(size);
    while (bytes.size() < size) {
        const unsigned pick = random() % 100;
        if (pick < 3) {
            if (random() % 2) {
                bytes.push_back(0x00);
            }
            bytes.insert(bytes.end(), {0x00, 0x00, 0x01});
            switch (codec) {
                case AVC:
                    bytes.push_back(static_cast<uint8_t>(random() % 2 ? 0x65 : random()));
                    break;
                case HEVC:
                    bytes.push_back(static_cast<uint8_t>((random() % 41) << 1));
                    bytes.push_back(0x01);
                    break;
                case MPEG2: {
                    static const uint8_t codes[] = {0x00, 0xB3, 0xB5, 0xB2, 0xB8, 0x01, 0xAF};
                    bytes.push_back(codes[random() % sizeof(codes)]);
                    break;
                }
            }
        } else if (pick < 25) {
            bytes.push_back(0x00);
        } else if (pick < 30) {
            bytes.push_back(0x01);
        } else {
            bytes.push_back(static_cast<uint8_t>(random()));
        }
    }
    Es es;
    for (std::size_t offset = 0; offset < bytes.size();) {
        const std::size_t piece = std::min<std::size_t>(1 + random() % 400, bytes.size() - offset);
        Cmf::Pcr pts;
        if (random() % 3 == 0) {
            pts = Cmf::Pcr(uint64_t(random()) * 300);
        }
        es.push_back({Bytes(bytes.begin() + offset, bytes.begin() + offset + piece), pts});
        offset += piece;
    }
    return es;
}

TEST(FastScanTest, RandomStreamsGiveTheSameAccessUnitsBothWays) {
    std::mt19937 random(2024);
    for (Codec_e codec : {AVC, HEVC, MPEG2}) {
        std::size_t delivered = 0;
        for (int round = 0; round < 20; ++round) {
            const Es es = RandomStream(codec, random, 20000);
            delivered += Defragment(codec, true, es).size();
            ExpectSameBothWays(codec, es, "round " + std::to_string(round));
        }
        EXPECT_GT(delivered, 100u) << CODEC_NAMES[codec];
    }
}

// A unit that never ends overflows the buffer at the same byte both ways, and the stream goes on.
TEST(FastScanTest, AnEndlessUnitOverflowsAtTheSameByteBothWays) {
    std::mt19937 random(99);
    for (Codec_e codec : {AVC, HEVC, MPEG2}) {
        Es es = RandomStream(codec, random, 4000);
        Bytes endless(6u << 20);
        for (uint8_t& byte : endless) {
            byte = static_cast<uint8_t>(1 + random() % 255);
        }
        for (std::size_t offset = 0; offset < endless.size(); offset += 65536) {
            es.push_back(
                {Bytes(endless.begin() + offset, endless.begin() + offset + 65536), Cmf::Pcr()});
        }
        const Es tail = RandomStream(codec, random, 4000);
        es.insert(es.end(), tail.begin(), tail.end());
        ExpectSameBothWays(codec, es, "endless unit");
    }
}

}  // namespace
