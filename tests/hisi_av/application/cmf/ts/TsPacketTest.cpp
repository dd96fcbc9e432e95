#include "hisi_av/application/cmf/ts/TsPacket.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TsStreamBuilder.h"
#include "TsTestSupport.h"

namespace {

using Cmf::TsPacket;
using KestrelTest::Counting;
using KestrelTest::DebugCapture;
using KestrelTest::PacketOptions;
using KestrelTest::TsStreamBuilder;
using Bytes = std::vector<uint8_t>;

XP::CBuffer BufferOf(const Bytes& bytes) {
    XP::CBuffer buffer(bytes.size());
    std::copy(bytes.begin(), bytes.end(), buffer.GetBegin());
    return buffer;
}

Bytes BytesOf(const XP::CBuffer& buffer) {
    return Bytes(buffer.GetBegin(), buffer.GetEnd());
}

Bytes PacketWithHeader(std::initializer_list<uint8_t> header, uint8_t fill = 0x00) {
    Bytes bytes(TsPacket::PACKET_LENGTH, fill);
    std::copy(header.begin(), header.end(), bytes.begin());
    return bytes;
}

TEST(TsPacketTest, HeaderFieldsReadFromHandWrittenBytes) {
    // 0100 0111 | 1 0 1 1 0010 | 0011 0100 | 11 01 0111
    TsPacket packet(BufferOf(PacketWithHeader({0x47, 0xB2, 0x34, 0xD7})));
    EXPECT_EQ(0x47, packet.GetSyncByte());
    EXPECT_TRUE(packet.GetTransportErrorIndicator());
    EXPECT_FALSE(packet.GetPayloadUnitStartIndicator());
    EXPECT_TRUE(packet.GetPriority());
    EXPECT_EQ(0x1234, packet.GetPid());
    EXPECT_EQ(3, packet.GetScrambleControl());
    EXPECT_EQ(TsPacket::ADF_CONTROL_NO_ADF, packet.GetAdaptationFieldControl());
    EXPECT_EQ(7, packet.GetContinuityCounter());

    TsPacket other(BufferOf(PacketWithHeader({0x47, 0x5F, 0xFF, 0x2A})));
    EXPECT_FALSE(other.GetTransportErrorIndicator());
    EXPECT_TRUE(other.GetPayloadUnitStartIndicator());
    EXPECT_FALSE(other.GetPriority());
    EXPECT_EQ(0x1FFF, other.GetPid());
    EXPECT_EQ(0, other.GetScrambleControl());
    EXPECT_EQ(TsPacket::ADF_CONTROL_NO_PAYLOAD, other.GetAdaptationFieldControl());
    EXPECT_EQ(0x0A, other.GetContinuityCounter());
}

// Each setter changes its own bits and nothing else, and keeps only the field's width.
TEST(TsPacketTest, SettersTouchOnlyTheirBits) {
    const struct {
        const char* name;
        void (*set)(TsPacket&);
        Bytes header;
    } cases[] = {
        {"pid 0", [](TsPacket& p) { p.SetPid(0); }, {0xFF, 0xE0, 0x00, 0xFF}},
        {"pid wider than 13 bits", [](TsPacket& p) { p.SetPid(0x2ABC); }, {0xFF, 0xEA, 0xBC, 0xFF}},
        {"sync", [](TsPacket& p) { p.SetSyncByte(0x47); }, {0x47, 0xFF, 0xFF, 0xFF}},
        {"error",
         [](TsPacket& p) { p.SetTransportErrorIndicator(false); },
         {0xFF, 0x7F, 0xFF, 0xFF}},
        {"unit start",
         [](TsPacket& p) { p.SetPayloadUnitStartIndicator(false); },
         {0xFF, 0xBF, 0xFF, 0xFF}},
        {"priority", [](TsPacket& p) { p.SetPriority(false); }, {0xFF, 0xDF, 0xFF, 0xFF}},
        {"scrambling", [](TsPacket& p) { p.SetScrambleControl(1); }, {0xFF, 0xFF, 0xFF, 0x7F}},
        {"control",
         [](TsPacket& p) { p.SetAdaptationFieldControl(TsPacket::ADF_CONTROL_NO_ADF); },
         {0xFF, 0xFF, 0xFF, 0xDF}},
        {"counter", [](TsPacket& p) { p.SetContinuityCounter(0x15); }, {0xFF, 0xFF, 0xFF, 0xF5}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const XP::CBuffer buffer = BufferOf(Bytes(TsPacket::PACKET_LENGTH, 0xFF));
        TsPacket packet(buffer);
        testCase.set(packet);
        Bytes expected(TsPacket::PACKET_LENGTH, 0xFF);
        std::copy(testCase.header.begin(), testCase.header.end(), expected.begin());
        EXPECT_EQ(expected, BytesOf(buffer));
    }
}

// Adaptation field and payload sizes for each control and field length, and where the payload
// slice lies in the packet.
TEST(TsPacketTest, AdaptationAndPayloadSizes) {
    const struct {
        uint8_t control;
        uint8_t fieldLength;
        std::size_t adaptationSize;
        std::size_t payloadSize;
        std::size_t payloadOffset;  // 0: empty payload
    } cases[] = {
        {0, 0, 0, 0, 0},     {1, 0x55, 0, 184, 4}, {2, 0, 184, 0, 0},     {2, 183, 184, 0, 0},
        {3, 0, 1, 183, 5},   {3, 7, 8, 176, 12},   {3, 182, 183, 1, 187}, {3, 183, 184, 0, 0},
        {3, 184, 184, 0, 0}, {3, 255, 184, 0, 0},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE("control " + std::to_string(testCase.control) + ", length " +
                     std::to_string(testCase.fieldLength));
        const XP::CBuffer buffer = BufferOf(PacketWithHeader(
            {0x47, 0x01, 0x00, static_cast<uint8_t>(testCase.control << 4), testCase.fieldLength},
            0xAB));
        const TsPacket packet(buffer);
        EXPECT_EQ(testCase.adaptationSize, packet.GetAdaptationFieldSize());
        EXPECT_EQ(testCase.payloadSize, packet.GetPayloadSize());
        const XP::CBuffer payload = packet.GetPayload();
        EXPECT_EQ(testCase.payloadSize, payload.GetSize());
        if (testCase.payloadOffset != 0) {
            EXPECT_EQ(buffer.GetBegin() + testCase.payloadOffset, payload.GetBegin());
        }
    }
}

TEST(TsPacketTest, PcrFromTheAdaptationField) {
    // Base 2^32 + 1 (its top and bottom bits) and extension 299 (its top bit).
    const uint64_t base = (uint64_t(1) << 32) + 1;
    TsStreamBuilder builder;
    builder.AddPcr(0x100, base * 300 + 299);
    builder.AddPacket(0x100, Counting(100), PacketOptions().Pcr(27000000).RandomAccess());
    builder.AddPacket(0x100, Counting(100), PacketOptions().RandomAccess());
    builder.AddPacket(0x100, Counting(184));

    const TsPacket adaptationOnly(BufferOf(builder.Packet(0)));
    EXPECT_TRUE(adaptationOnly.GetPcrFlag());
    EXPECT_EQ(base, adaptationOnly.GetPcrBase());
    EXPECT_EQ(299, adaptationOnly.GetPcrExtension());
    EXPECT_EQ(Cmf::Pcr(base, 299), adaptationOnly.GetPcr());

    const TsPacket withPayload(BufferOf(builder.Packet(1)));
    EXPECT_TRUE(withPayload.GetPcrFlag());
    EXPECT_EQ(90000u, withPayload.GetPcrBase());
    EXPECT_EQ(0, withPayload.GetPcrExtension());
    EXPECT_EQ(Counting(100), BytesOf(withPayload.GetPayload()));

    for (std::size_t i : {std::size_t(2), std::size_t(3)}) {
        const TsPacket noPcr(BufferOf(builder.Packet(i)));
        EXPECT_FALSE(noPcr.GetPcrFlag());
        EXPECT_EQ(0u, noPcr.GetPcrBase());
        EXPECT_FALSE(noPcr.GetPcr().IsValid());
    }

    // Written field by field, the PCR matches the builder's bytes.
    TsPacket written;
    written.SetSyncByte(0x47);
    written.SetPid(0x100);
    written.SetAdaptationFieldControl(TsPacket::ADF_CONTROL_NO_PAYLOAD);
    written.SetContinuityCounter(15);
    written.SetAdaptationFieldLength(183);
    written.InitAdaptationFieldFlag();
    written.SetPcrFlag(true);
    written.SetPcrBase(base);
    written.GetTsPacketPointer()
        ->adaptationField_t_->adaptationFieldData_t_->pcr_t_->reserved_t_.Set(0x3F);
    written.SetPcrExtension(299);
    std::fill(written.GetData().GetBegin() + 12, written.GetData().GetEnd(), 0xFF);
    EXPECT_EQ(builder.Packet(0), BytesOf(written.GetData()));
}

// A flag byte that announces everything leaves the PCR where it is; the layout places the
// optional fields behind it in order.
TEST(TsPacketTest, AdaptationFieldLayoutPlacesTheOptionalFields) {
    Bytes bytes = PacketWithHeader({0x47, 0x00, 0x10, 0x20, 40, 0xFF}, 0x00);
    bytes[4 + 2 + 12] = 0x09;  // splice countdown, after PCR and OPCR
    bytes[4 + 2 + 13] = 2;     // private data length
    bytes[4 + 2 + 16] = 3;     // extension length
    const TsPacket packet(BufferOf(bytes));
    const TsPacket::AdaptationFieldData_t* pData =
        packet.GetTsPacketPointer()->adaptationField_t_->adaptationFieldData_t_.operator->();
    EXPECT_EQ(9u, pData->spliceCountDown_t_.Get());
    EXPECT_EQ(2u, pData->privateData_t_->privateDataLength_t_.Get());
    EXPECT_EQ(3u, pData->adaptationExtension_t_->extensionLength_t_.Get());
    // 1 flags + 6 + 6 + 1 + 3 + 4 bytes of data, the rest of the 40 is stuffing.
    EXPECT_EQ(21u, pData->GetByteLength());
    EXPECT_EQ(41u, packet.GetTsPacketPointer()->adaptationField_t_->GetByteLength());
}

TEST(TsPacketTest, BuildAdaptationFieldAndPayload) {
    const auto expected = [](uint8_t control, std::initializer_list<uint8_t> adaptation,
                             std::size_t stuffing, const Bytes& payload) {
        Bytes bytes = {0x47, 0x00, 0x21, static_cast<uint8_t>(control << 4)};
        bytes.insert(bytes.end(), adaptation);
        bytes.insert(bytes.end(), stuffing, 0xFF);
        bytes.insert(bytes.end(), payload.begin(), payload.end());
        return bytes;
    };
    const struct {
        uint8_t initialControl;
        std::size_t payloadSize;
        Bytes packet;
    } cases[] = {
        // A full payload keeps the control, even the reserved value.
        {0, 184, expected(0, {}, 0, Counting(184))},
        {1, 184, expected(1, {}, 0, Counting(184))},
        // ... but an adaptation field it announces would not leave room.
        {3, 184, expected(1, {}, 0, Counting(184))},
        {1, 183, expected(3, {0}, 0, Counting(183))},
        {1, 182, expected(3, {1, 0}, 0, Counting(182))},
        {1, 10, expected(3, {173, 0}, 172, Counting(10))},
        {1, 0, expected(2, {183, 0}, 182, {})},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(std::to_string(testCase.payloadSize) + " bytes, control " +
                     std::to_string(testCase.initialControl));
        TsPacket packet;
        // Leftovers of an earlier packet must not survive.
        std::fill(packet.GetData().GetBegin(), packet.GetData().GetEnd(), 0x5A);
        packet.GetData()[0] = 0x47;
        packet.GetData()[1] = 0x00;
        packet.GetData()[2] = 0x21;
        packet.GetData()[3] = static_cast<uint8_t>(testCase.initialControl << 4);
        if (testCase.initialControl == 3) {
            packet.GetData()[4] = 20;
        }
        packet.BuildAdaptationFieldAndPayload(BufferOf(Counting(testCase.payloadSize)));
        EXPECT_EQ(testCase.packet, BytesOf(packet.GetData()));
        // The reserved control announces no payload, whatever the bytes.
        const Bytes payload =
            testCase.packet[3] >> 4 != 0 ? Counting(testCase.payloadSize) : Bytes();
        EXPECT_EQ(payload, BytesOf(packet.GetPayload()));
    }

    TsPacket tooLong;
    const Bytes before = BytesOf(tooLong.GetData());
    DebugCapture capture;
    tooLong.BuildAdaptationFieldAndPayload(BufferOf(Counting(185)));
    EXPECT_EQ(before, BytesOf(tooLong.GetData()));
    EXPECT_EQ(std::vector<std::string>{"Invalid TS Packet Size"}, capture.Take());
}

TEST(TsPacketTest, TimedFormAndShortBuffers) {
    Bytes timed = PacketWithHeader({0x47, 0x01, 0x00, 0x10});
    timed.insert(timed.end(), {0x12, 0x34, 0x56, 0x78});
    const XP::CBuffer buffer = BufferOf(timed);
    TsPacket packet(buffer);
    EXPECT_EQ(0x12345678u, packet.GetTimestamp());
    packet.SetTimestamp(0xCAFEF00D);
    EXPECT_EQ((Bytes{0xCA, 0xFE, 0xF0, 0x0D}), Bytes(buffer.GetBegin() + 188, buffer.GetEnd()));
    // The payload stops at the end of the 188 packet bytes.
    EXPECT_EQ(184u, packet.GetPayload().GetSize());
    EXPECT_EQ(0u, TsPacket().GetTimestamp());

    // A buffer too short for a packet reads as one without adaptation field or payload, and a
    // header too short reads as zeros; nothing is written to it.
    const XP::CBuffer shortBuffer = BufferOf({0x47, 0x5F, 0xFF, 0x30, 1, 0x10});
    TsPacket shortPacket(shortBuffer);
    EXPECT_EQ(0x1FFF, shortPacket.GetPid());
    EXPECT_EQ(0u, shortPacket.GetAdaptationFieldSize());
    EXPECT_TRUE(shortPacket.GetPayload().IsEmpty());
    EXPECT_FALSE(shortPacket.GetPcrFlag());
    shortPacket.SetPcrFlag(false);
    shortPacket.SetAdaptationFieldLength(0);
    shortPacket.BuildAdaptationFieldAndPayload(BufferOf(Counting(2)));
    EXPECT_EQ((Bytes{0x47, 0x5F, 0xFF, 0x30, 1, 0x10}), BytesOf(shortBuffer));
    const TsPacket tiny(BufferOf({0x47, 0x5F}));
    EXPECT_EQ(0, tiny.GetPid());
    EXPECT_EQ(2u, tiny.GetTsPacketHeader().GetSize());
}

TEST(TsPacketTest, SharingAndCopying) {
    const XP::CBuffer buffer = BufferOf(PacketWithHeader({0x47, 0x00, 0x42, 0x10}, 0x11));
    TsPacket shared(buffer);
    shared.SetPid(0x43);
    EXPECT_EQ(0x43, buffer[2]);
    EXPECT_EQ(buffer.GetBegin(), shared.GetTsPacketHeader().GetBegin());

    TsPacket copy;
    copy.CopyFrom(shared);
    EXPECT_EQ(BytesOf(buffer), BytesOf(copy.GetData()));
    EXPECT_NE(buffer.GetBegin(), copy.GetData().GetBegin());
    copy.SetPid(0x44);
    EXPECT_EQ(0x43, shared.GetPid());
}

}  // namespace
