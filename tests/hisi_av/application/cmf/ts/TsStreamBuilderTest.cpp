// The stream builder is the expectation of every media test, so its bytes are checked here
// against hand-computed forms and published ones (the CRC-32/MPEG-2 check value, the PAT every
// FFmpeg-muxed stream starts with).
#include "TsStreamBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using KestrelTest::PacketOptions;
using KestrelTest::PesOptions;
using KestrelTest::TsStreamBuilder;
using Bytes = std::vector<uint8_t>;

Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t count) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

TEST(TsStreamBuilderTest, SectionsCarryTheMpeg2Crc) {
    const std::string check = "123456789";
    EXPECT_EQ(0x0376E6E7u,
              TsStreamBuilder::Crc32(reinterpret_cast<const uint8_t*>(check.data()), check.size()));

    TsStreamBuilder builder;
    builder.AddPat(1, {{1, 0x1000}});
    const Bytes packet = builder.Packet(0);
    EXPECT_EQ((Bytes{0x47, 0x40, 0x00, 0x10, 0x00, 0x00, 0xB0, 0x0D, 0x00, 0x01, 0xC1,
                     0x00, 0x00, 0x00, 0x01, 0xF0, 0x00, 0x2A, 0xB1, 0x04, 0xB2, 0xFF}),
              Slice(packet, 0, 22));
    EXPECT_EQ(Bytes(188 - 21, 0xFF), Slice(packet, 21, 188 - 21));

    // A PMT's CRC makes the CRC over the whole section 0.
    builder.AddPmt(0x1000, 1, 0x100, {{0x1B, 0x100}, {0x0F, 0x101}});
    const Bytes pmt = builder.Packet(1);
    EXPECT_EQ((Bytes{0x02, 0xB0, 0x17, 0x00, 0x01, 0xC1, 0x00, 0x00, 0xE1, 0x00, 0xF0,
                     0x00, 0x1B, 0xE1, 0x00, 0xF0, 0x00, 0x0F, 0xE1, 0x01, 0xF0, 0x00}),
              Slice(pmt, 5, 22));
    EXPECT_EQ(0u, TsStreamBuilder::Crc32(pmt.data() + 5, 3 + 0x17));
}

TEST(TsStreamBuilderTest, PesHeaderTimestampsAndPcr) {
    // PTS 900000 = 0x0DBBA0 and DTS 0x123456789, worked out bit by bit.
    EXPECT_EQ((Bytes{0x00, 0x00, 0x01, 0xE0, 0x00, 0x12, 0x80, 0xC0, 0x0A, 0x31, 0x00, 0x37, 0x77,
                     0x41, 0x19, 0x8D, 0x15, 0xCF, 0x13}),
              TsStreamBuilder::PesHeader(5, PesOptions().Pts(900000).Dts(0x123456789)));
    EXPECT_EQ(
        (Bytes{0x00, 0x00, 0x01, 0xC0, 0x00, 0x00, 0x84, 0x00, 0x02, 0xFF, 0xFF}),
        TsStreamBuilder::PesHeader(
            70000, PesOptions().StreamId(0xC0).Unbounded().DataAlignment().HeaderStuffing(2)));
    EXPECT_THROW(TsStreamBuilder::PesHeader(70000, PesOptions()), std::invalid_argument);
    EXPECT_THROW(TsStreamBuilder::PesHeader(1, PesOptions().Dts(1)), std::invalid_argument);

    // Base 2^32 + 1, extension 299: the reserved bits are ones.
    TsStreamBuilder builder;
    builder.AddPcr(0x100, ((uint64_t(1) << 32) + 1) * 300 + 299);
    EXPECT_EQ((Bytes{0x47, 0x01, 0x00, 0x2F, 0xB7, 0x10, 0x80, 0x00, 0x00, 0x00, 0xFF, 0x2B, 0xFF}),
              Slice(builder.Packet(0), 0, 13));
}

TEST(TsStreamBuilderTest, PacketizationAndContinuityCounters) {
    TsStreamBuilder builder;
    // 9 + 5 header bytes and 400 data bytes: 184 + 184 + 46 payload bytes.
    Bytes es(400, 0x5A);
    const KestrelTest::PacketRange range = builder.AddPes(0x101, es, PesOptions().Pts(1));
    EXPECT_EQ(0u, range.first);
    ASSERT_EQ(3u, range.count);
    EXPECT_EQ((Bytes{0x47, 0x41, 0x01, 0x10}), Slice(builder.Packet(0), 0, 4));
    EXPECT_EQ((Bytes{0x47, 0x01, 0x01, 0x11}), Slice(builder.Packet(1), 0, 4));
    // 184 - 46 = 138 bytes of adaptation field: length 137, flags 0, 136 stuffing bytes.
    const Bytes last = builder.Packet(2);
    EXPECT_EQ((Bytes{0x47, 0x01, 0x01, 0x32, 137, 0x00, 0xFF}), Slice(last, 0, 7));
    EXPECT_EQ(0xFF, last[4 + 137]);
    EXPECT_EQ(Bytes(46, 0x5A), Slice(last, 188 - 46, 46));

    // Adaptation-only packets repeat the counter; the counter wraps after 15.
    builder.AddPcr(0x101, 0);
    EXPECT_EQ(0x22, builder.Packet(3)[3]);
    builder.SkipContinuityCounter(0x101, 12);
    builder.AddPacket(0x101, {1});
    builder.AddPacket(0x101, {2});
    EXPECT_EQ(0x3F, builder.Packet(4)[3]);
    EXPECT_EQ(0x30, builder.Packet(5)[3]);
    EXPECT_THROW(builder.AddPacket(0x101, Bytes(177), PacketOptions().Pcr(0)),
                 std::invalid_argument);
}

TEST(TsStreamBuilderTest, SegmentationHelpersKeepEveryByte) {
    TsStreamBuilder builder;
    builder.AddPes(0x100, Bytes(1000, 7), PesOptions().Pts(3));
    const Bytes& bytes = builder.Bytes();
    const auto join = [](const std::vector<Bytes>& pieces) {
        Bytes all;
        for (const Bytes& piece : pieces) {
            all.insert(all.end(), piece.begin(), piece.end());
        }
        return all;
    };
    EXPECT_EQ(bytes, join(builder.Packets()));
    EXPECT_EQ(bytes, join(TsStreamBuilder::Split(bytes, 1316)));
    const std::vector<Bytes> misaligned = TsStreamBuilder::SplitMisaligned(bytes, 5, 188);
    EXPECT_EQ(5u, misaligned[0].size());
    EXPECT_EQ(188u, misaligned[1].size());
    EXPECT_EQ(bytes, join(misaligned));
    const std::vector<Bytes> random = TsStreamBuilder::SplitRandomly(bytes, 7, 50);
    EXPECT_EQ(bytes, join(random));
    EXPECT_EQ(random, TsStreamBuilder::SplitRandomly(bytes, 7, 50));

    TsStreamBuilder other;
    other.AddNull(2);
    const Bytes merged = TsStreamBuilder::Interleave({bytes, other.Bytes()});
    ASSERT_EQ(bytes.size() + 2 * 188, merged.size());
    EXPECT_EQ(Slice(bytes, 0, 188), Slice(merged, 0, 188));
    EXPECT_EQ(other.Packet(0), Slice(merged, 188, 188));
    EXPECT_EQ(Slice(bytes, 188, 188), Slice(merged, 376, 188));
}

}  // namespace
