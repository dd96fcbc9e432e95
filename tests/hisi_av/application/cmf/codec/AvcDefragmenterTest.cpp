#include "hisi_av/application/cmf/codec/AvcDefragmenter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "BitWriter.h"
#include "CodecTestUtil.h"
#include "ConsoleCapture.h"
#include "TsStreamBuilder.h"
#include "hisi_av/application/cmf/codec/AvcAu.h"
#include "hisi_av/application/cmf/ts/TsToEsConverter.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Positions = std::vector<unsigned int>;
using CodecTest::MakeBuffer;
using KestrelTest::TsStreamBuilder;

struct TestNal {
    Bytes bytes;  // header and payload
    bool fourByteStartCode = false;
};
using TestAu = std::vector<TestNal>;

const TestNal AUD{{0x09, 0xF0}, true};
// x264's 1080p High profile SPS: 4-bit frame_num, poc type 0 with a 6-bit lsb, frames only.
const TestNal SPS{{0x67, 0x64, 0x00, 0x28, 0xAC, 0xD9, 0x40, 0x78, 0x02, 0x27, 0xE5, 0x84, 0x00,
                   0x00, 0x03, 0x00, 0x04, 0x00, 0x00, 0x03, 0x00, 0xF0, 0x3C, 0x60, 0xC6, 0x58}};
const TestNal PPS{{0x68, 0xEB, 0xE3, 0xCB, 0x22, 0xC0}};
const TestNal SEI{{0x06, 0x04, 0x03, 0x11, 0x22, 0x33, 0x80}};

// A slice for SPS, `payloadBytes` long before escaping and ending in the stop bit; the filler
// holds zero runs (lengthened by escapes) unless `zeroRuns` is false.
TestNal Slice(bool idr, unsigned int frameNum, unsigned int pocLsb, std::size_t payloadBytes = 40,
              unsigned int firstMb = 0, bool zeroRuns = true) {
    BitWriter w;
    w.Ue(firstMb).Ue(idr ? 7 : 5).Ue(0).U(4, frameNum);
    if (idr) {
        w.Ue(0);
    }
    w.U(6, pocLsb);
    for (std::size_t i = 0; w.BitCount() < (payloadBytes - 1) * 8; ++i) {
        w.U(8, (zeroRuns && i % 11 < 3) ? 0x00 : 0x40 + i);
    }
    Bytes nal{static_cast<uint8_t>(idr ? 0x65 : 0x41)};
    const Bytes payload = w.Trailing().Escaped();
    nal.insert(nal.end(), payload.begin(), payload.end());
    return {nal};
}

Bytes ToBytes(const std::vector<TestAu>& aus) {
    Bytes bytes;
    for (const TestAu& au : aus) {
        for (const TestNal& nal : au) {
            bytes.insert(bytes.end(), nal.fourByteStartCode ? 1 : 0, 0x00);
            bytes.insert(bytes.end(), {0x00, 0x00, 0x01});
            bytes.insert(bytes.end(), nal.bytes.begin(), nal.bytes.end());
        }
    }
    return bytes;
}

struct SeenAu {
    Bytes bytes;
    Positions positions;  // offsets of the first byte of each start code
    Cmf::Pcr pts;

    bool operator==(const SeenAu& o) const {
        return bytes == o.bytes && positions == o.positions && pts == o.pts;
    }
};

void PrintTo(const SeenAu& au, std::ostream* os) {
    *os << au.bytes.size() << " bytes, positions " << ::testing::PrintToString(au.positions)
        << ", PTS " << (au.pts.IsValid() ? std::to_string(au.pts.GetBase()) : "-");
}

SeenAu Expected(const TestAu& au, const Cmf::Pcr& pts = Cmf::Pcr()) {
    SeenAu seen{ToBytes({au}), {}, pts};
    unsigned int offset = 0;
    for (const TestNal& nal : au) {
        seen.positions.push_back(offset);
        offset += (nal.fourByteStartCode ? 4 : 3) + static_cast<unsigned int>(nal.bytes.size());
    }
    return seen;
}

class AuCollector {
public:
    explicit AuCollector(Cmf::Defragmenter& defragmenter) {
        defragmenter.Subscribe(XP::MakeFunctor<&AuCollector::OnAu>(this));
    }
    void OnAu(const Cmf::AccessUnit& au) {
        const auto* avcAu = dynamic_cast<const Cmf::AvcAu*>(&au);
        ASSERT_NE(avcAu, nullptr);
        EXPECT_FALSE(au.GetDts().IsValid());
        m_Aus.push_back({Bytes(au.GetData().GetBegin(), au.GetData().GetEnd()),
                         avcAu->GetScPositions(), au.GetPts()});
        m_Clones.push_back(avcAu->Clone());
    }
    std::vector<SeenAu> m_Aus;
    std::vector<Cmf::AvcAu> m_Clones;
};

// Feeds `es` in pieces of `pieceSize` bytes; the first piece carries `pts`.
void Feed(Cmf::AvcDefragmenter& defragmenter, const Bytes& es, std::size_t pieceSize,
          const Cmf::Pcr& pts = Cmf::Pcr()) {
    for (std::size_t offset = 0; offset < es.size(); offset += pieceSize) {
        const std::size_t end = std::min(es.size(), offset + pieceSize);
        const XP::CBuffer piece = MakeBuffer(Bytes(es.begin() + offset, es.begin() + end));
        defragmenter.PutFragment(Cmf::Fragment(piece, offset == 0 ? pts : Cmf::Pcr(), 0));
    }
}

TEST(AvcDefragmenterTest, AccessUnitEndsAtTheNextDelimiter) {
    const TestAu au = {AUD, SPS, PPS, Slice(true, 0, 0)};
    Cmf::AvcDefragmenter defragmenter;
    AuCollector collector(defragmenter);
    Feed(defragmenter, ToBytes({au, {AUD}}), 1000, Cmf::Pcr(900000, 0));
    ASSERT_EQ(collector.m_Aus.size(), 1u);
    EXPECT_EQ(collector.m_Aus[0], Expected(au, Cmf::Pcr(900000, 0)));
    // Written out: the delimiter's 4-byte start code, then the SPS at 4 + 2, the PPS at
    // 6 + 3 + 26, the slice at 35 + 3 + 6.
    EXPECT_EQ(collector.m_Aus[0].positions, (Positions{0, 6, 35, 44}));

    // Unit views: each unit ends one byte before the next start code, the last one before the
    // access unit's last byte.
    const Cmf::AvcAu& clone = collector.m_Clones[0];
    Cmf::AvcNal nal;
    ASSERT_TRUE(clone.GetNalByIndex(0, nal));
    EXPECT_EQ(nal.GetData(), MakeBuffer({0x09}));
    ASSERT_TRUE(clone.GetNalByType(Cmf::AvcNal::SPS_NUT, nal));
    EXPECT_EQ(nal.GetData(), MakeBuffer(Bytes(SPS.bytes.begin(), SPS.bytes.end() - 1)));
    EXPECT_EQ(nal.GetRefIdc(), 3);
    ASSERT_TRUE(clone.GetFirstNalSlice(nal));
    const Bytes slice = au[3].bytes;
    EXPECT_EQ(nal.GetData(), MakeBuffer(Bytes(slice.begin(), slice.end() - 1)));
    EXPECT_FALSE(clone.GetNalByIndex(4, nal));
    EXPECT_FALSE(clone.GetNalByType(Cmf::AvcNal::SEI_NUT, nal));
}

TEST(AvcDefragmenterTest, PictureBoundaries) {
    // Two slices of one picture; pictures told apart only by frame_num, or only by
    // pic_order_cnt_lsb (fields), without delimiters; filler data and an end of sequence stay
    // with the picture before them; an SEI starts a unit.
    const TestNal filler{{0x0C, 0xFF, 0xFF, 0xFF, 0x80}};
    const TestNal endOfSequence{{0x0A}};
    const std::vector<TestAu> aus = {
        {AUD, SPS, PPS, SEI, Slice(true, 0, 0), Slice(true, 0, 0, 60, 120)},
        {Slice(false, 1, 4), Slice(false, 1, 4, 30, 200)},
        {Slice(false, 2, 8), filler},
        {Slice(false, 3, 8), endOfSequence},
        {SEI, Slice(false, 4, 12)},
        {Slice(false, 4, 13)},
        {AUD},
    };
    Cmf::AvcDefragmenter defragmenter;
    AuCollector collector(defragmenter);
    Feed(defragmenter, ToBytes(aus), 4096);
    ASSERT_EQ(collector.m_Aus.size(), aus.size() - 1);
    for (std::size_t i = 0; i + 1 < aus.size(); ++i) {
        EXPECT_EQ(collector.m_Aus[i], Expected(aus[i])) << "AU " << i;
    }

    // Units of 32 bytes (6 + 3 + 23) or fewer are dropped; 33 bytes are delivered.
    const TestAu thirtyTwo = {AUD, Slice(false, 1, 0, 22, 0, false)};
    const TestAu thirtyThree = {AUD, Slice(false, 2, 0, 23, 0, false)};
    ASSERT_EQ(ToBytes({thirtyTwo}).size(), 32u);
    Cmf::AvcDefragmenter small;
    AuCollector smallCollector(small);
    Feed(small, ToBytes({thirtyTwo, thirtyThree, thirtyTwo, {AUD}}), 7);
    EXPECT_EQ(smallCollector.m_Aus, std::vector<SeenAu>{Expected(thirtyThree)});
}

TEST(AvcDefragmenterTest, PtsGoesToTheNextUnitStarted) {
    const std::vector<TestAu> aus = {{AUD, SPS, PPS, Slice(true, 0, 0)},
                                     {AUD, Slice(false, 1, 2, 200)},
                                     {AUD, Slice(false, 2, 4)},
                                     {AUD, Slice(false, 3, 6)}};
    const Bytes second = ToBytes({aus[1]});
    const std::size_t half = second.size() / 2;
    Cmf::AvcDefragmenter defragmenter;
    AuCollector collector(defragmenter);
    Feed(defragmenter, ToBytes({aus[0]}), 5000, Cmf::Pcr(1000, 0));
    Feed(defragmenter, Bytes(second.begin(), second.begin() + half), 5000, Cmf::Pcr(2000, 0));
    // In the middle of the second unit: for the unit started next.
    Feed(defragmenter, Bytes(second.begin() + half, second.end()), 5000, Cmf::Pcr(3000, 0));
    // The fourth unit starts with no PTS since the third's start.
    Feed(defragmenter, ToBytes({aus[2], aus[3], {AUD}}), 5000);
    EXPECT_EQ(collector.m_Aus,
              (std::vector<SeenAu>{Expected(aus[0], Cmf::Pcr(1000, 0)),
                                   Expected(aus[1], Cmf::Pcr(2000, 0)),
                                   Expected(aus[2], Cmf::Pcr(3000, 0)), Expected(aus[3])}));
}

// Mixed pictures, some large; the last unit is a lone delimiter that closes the one before.
std::vector<TestAu> LongStream() {
    std::vector<TestAu> aus;
    for (unsigned int i = 0; i < 12; ++i) {
        TestAu au = {AUD};
        if (i % 4 == 0) {
            au.insert(au.end(), {SPS, PPS});
        }
        au.push_back(SEI);
        au.push_back(Slice(i % 4 == 0, i, 2 * i, (i % 3 == 0) ? 3000 : 100 + 37 * i));
        if (i % 2 == 1) {
            au.push_back(Slice(false, i, 2 * i, 500, 300));
        }
        aus.push_back(au);
    }
    aus.push_back({AUD});
    return aus;
}

TEST(AvcDefragmenterTest, SameUnitsWhateverTheCuts) {
    const std::vector<TestAu> aus = LongStream();
    const Bytes es = ToBytes(aus);
    std::vector<SeenAu> expected;
    for (std::size_t i = 0; i + 1 < aus.size(); ++i) {
        expected.push_back(Expected(aus[i]));
    }
    for (const std::vector<Bytes>& pieces :
         {TsStreamBuilder::Split(es, es.size()), TsStreamBuilder::Split(es, 1),
          TsStreamBuilder::SplitMisaligned(es, 5, 184),
          TsStreamBuilder::SplitRandomly(es, 7, 300)}) {
        Cmf::AvcDefragmenter defragmenter;
        AuCollector collector(defragmenter);
        for (const Bytes& piece : pieces) {
            defragmenter.PutFragment(Cmf::Fragment(MakeBuffer(piece), Cmf::Pcr(), 0));
        }
        EXPECT_EQ(collector.m_Aus, expected) << pieces.size() << " pieces";
    }

    // One access unit per PES with its PTS, packetised in different ways (a PES header split
    // over two packets included): the same units with their own PTS.
    for (auto& au : expected) {
        au.pts = Cmf::Pcr(900000 + 3003 * (&au - &expected[0]), 0);
    }
    for (std::size_t maxPayload : {184, 1, 61}) {
        TsStreamBuilder builder;
        for (std::size_t i = 0; i < aus.size(); ++i) {
            KestrelTest::PesOptions options;
            options.Pts(900000 + 3003 * i).MaxPayloadPerPacket(maxPayload);
            if (i % 2 == 1) {
                options.FirstPacketPayload(7).Unbounded();
            }
            builder.AddPes(0x100, ToBytes({aus[i]}), options);
        }
        Cmf::TsToEsConverter converter;
        Cmf::AvcDefragmenter defragmenter;
        converter.Subscribe(XP::MakeFunctor<&Cmf::AvcDefragmenter::PutFragment>(&defragmenter));
        AuCollector collector(defragmenter);
        for (std::size_t i = 0; i < builder.PacketCount(); ++i) {
            Cmf::TsPacket packet;
            std::copy_n(builder.PacketData(i), TsStreamBuilder::PACKET_SIZE,
                        packet.GetData().GetBegin());
            converter.PutTsPacket(packet);
        }
        EXPECT_EQ(collector.m_Aus, expected) << "payload per packet " << maxPayload;
    }
}

TEST(AvcDefragmenterTest, OversizedUnitIsDroppedAndTheStreamResumes) {
    KestrelTest::ConsoleCapture console;
    Cmf::AvcDefragmenter defragmenter;
    AuCollector collector(defragmenter);
    Feed(defragmenter, ToBytes({{AUD, SPS, PPS, Slice(true, 0, 0)}}), 4096);
    const Bytes filler(64 * 1024, 0xA5);
    for (std::size_t fed = 0; fed <= Cmf::AvcDefragmenter::MAX_AU_SIZE; fed += filler.size()) {
        Feed(defragmenter, filler, filler.size());
    }
    EXPECT_EQ(console.Take(),
              std::vector<std::string>{"AvcDefragmenter: AU too large: 5242880 bytes."});
    EXPECT_TRUE(collector.m_Aus.empty());

    // The rest of the oversized unit is dropped with the first collection; then units flow.
    const std::vector<TestAu> aus = {{AUD, SPS, PPS, Slice(true, 0, 0)}, {AUD, Slice(false, 1, 2)}};
    Feed(defragmenter, ToBytes({aus[0], aus[1], {AUD}}), 100, Cmf::Pcr(5000, 0));
    EXPECT_EQ(collector.m_Aus,
              (std::vector<SeenAu>{Expected(aus[0], Cmf::Pcr(5000, 0)), Expected(aus[1])}));
    EXPECT_TRUE(console.Lines().empty());
}

TEST(AvcAuTest, ScansForStartCodesWhenGivenNone) {
    // 00 00 00 01 09 F0 | 00 00 01 68 EB E3 00 00 | 00 00 01 at the very end, with no byte after.
    const XP::CBuffer data = MakeBuffer(
        {0x00, 0x00, 0x00, 0x01, 0x09, 0xF0, 0x00, 0x00, 0x01, 0x68, 0xEB, 0xE3, 0x00, 0x00, 0x01});
    const Cmf::AvcAu au(data, Cmf::Pcr(10, 0), Cmf::Pcr(), {});
    EXPECT_EQ(au.GetScPositions(), (Positions{1, 6}));  // the second zero of 00 00 00 01
    Cmf::AvcNal nal;
    ASSERT_TRUE(au.GetNalByIndex(1, nal));
    EXPECT_EQ(nal.GetData(), MakeBuffer({0x68, 0xEB, 0xE3, 0x00, 0x00}));

    // A clone owns its bytes.
    const Cmf::AvcAu clone = au.Clone();
    data.GetBegin()[9] = 0x06;
    ASSERT_TRUE(clone.GetNalByIndex(1, nal));
    EXPECT_EQ(nal.GetUnitType(), Cmf::AvcNal::PPS_NUT);
    EXPECT_EQ(clone.GetPts(), Cmf::Pcr(10, 0));
}

}  // namespace
