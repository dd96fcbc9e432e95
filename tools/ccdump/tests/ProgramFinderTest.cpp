#include "ccdump/ProgramFinder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TsStreamBuilder.h"

namespace {

using KestrelTest::PmtStream;
using KestrelTest::TsStreamBuilder;
using Lines = std::vector<std::string>;

std::string Describe(const std::vector<CcDump::ProgramFinder::Stream_t>& streams) {
    std::string text;
    for (const CcDump::ProgramFinder::Stream_t& stream : streams) {
        text += std::to_string(stream.streamType) + "@" + std::to_string(stream.pid) + " ";
    }
    return text;
}

TEST(ProgramFinderTest, FirstProgramOfTheAssociationTable) {
    TsStreamBuilder builder;
    // A map that arrives before the table pointing to it is not recognised yet.
    builder.AddPmt(0x200, 2, 0x201, {{0x1B, 0x201}});
    builder.AddNull();
    // Program 0 is the network information PID, not a program.
    builder.AddPat(7, {{0, 0x10}, {2, 0x200}, {3, 0x300}});
    builder.AddPmt(0x300, 3, 0x301, {{0x02, 0x301}});
    std::vector<PmtStream> streams;
    std::string expected;
    // 40 streams: the map spans two packets.
    for (uint16_t i = 0; i < 40; ++i) {
        const uint8_t type = i % 3 == 0 ? 0x0F : 0x1B;
        streams.push_back({type, static_cast<uint16_t>(0x400 + i)});
        expected += std::to_string(type) + "@" + std::to_string(0x400 + i) + " ";
    }
    const KestrelTest::PacketRange pmt = builder.AddPmt(0x200, 2, 0x400, streams);
    ASSERT_EQ(pmt.count, 2u);

    CcDump::ProgramFinder finder;
    for (std::size_t i = 0; i + 1 < builder.PacketCount(); ++i) {
        finder.PutPacket(builder.PacketData(i));
    }
    EXPECT_FALSE(finder.IsComplete());
    finder.PutPacket(builder.PacketData(builder.PacketCount() - 1));
    ASSERT_TRUE(finder.IsComplete());
    EXPECT_EQ(finder.GetPmtPid(), 0x200);
    EXPECT_EQ(Describe(finder.GetStreams()), expected);
    EXPECT_EQ(finder.TakeMessages(), Lines{});
}

TEST(ProgramFinderTest, DamagedSectionsAreReportedAndTheNextCopyIsUsed) {
    TsStreamBuilder builder;
    builder.AddPat(1, {{1, 0x100}});
    builder.PacketData(0)[16] ^= 0x01;  // a bit of the PMT PID: the CRC no longer matches
    builder.AddPat(1, {{1, 0x100}});
    // A map cut short: its first packet, then a new section start.
    std::vector<PmtStream> many(40, PmtStream{0x1B, 0x150});
    const KestrelTest::PacketRange longPmt = builder.AddPmt(0x100, 1, 0x150, many);
    builder.AddPmt(0x100, 1, 0x150, {{0x24, 0x151}});
    const std::vector<uint8_t> cutShort = builder.Packet(longPmt.first);

    // Packets no section can be read from: flagged as errored, no sync byte, a pointer field
    // beyond the packet.
    std::vector<uint8_t> errored = builder.Packet(1);
    errored[1] |= 0x80;
    std::vector<uint8_t> noSync = builder.Packet(1);
    noSync[0] = 0x46;
    std::vector<uint8_t> pointerTooFar = builder.Packet(1);
    pointerTooFar[4] = 184;

    CcDump::ProgramFinder finder;
    finder.PutPacket(errored.data());
    finder.PutPacket(noSync.data());
    finder.PutPacket(pointerTooFar.data());
    finder.PutPacket(builder.PacketData(0));
    EXPECT_EQ(finder.TakeMessages(), (Lines{"PSI on PID 0: pointer field beyond the packet",
                                            "PSI on PID 0: CRC mismatch, section dropped"}));
    finder.PutPacket(builder.PacketData(1));
    finder.PutPacket(cutShort.data());
    EXPECT_FALSE(finder.IsComplete());
    finder.PutPacket(builder.PacketData(longPmt.first + longPmt.count));
    EXPECT_EQ(finder.TakeMessages(), Lines{"PSI on PID 256: section cut short, dropped"});
    ASSERT_TRUE(finder.IsComplete());
    EXPECT_EQ(Describe(finder.GetStreams()), "36@337 ");
}

TEST(ProgramFinderTest, CrcOfTheStandardsCheckValue) {
    // CRC-32/MPEG-2 of "123456789".
    const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(CcDump::PsiCrc32(digits, sizeof(digits)), 0x0376E6E7u);
}

}  // namespace
