#include "hisi_av/application/cmf/ts/TsToEsConverter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TsStreamBuilder.h"
#include "TsTestSupport.h"

namespace {

using KestrelTest::Counting;
using KestrelTest::DebugCapture;
using KestrelTest::FragmentCollector;
using KestrelTest::PacketFeed;
using KestrelTest::PacketOptions;
using KestrelTest::PesOptions;
using KestrelTest::TsStreamBuilder;
using Lines = std::vector<std::string>;

constexpr uint16_t PID = 0x100;
// A 33-bit PTS with its top and bottom bits set; its bytes are 29 8D 15 CF 13 with prefix '0010'.
constexpr uint64_t PTS = 0x123456789;

class TsToEsConverterTest : public ::testing::Test {
protected:
    TsToEsConverterTest() {
        m_Converter.Subscribe(XP::MakeFunctor<&FragmentCollector::OnFragment>(&m_Collector));
    }

    void Feed(const std::vector<uint8_t>& bytes) {
        m_Feeds.emplace_back(bytes);
        for (const Cmf::TsPacket& packet : m_Feeds.back().Packets()) {
            m_Converter.PutTsPacket(packet);
        }
    }

    const std::vector<KestrelTest::SeenFragment>& Fragments() const {
        return m_Collector.Fragments();
    }

    Cmf::TsToEsConverter m_Converter;
    FragmentCollector m_Collector;
    std::vector<PacketFeed> m_Feeds;
};

// The same PES cut into packets in many ways gives the same elementary stream, with the PTS on
// the first fragment only. Cutting the first packet at every length moves the end of the first
// packet through every byte of the PES header. A bounded header is not cut between its two length
// bytes: only the header's own packet remembers the length, so that cut loses the high byte.
TEST_F(TsToEsConverterTest, SameStreamWhateverTheCutsAndHeaderForm) {
    struct Form {
        const char* name;
        PesOptions options;
        bool hasPts;
    };
    const Form forms[] = {
        {"pts", PesOptions().Pts(PTS), true},
        {"pts and dts", PesOptions().Pts(PTS).Dts(PTS - 3003), true},
        {"pts and header stuffing", PesOptions().Pts(PTS).HeaderStuffing(7), true},
        {"no pts", PesOptions(), false},
        {"no pts, header stuffing", PesOptions().HeaderStuffing(3), false},
        {"unbounded pts", PesOptions().Pts(PTS).Unbounded(), true},
        {"pcr in first packet", PesOptions().Pts(PTS).Pcr(27000000).RandomAccess(), true},
    };
    const std::vector<uint8_t> es = Counting(1000, 0x10);

    for (const Form& form : forms) {
        const std::size_t headerSize = TsStreamBuilder::PesHeader(es.size(), form.options).size();
        for (std::size_t first = 1; first <= headerSize + 2; ++first) {
            if (form.options.bounded && first == 5) {
                continue;
            }
            for (std::size_t perPacket : {std::size_t(184), std::size_t(61), std::size_t(1)}) {
                if (perPacket == 1 && first != 1) {
                    continue;
                }
                SCOPED_TRACE(std::string(form.name) + ", first packet " + std::to_string(first) +
                             ", per packet " + std::to_string(perPacket));
                TsStreamBuilder builder;
                PesOptions options = form.options;
                builder.AddPes(PID, es,
                               options.FirstPacketPayload(first).MaxPayloadPerPacket(perPacket));
                // The next unit start ends an unbounded PES; its header is split too.
                builder.AddPes(PID, {0xEE}, PesOptions().FirstPacketPayload(3));

                Cmf::TsToEsConverter converter;
                FragmentCollector collector;
                converter.Subscribe(XP::MakeFunctor<&FragmentCollector::OnFragment>(&collector));
                PacketFeed feed(builder.Bytes());
                for (const Cmf::TsPacket& packet : feed.Packets()) {
                    converter.PutTsPacket(packet);
                }

                std::vector<uint8_t> expectedEs = es;
                expectedEs.push_back(0xEE);
                EXPECT_EQ(expectedEs, collector.Concatenated());
                ASSERT_FALSE(collector.Fragments().empty());
                const Cmf::Pcr expected = form.hasPts ? Cmf::Pcr(PTS * 300) : Cmf::Pcr();
                EXPECT_EQ(expected, collector.Fragments().front().pts);
                for (std::size_t i = 1; i < collector.Fragments().size(); ++i) {
                    EXPECT_FALSE(collector.Fragments()[i].pts.IsValid());
                }
                // Zero copy: every fragment points into the packets' own buffer.
                for (const KestrelTest::SeenFragment& fragment : collector.Fragments()) {
                    EXPECT_TRUE(feed.Contains(fragment.pData, fragment.bytes.size()));
                }
            }
        }
    }
}

TEST_F(TsToEsConverterTest, FragmentSharesThePacketBytesAndTracesTheHeader) {
    TsStreamBuilder builder;
    builder.AddPes(PID, Counting(100), PesOptions().Pts(PTS));
    DebugCapture capture;
    Feed(builder.Bytes());

    ASSERT_EQ(1u, Fragments().size());
    // Header, adaptation field of 184 - 114 bytes, then 14 bytes of PES header.
    const unsigned char* pPacket = m_Feeds.back().Buffer().GetBegin();
    EXPECT_EQ(pPacket + 4 + 70 + 14, Fragments()[0].pData);
    EXPECT_EQ(Counting(100), Fragments()[0].bytes);
    // Length 3 + 5 + 100 = 108, less the 8 header bytes after it.
    EXPECT_EQ(100u, Fragments()[0].pesLength);
    EXPECT_EQ(PTS, Fragments()[0].pts.GetBase());
    EXPECT_EQ(0u, Fragments()[0].pts.GetExt());
    EXPECT_EQ(Cmf::TsToEsConverter::COLLECT_STATE_DATA_BYTE, m_Converter.GetState());
    EXPECT_EQ((Lines{"TsToEsConverter::PUSI - start collecting",
                     "TsToEsConverter:: COLLECT_STATE_FLAGS2 hasPts=1",
                     "TsToEsConverter:: COLLECT_STATE_HEADER_LENGTH 5"}),
              capture.Take());
}

// A bounded PES that ends inside its first packet yields exactly its bytes; the rest of the
// packet and the packets up to the next unit start are dropped.
TEST_F(TsToEsConverterTest, BoundedPesEndingInsideThePacket) {
    TsStreamBuilder builder;
    // 14 header bytes + 170 bytes fill the payload, but the length field counts 3 + 5 + 10.
    builder.AddPes(PID, Counting(170), PesOptions().Pts(PTS).PesLength(18));
    builder.AddPacket(PID, Counting(184, 0x80));
    DebugCapture capture;
    Feed(builder.Bytes());

    ASSERT_EQ(1u, Fragments().size());
    EXPECT_EQ(Counting(10), Fragments()[0].bytes);
    EXPECT_EQ(10u, Fragments()[0].pesLength);
    EXPECT_EQ(Cmf::TsToEsConverter::COLLECT_STATE_LOOKING_FOR_PUSI, m_Converter.GetState());
    EXPECT_EQ("TsToEsConverter:: No PUSI", capture.Take().back());

    // The next unit start is parsed normally.
    TsStreamBuilder next;
    next.AddPes(PID, Counting(5), PesOptions().Pts(PTS + 1));
    Feed(next.Bytes());
    ASSERT_EQ(2u, Fragments().size());
    EXPECT_EQ(Counting(5), Fragments()[1].bytes);
    EXPECT_EQ(PTS + 1, Fragments()[1].pts.GetBase());
}

// A length field that promises more than the packet holds bounds nothing: the whole rest goes
// out, and so does every following packet until the next unit start.
TEST_F(TsToEsConverterTest, LengthLongerThanTheDataAndUnboundedPesRunToTheNextUnitStart) {
    for (const PesOptions& options :
         {PesOptions().Pts(PTS).PesLength(0xFFFF), PesOptions().Pts(PTS).Unbounded()}) {
        m_Collector.Clear();
        TsStreamBuilder builder;
        builder.AddPes(PID, Counting(170), options);
        builder.AddPacket(PID, Counting(184, 1));
        builder.AddPacket(PID, Counting(50, 2));
        Feed(builder.Bytes());

        ASSERT_EQ(3u, Fragments().size());
        EXPECT_EQ(Counting(170), Fragments()[0].bytes);
        EXPECT_EQ(Counting(184, 1), Fragments()[1].bytes);
        EXPECT_EQ(Counting(50, 2), Fragments()[2].bytes);
        EXPECT_TRUE(Fragments()[0].pts.IsValid());
        EXPECT_FALSE(Fragments()[1].pts.IsValid());
        EXPECT_FALSE(Fragments()[2].pts.IsValid());
        EXPECT_EQ(0u, Fragments()[1].pesLength);
    }
}

// A wrong start-code byte drops the PES up to the next unit start, with the state's message.
TEST_F(TsToEsConverterTest, StartCodeMismatchDropsThePesUntilTheNextUnitStart) {
    const struct {
        std::vector<uint8_t> start;
        const char* message;
    } cases[] = {
        {{0x01, 0x00, 0x01}, "TsToEsConverter:: COLLECT_STATE_SC1 BAD"},
        {{0x00, 0x01, 0x01}, "TsToEsConverter:: COLLECT_STATE_SC2 BAD"},
        {{0x00, 0x00, 0x02}, "TsToEsConverter:: COLLECT_STATE_SC3 BAD"},
        {{0x00, 0x00, 0x00}, "TsToEsConverter:: COLLECT_STATE_SC3 BAD"},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.message);
        m_Collector.Clear();
        TsStreamBuilder builder;
        std::vector<uint8_t> payload = testCase.start;
        const std::vector<uint8_t> rest = Counting(100);
        payload.insert(payload.end(), rest.begin(), rest.end());
        builder.AddPacket(PID, payload, PacketOptions().UnitStart());
        builder.AddPacket(PID, Counting(184));
        builder.AddPes(PID, Counting(20), PesOptions().Pts(PTS));

        DebugCapture capture;
        Feed(builder.Bytes());
        const Lines lines = capture.Take();
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(testCase.message, lines[1]);
        EXPECT_EQ("TsToEsConverter:: No PUSI", lines[2]);
        ASSERT_EQ(1u, Fragments().size());
        EXPECT_EQ(Counting(20), Fragments()[0].bytes);
        EXPECT_EQ(PTS, Fragments()[0].pts.GetBase());
    }
}

TEST_F(TsToEsConverterTest, PrivateTimestampPacket) {
    TsStreamBuilder builder;
    builder.AddPrivateTimestamp(PID, 0x89ABCDEF, 0x5A);
    builder.AddPacket(PID, Counting(184, 3));
    Feed(builder.Bytes());

    ASSERT_EQ(2u, Fragments().size());
    // The whole payload goes out, signature included.
    const std::vector<uint8_t>& first = Fragments()[0].bytes;
    ASSERT_EQ(184u, first.size());
    EXPECT_EQ((std::vector<uint8_t>{0xFF, 0x64, 0x00, 0x0E, 0x4D, 0x4D, 0x00, 0x00, 0x89, 0xAB,
                                    0xCD, 0xEF, 0x5A}),
              std::vector<uint8_t>(first.begin(), first.begin() + 13));
    EXPECT_EQ(Cmf::Pcr(uint64_t(0x89ABCDEF) * 300), Fragments()[0].pts);
    EXPECT_EQ(Counting(184, 3), Fragments()[1].bytes);
    EXPECT_FALSE(Fragments()[1].pts.IsValid());
}

// Without the full signature, or without the full 184 bytes, a leading 0xFF is just a bad start
// code.
TEST_F(TsToEsConverterTest, IncompletePrivateTimestampIsABadStartCode) {
    TsStreamBuilder wrongSignature;
    wrongSignature.AddPrivateTimestamp(PID, 1);
    wrongSignature.PacketData(0)[4 + 5] = 0x4C;
    TsStreamBuilder shortOne;
    shortOne.AddPacket(PID, {0xFF, 0x64, 0x00, 0x0E, 0x4D, 0x4D, 0, 0, 0, 0, 0, 1},
                       PacketOptions().UnitStart());

    for (const TsStreamBuilder* builder : {&wrongSignature, &shortOne}) {
        DebugCapture capture;
        Feed(builder->Bytes());
        EXPECT_TRUE(Fragments().empty());
        EXPECT_EQ((Lines{"TsToEsConverter::PUSI - start collecting",
                         "TsToEsConverter:: COLLECT_STATE_SC1 BAD"}),
                  capture.Take());
    }
}

// A unit-start payload whose byte after the pointer field is 0xFC goes out from there, without
// PTS; a pointer field past the end of the payload is not a section start.
TEST_F(TsToEsConverterTest, SectionStart) {
    std::vector<uint8_t> payload = {0x03, 0xAA, 0xBB, 0xCC, 0xFC, 0x01, 0x02};
    TsStreamBuilder builder;
    builder.AddPacket(PID, payload, PacketOptions().UnitStart());
    builder.AddPacket(PID, {0x44, 0x55});
    Feed(builder.Bytes());

    ASSERT_EQ(2u, Fragments().size());
    EXPECT_EQ((std::vector<uint8_t>{0xFC, 0x01, 0x02}), Fragments()[0].bytes);
    EXPECT_FALSE(Fragments()[0].pts.IsValid());
    EXPECT_EQ((std::vector<uint8_t>{0x44, 0x55}), Fragments()[1].bytes);

    m_Collector.Clear();
    TsStreamBuilder pastTheEnd;
    pastTheEnd.AddPacket(PID, {0x01, 0xFC}, PacketOptions().UnitStart());
    DebugCapture capture;
    Feed(pastTheEnd.Bytes());
    EXPECT_TRUE(Fragments().empty());
    EXPECT_EQ("TsToEsConverter:: COLLECT_STATE_SC1 BAD", capture.Take().back());
}

TEST_F(TsToEsConverterTest, PacketsBeforeTheFirstUnitStartAndPacketsWithoutPayload) {
    TsStreamBuilder builder;
    builder.AddPacket(PID, Counting(184));
    builder.AddPcr(PID, 1000);
    DebugCapture capture;
    Feed(builder.Bytes());
    EXPECT_TRUE(Fragments().empty());
    EXPECT_EQ((Lines{"TsToEsConverter:: No PUSI", "TsToEsConverter:: No PUSI"}), capture.Take());

    // While collecting, an adaptation-only packet changes nothing.
    TsStreamBuilder collecting;
    collecting.AddPes(PID, Counting(300), PesOptions().Pts(PTS).Unbounded());
    Feed(collecting.Bytes());
    const std::size_t before = Fragments().size();
    capture.Take();
    TsStreamBuilder pcrOnly;
    pcrOnly.AddPcr(PID, 1000);
    pcrOnly.AddPacket(PID, {0x77});
    Feed(pcrOnly.Bytes());
    EXPECT_EQ("TsToEsConverter:: No Payload", capture.Take().front());
    ASSERT_EQ(before + 1, Fragments().size());
    EXPECT_EQ((std::vector<uint8_t>{0x77}), Fragments().back().bytes);

    // A unit start without payload starts collecting: the next packet is a PES start.
    m_Collector.Clear();
    TsStreamBuilder emptyStart;
    emptyStart.AddPacket(PID, {}, PacketOptions().UnitStart().Pcr(5));
    const std::vector<uint8_t> header = TsStreamBuilder::PesHeader(2, PesOptions().Pts(PTS));
    std::vector<uint8_t> pes = header;
    pes.push_back(0x11);
    pes.push_back(0x22);
    emptyStart.AddPacket(PID, pes);
    Feed(emptyStart.Bytes());
    EXPECT_EQ("TsToEsConverter:: No Payload", capture.Take()[1]);
    ASSERT_EQ(1u, Fragments().size());
    EXPECT_EQ((std::vector<uint8_t>{0x11, 0x22}), Fragments()[0].bytes);
    EXPECT_EQ(PTS, Fragments()[0].pts.GetBase());
}

// Malformed packets: nothing is read outside the packet (AddressSanitizer watches the exact-size
// buffers) and parsing resumes at the next unit start.
TEST_F(TsToEsConverterTest, MalformedPacketsAreSurvivedAndParsingResumes) {
    const auto pesStart = [](uint16_t length, uint8_t flags2, uint8_t headerLength) {
        return std::vector<uint8_t>{0x00,
                                    0x00,
                                    0x01,
                                    0xE0,
                                    static_cast<uint8_t>(length >> 8),
                                    static_cast<uint8_t>(length),
                                    0x80,
                                    flags2,
                                    headerLength};
    };
    std::vector<std::vector<uint8_t>> badPackets;
    // Adaptation field length beyond the packet, with control 3.
    {
        TsStreamBuilder b;
        b.AddPes(PID, Counting(100), PesOptions().Pts(PTS));
        b.PacketData(0)[4] = 0xF0;
        badPackets.push_back(b.Packet(0));
    }
    // A PTS announced but a header length of 0: the data behind the header is read as PTS, and
    // the header byte count must not wrap and swallow the data after it.
    {
        std::vector<uint8_t> payload = pesStart(0, 0x80, 0);
        const std::vector<uint8_t> data = Counting(175);
        payload.insert(payload.end(), data.begin(), data.end());
        TsStreamBuilder b;
        b.AddPacket(PID, payload, PacketOptions().UnitStart());
        badPackets.push_back(b.Packet(0));
    }
    // A header length beyond the packet.
    {
        std::vector<uint8_t> payload = pesStart(0, 0x00, 0xFF);
        payload.resize(184, 0x33);
        TsStreamBuilder b;
        b.AddPacket(PID, payload, PacketOptions().UnitStart());
        badPackets.push_back(b.Packet(0));
    }
    // A length field smaller than the header it contains (wraps to a huge bound).
    {
        std::vector<uint8_t> payload = pesStart(2, 0x80, 5);
        payload.resize(184, 0x21);
        TsStreamBuilder b;
        b.AddPacket(PID, payload, PacketOptions().UnitStart());
        badPackets.push_back(b.Packet(0));
    }
    // No sync byte, reserved adaptation field control.
    {
        TsStreamBuilder b;
        b.AddPes(PID, Counting(184), PesOptions().Pts(PTS));
        b.PacketData(0)[0] = 0x00;
        b.PacketData(0)[3] &= 0xCF;
        badPackets.push_back(b.Packet(0));
    }

    std::vector<std::size_t> bytesOut;
    for (const std::vector<uint8_t>& bad : badPackets) {
        m_Collector.Clear();
        Feed(bad);
        for (const KestrelTest::SeenFragment& fragment : Fragments()) {
            EXPECT_TRUE(m_Feeds.back().Contains(fragment.pData, fragment.bytes.size()));
        }
        bytesOut.push_back(Fragments().empty() ? 0 : Fragments().back().bytes.size());

        m_Collector.Clear();
        TsStreamBuilder good;
        good.AddPes(PID, Counting(30), PesOptions().Pts(PTS));
        Feed(good.Bytes());
        ASSERT_EQ(1u, Fragments().size());
        EXPECT_EQ(Counting(30), Fragments()[0].bytes);
        EXPECT_EQ(PTS, Fragments()[0].pts.GetBase());
    }
    // The header without room for its PTS hands on everything behind the 5 bytes taken as PTS.
    EXPECT_EQ(170u, bytesOut[1]);
    // The over-long header is skipped to the end of the packet.
    EXPECT_EQ(0u, bytesOut[2]);
    // The length field too short for its own header bounds nothing.
    EXPECT_EQ(184u - 14u, bytesOut[3]);

    // A buffer shorter than a packet has no payload, whatever its header says.
    m_Collector.Clear();
    XP::CBuffer shortBuffer(10);
    const uint8_t header[] = {0x47, 0x41, 0x00, 0x10, 0x00, 0x00, 0x01, 0xE0, 0x00, 0x00};
    std::copy(header, header + sizeof(header), shortBuffer.GetBegin());
    m_Converter.PutTsPacket(Cmf::TsPacket(shortBuffer));
    EXPECT_TRUE(Fragments().empty());
    EXPECT_EQ(Cmf::TsToEsConverter::COLLECT_STATE_SC1, m_Converter.GetState());
}

}  // namespace
