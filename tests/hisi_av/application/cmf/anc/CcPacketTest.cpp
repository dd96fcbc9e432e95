#include "hisi_av/application/cmf/anc/data/CcPacket.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "ConsoleCapture.h"

namespace {

using Cmf::CcPacket_t;
using Lines = std::vector<std::string>;

// A packet owning exactly these bytes, so that a read past them is caught by AddressSanitizer.
CcPacket_t Packet(const std::vector<unsigned char>& bytes, uint64_t ptsBase = 900000) {
    CcPacket_t packet;
    packet.pts = Cmf::Pcr(ptsBase, 0);
    packet.data = XP::CBuffer(bytes.size());
    std::copy(bytes.begin(), bytes.end(), packet.data.GetBegin());
    return packet;
}

std::string DtvCcText(const std::vector<unsigned char>& bytes) {
    std::ostringstream out;
    Packet(bytes).PrintDtvCcText(out);
    return out.str();
}

// Lead bytes of triples: marker bits, cc_valid and cc_type. Headers are 0xC0 (process flag) or
// 0x80 (none) plus cc_count, then em_data 0xFF.
constexpr unsigned char NTSC = 0xFC;     // valid, field 1
constexpr unsigned char DATA = 0xFE;     // valid, DTVCC data
constexpr unsigned char START = 0xFF;    // valid, DTVCC packet start
constexpr unsigned char INVALID = 0xFA;  // DTVCC data, not valid

TEST(CcPacketTest, DtvCcTextNamesCommandsAndSkipsTheirParameters) {
    // 14 triples: text, commands with and without parameters, printable parameters, an unnamed
    // C1 code, control codes, and triples that are skipped.
    const std::vector<unsigned char> triples = {
        START, 'H',  'i',  DATA,    0x88, 0x01,  // text; Clear Windows + 1 parameter
        NTSC,  'X',  'Y',  INVALID, 'Q',  'R',   // skipped
        DATA,  0x98, 'A',  DATA,    'B',  'C',   // Define Window + 6 parameters, printable or not
        DATA,  'D',  'E',  DATA,    'F',  'o',   // ... the last parameter; text
        DATA,  'k',  0x8F, DATA,    0x93, 0x80,  // Reset (none); 0x93 has no name; current window
        DATA,  0x7F, ' ',  DATA,    0x91, 0x00,  // a space; Set Pen Color + 3 parameters
        DATA,  ' ',  ' ',  DATA,    'Z',  0x00,  // ... the other two parameters; text
    };
    std::vector<unsigned char> packet = {0xCE, 0xFF};
    packet.insert(packet.end(), triples.begin(), triples.end());
    EXPECT_EQ(DtvCcText(packet),
              "Hi\nClear Windows\nDefine Window\nok\nReset\nCurrent Window \n \nSet Pen Color\nZ");
    packet[0] = 0x8E;  // process flag clear: nothing, whatever the triples hold
    EXPECT_EQ(DtvCcText(packet), "");

    // A command first in a packet gets a line end before it. Only cc_count triples are read, and
    // of those only the ones present, whatever cc_count claims.
    EXPECT_EQ(DtvCcText({0xC1, 0xFF, DATA, 0x8A, 0x00, DATA, 0x90, 'a', DATA, 'b', 'c'}),
              "\nHide Windows\n");
    EXPECT_EQ(DtvCcText({0xC3, 0xFF, DATA, 0x8A, 0x00, DATA, 0x90, 'a', DATA, 'b', 'c'}),
              "\nHide Windows\nSet Pen Attributes\nc");
    EXPECT_EQ(DtvCcText({0xDF, 0xFF, DATA, 'o', 'k', DATA, 0x8C, 0x01, 0x41}),
              "ok\nDelete Windows\n");
    EXPECT_EQ(DtvCcText({0xC1}), "");
    EXPECT_EQ(DtvCcText({}), "");
}

TEST(CcPacketTest, PacketStringShowsEveryField) {
    KestrelTest::ConsoleCapture console;
    Packet({0xC2, 0xFF, START, 0x81, 0x41, INVALID, 0x00, 0x00}).PrintPacketString();
    Packet({0xDF, 0xFF, DATA, 'o', 'k', DATA, 0x8C, 0x01, 0x41}).PrintPacketString();
    Packet({0xC0}).PrintPacketString();
    Packet({}).PrintPacketString();
    EXPECT_EQ(console.Lines(),
              (Lines{"CaptionPacket_t"
                     "\n   Reserved1: 1 (0x1)"
                     "\n   Process: 1 (0x1)"
                     "\n   ZeroBit: 0 (0x0)"
                     "\n   Count: 2 (0x2)"
                     "\n   Reserved2: 255 (0xff)"
                     "\n   CaptionData[0]:"
                     "\n      OneBit: 1 (0x1)"
                     "\n      Reserved: 15 (0xf)"
                     "\n      Valid: 1 (0x1)"
                     "\n      Type: 3 (0x3)"
                     "\n      Data1: 129 (0x81)"
                     "\n      Data2: 65 (0x41)"
                     "\n   CaptionData[1]:"
                     "\n      OneBit: 1 (0x1)"
                     "\n      Reserved: 15 (0xf)"
                     "\n      Valid: 0 (0x0)"
                     "\n      Type: 2 (0x2)"
                     "\n      Data1: 0 (0x00)"
                     "\n      Data2: 0 (0x00)",
                     "CcPacket: 9 bytes cannot hold cc_count 31 (95 bytes needed)",
                     "CcPacket: 1 bytes cannot hold cc_count 0 (2 bytes needed)"}));
}

TEST(CcPacketTest, CopiesShareBytesClonesDoNot) {
    const std::vector<unsigned char> bytes = {0xC1, 0xFF, DATA, 'a', 'b'};
    CcPacket_t original = Packet(bytes);
    CcPacket_t copy = original;
    CcPacket_t clone;
    clone.Clone(original);
    EXPECT_EQ(copy, original);
    EXPECT_EQ(clone, original);

    original.data[3] = 'z';
    EXPECT_EQ(copy.data[3], 'z');
    EXPECT_EQ(clone, Packet(bytes));

    // Equal bytes at another time are another packet; so are other bytes at the same time.
    EXPECT_NE(Packet(bytes, 900000), Packet(bytes, 903003));
    EXPECT_NE(Packet(bytes), Packet({0xC1, 0xFF, DATA, 'a'}));
    EXPECT_EQ(CcPacket_t(), CcPacket_t());
}

}  // namespace
