#include "hisi_av/application/cmf/codec/RbspReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "BitWriter.h"
#include "CodecTestUtil.h"

namespace {

using Bytes = std::vector<uint8_t>;
using CodecTest::MakeBuffer;

Bytes ReadAllBytes(Cmf::BitstreamReader& reader) {
    Bytes bytes;
    while (reader.GetBitsRemaining() >= 8) {
        bytes.push_back(static_cast<uint8_t>(reader.GetBits(8)));
    }
    return bytes;
}

TEST(RbspReaderTest, ExpGolombCodes) {
    // 1 | 010 | 00111 | 1 | 010 | 011 | 00100: ue 0, 1, 6 and se 0, 1, -1, 2.
    const XP::CBuffer data = MakeBuffer({0xA3, 0xD3, 0x20});
    Cmf::RbspReader reader(data);
    EXPECT_EQ(reader.Ue(), 0u);
    EXPECT_EQ(reader.Ue(), 1u);
    EXPECT_EQ(reader.Ue(), 6u);
    EXPECT_EQ(reader.Se(), 0);
    EXPECT_EQ(reader.Se(), 1);
    EXPECT_EQ(reader.Se(), -1);
    EXPECT_EQ(reader.Se(), 2);

    // Round trips, each code followed by a 3-bit marker so that codes start at every bit offset;
    // zero runs inside the codes get escape bytes that the reader drops.
    const std::vector<uint64_t> codes = {0, 2, 7, 8, 255, 256, 65535, 0x7FFFFFFF, 0xFFFFFFFE};
    const std::vector<int64_t> values = {-1,         127,        -128,       1 << 20,
                                         -(1 << 20), 0x7FFFFFFF, -0x7FFFFFFF};
    BitWriter w;
    for (uint64_t code : codes) {
        w.Ue(code).U(3, 5);
    }
    for (int64_t value : values) {
        w.Se(value).U(3, 5);
    }
    const XP::CBuffer escaped = MakeBuffer(w.Escaped());
    Cmf::RbspReader roundTrip(escaped);
    for (uint64_t code : codes) {
        EXPECT_EQ(roundTrip.Ue(), code);
        EXPECT_EQ(roundTrip.U(3), 5u) << "after ue " << code;
    }
    for (int64_t value : values) {
        EXPECT_EQ(roundTrip.Se(), value);
        EXPECT_EQ(roundTrip.U(3), 5u) << "after se " << value;
    }
    EXPECT_EQ(roundTrip.GetBitsParsed(), w.BitCount());
}

TEST(RbspReaderTest, EmulationPreventionBytesAreDropped) {
    const std::vector<std::pair<Bytes, Bytes>> cases = {
        {{0x00, 0x00, 0x03, 0x01}, {0x00, 0x00, 0x01}},
        {{0x00, 0x00, 0x03, 0x03}, {0x00, 0x00, 0x03}},
        {{0x00, 0x00, 0x03, 0x00, 0x00, 0x03, 0x00}, {0x00, 0x00, 0x00, 0x00, 0x00}},
        // After a single zero, or at the start, 0x03 is data.
        {{0x03, 0x00, 0x03, 0x01, 0x00, 0x03}, {0x03, 0x00, 0x03, 0x01, 0x00, 0x03}},
        // As the last byte: dropped, nothing follows.
        {{0xAB, 0x00, 0x00, 0x03}, {0xAB, 0x00, 0x00}},
    };
    for (const auto& [escaped, rbsp] : cases) {
        const XP::CBuffer data = MakeBuffer(escaped);
        Cmf::RbspReader reader(data);
        EXPECT_EQ(ReadAllBytes(reader), rbsp);
        // Parsed bytes count what was read, not the escape bytes.
        EXPECT_EQ(reader.GetBytesParsed(), rbsp.size());
    }
    const XP::CBuffer data = MakeBuffer({0x00, 0x00, 0x03, 0x01});
    Cmf::BitstreamReader plain(data);
    EXPECT_EQ(ReadAllBytes(plain), (Bytes{0x00, 0x00, 0x03, 0x01}));

    // A slice that ends after two zeros: the 0x03 behind it is someone else's and is not skipped.
    const XP::CBuffer whole = MakeBuffer({0x00, 0x00, 0x03, 0x44});
    const XP::CBuffer slice = whole.Subslice(0, 2);
    Cmf::RbspReader reader(slice);
    EXPECT_EQ(reader.U(16), 0u);
    EXPECT_EQ(reader.GetBytesRemaining(), 1u);
    EXPECT_EQ(reader.U(8), 0u);
}

TEST(RbspReaderTest, PositionAndCountsAroundTheEnd) {
    const XP::CBuffer data = MakeBuffer({0xAB, 0xCD});
    Cmf::BitstreamReader reader(data);
    EXPECT_EQ(reader.GetBytesRemaining(), 3u);  // one more than the bytes
    EXPECT_EQ(reader.GetBits(4), 0xAu);
    EXPECT_EQ(reader.GetBitsRemaining(), 12u);
    reader.ByteAlign();
    EXPECT_EQ(reader.GetBitsParsed(), 8u);
    EXPECT_EQ(reader.GetBytesRemaining(), 2u);
    reader.ByteAlign();  // aligned already
    reader.SkipBackBits(4);
    EXPECT_EQ(reader.GetBits(8), 0xBCu);

    // Over the end: zeros for the missing bits, and the reader stays on the end.
    EXPECT_EQ(reader.GetBits(32), 0xD0000000u);
    EXPECT_EQ(reader.GetBitsRemaining(), 0u);
    EXPECT_EQ(reader.GetBytesRemaining(), 1u);
    EXPECT_EQ(reader.GetBytesParsed(), 2u);

    // Skipping whole bytes steps beyond the end, and back.
    reader.SkipBits(16);
    EXPECT_EQ(reader.GetBytesRemaining(), 0u);
    reader.SkipBackBits(24);
    EXPECT_EQ(reader.GetBits(8), 0xCDu);

    const XP::CBuffer empty;
    Cmf::RbspReader emptyReader(empty);
    EXPECT_EQ(emptyReader.GetBytesRemaining(), 1u);
    EXPECT_EQ(emptyReader.U(32), 0u);
    EXPECT_EQ(emptyReader.GetBytesParsed(), 0u);
}

TEST(RbspReaderTest, LongZeroRunsAreCutOff) {
    // ue stops after 100 zeros and reads 100 more bits.
    const XP::CBuffer zeros = MakeBuffer(Bytes(200, 0x00));
    Cmf::RbspReader reader(zeros);
    reader.Ue();
    EXPECT_EQ(reader.GetBitsParsed(), 200u);

    // 40 zeros and a one: a meaningless value, but exactly the code's 81 bits are consumed.
    BitWriter w;
    w.U(40, 0).U(1, 1).U(40, 0x12345678AB).U(8, 0x5A);
    const XP::CBuffer longCode = MakeBuffer(w.Rbsp());
    Cmf::RbspReader longReader(longCode);
    longReader.Ue();
    EXPECT_EQ(longReader.GetBitsParsed(), 81u);
    EXPECT_EQ(longReader.U(8), 0x5Au);
}

}  // namespace
