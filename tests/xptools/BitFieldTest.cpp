#include "xptools/BitField.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iomanip>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "TsHeaderLayout.h"

namespace {

using XP::INTERNAL::CBitFieldSetBase;
using XP::INTERNAL::CBitPosition;
using XP::INTERNAL::GetLayout;
using Bytes = std::vector<unsigned char>;

// The adaptation field of the packet layout: an optional clock reference (33-bit base), an
// optional byte, an optional record holding a counted byte array, and a record array whose count
// comes from a 2-bit field.

struct ClockReference_t : CBitFieldSetBase {
    XP_BITFIELD_LAYOUT(ClockReference_t);
    XP_BITFIELD(base, 33, BEGIN);
    XP_BITFIELD(reserved, 6, base);
    XP_BITFIELD(extension, 9, reserved);
};

struct PrivateData_t : CBitFieldSetBase {
    XP_BITFIELD_LAYOUT(PrivateData_t);
    XP_BITFIELD(length, 8, BEGIN);
    XP_BITFIELD_ARRAY(dataByte, 8, length, length_t_.Get());
};

struct Descriptor_t : CBitFieldSetBase {
    XP_BITFIELD_LAYOUT(Descriptor_t);
    XP_BITFIELD(tag, 8, BEGIN);
    XP_BITFIELD(length, 8, tag);
    XP_BITFIELD_ARRAY(body, 8, length, length_t_.Get());
};

struct AdaptationField_t : CBitFieldSetBase {
    XP_BITFIELD_LAYOUT(AdaptationField_t);
    XP_BITFIELD(fieldLength, 8, BEGIN);
    XP_BITFIELD(discontinuityIndicator, 1, fieldLength);
    XP_BITFIELD(randomAccessIndicator, 1, discontinuityIndicator);
    XP_BITFIELD(esPriorityIndicator, 1, randomAccessIndicator);
    XP_BITFIELD(pcrFlag, 1, esPriorityIndicator);
    XP_BITFIELD(splicingPointFlag, 1, pcrFlag);
    XP_BITFIELD(privateDataFlag, 1, splicingPointFlag);
    XP_BITFIELD(descriptorCount, 2, privateDataFlag);
    XP_BITFIELD_RECORDS(pcr, ClockReference_t, descriptorCount, pcrFlag_t_.Get());
    XP_BITFIELD_ARRAY(spliceCountdown, 8, pcr, splicingPointFlag_t_.Get());
    XP_BITFIELD_RECORDS(privateData, PrivateData_t, spliceCountdown, privateDataFlag_t_.Get());
    XP_BITFIELD_RECORDS(descriptor, Descriptor_t, privateData, descriptorCount_t_.Get());
    XP_BITFIELD(marker, 8, descriptor);
};

using TsLikePacket_t = KestrelTest::TsPacketLayout_t<AdaptationField_t>;

// One nested record without a count expression, then a field behind it.
struct Envelope_t : CBitFieldSetBase {
    XP_BITFIELD_LAYOUT(Envelope_t);
    XP_BITFIELD(version, 4, BEGIN);
    XP_BITFIELD(flags, 4, version);
    XP_BITFIELD_RECORD(data, PrivateData_t, flags);
    XP_BITFIELD(trailer, 16, data);
};

// Elements narrower or wider than a byte, packed without gaps.
struct Samples_t : CBitFieldSetBase {
    XP_BITFIELD_LAYOUT(Samples_t);
    XP_BITFIELD(count, 4, BEGIN);
    XP_BITFIELD_ARRAY(sample, 12, count, count_t_.Get());
};

// Shaped like the caption data of a caption packet: a count field and 3-byte records.
struct CaptionData_t : CBitFieldSetBase {
    XP_BITFIELD_LAYOUT(CaptionData_t);
    XP_BITFIELD(OneBit, 1, BEGIN);
    XP_BITFIELD(Reserved, 4, OneBit);
    XP_BITFIELD(Valid, 1, Reserved);
    XP_BITFIELD(Type, 2, Valid);
    XP_BITFIELD(Data1, 8, Type);
    XP_BITFIELD(Data2, 8, Data1);
};

struct CaptionPacket_t : CBitFieldSetBase {
    XP_BITFIELD_LAYOUT(CaptionPacket_t);
    XP_BITFIELD(Reserved1, 1, BEGIN);
    XP_BITFIELD(Process, 1, Reserved1);
    XP_BITFIELD(ZeroBit, 1, Process);
    XP_BITFIELD(Count, 5, ZeroBit);
    XP_BITFIELD(Reserved2, 8, Count);
    XP_BITFIELD_RECORDS(CaptionData, CaptionData_t, Reserved2, Count_t_.Get());
};

// Fields that no variable-length field precedes are placed at compile time; the rest are not.
using PidField = decltype(TsLikePacket_t::pid_t_);
static_assert(PidField::IS_FIXED_POSITION && PidField::FIXED_BEGIN_UNIT == 1 &&
                  PidField::FIXED_BEGIN_BIT == 3,
              "the PID starts at bit 3 of byte 1");
static_assert(decltype(AdaptationField_t::pcr_t_)::IS_FIXED_POSITION,
              "the first record starts at a known place");
static_assert(!decltype(AdaptationField_t::spliceCountdown_t_)::IS_FIXED_POSITION &&
                  !decltype(TsLikePacket_t::payloadByte_t_)::IS_FIXED_POSITION &&
                  !decltype(Envelope_t::trailer_t_)::IS_FIXED_POSITION,
              "fields behind a record are placed at run time");
static_assert(std::is_same<decltype(TsLikePacket_t::pid_t_.Get()), uint16_t>::value &&
                  std::is_same<decltype(ClockReference_t::base_t_.Get()), uint64_t>::value &&
                  std::is_same<decltype(CaptionData_t::Valid_t_.Get()), uint8_t>::value,
              "values come in the smallest unsigned type that holds the field");
static_assert(sizeof(TsLikePacket_t) == 10 && alignof(TsLikePacket_t) == 1,
              "one byte per field, no alignment");

// Bit-by-bit reference, independent of the procedures under test.
uint64_t RefRead(const Bytes& buffer, std::size_t bitPos, unsigned width) {
    uint64_t value = 0;
    for (unsigned i = 0; i < width; ++i) {
        std::size_t b = bitPos + i;
        value = (value << 1) | ((buffer.at(b / 8) >> (7 - b % 8)) & 1u);
    }
    return value;
}

void RefWrite(Bytes& buffer, std::size_t bitPos, unsigned width, uint64_t value) {
    for (unsigned i = 0; i < width; ++i) {
        std::size_t b = bitPos + i;
        unsigned bit = static_cast<unsigned>((value >> (width - 1 - i)) & 1u);
        unsigned char mask = static_cast<unsigned char>(0x80u >> (b % 8));
        buffer.at(b / 8) =
            static_cast<unsigned char>(bit ? (buffer[b / 8] | mask) : (buffer[b / 8] & ~mask));
    }
}

Bytes RandomBytes(std::mt19937& rng, std::size_t size) {
    Bytes bytes(size);
    std::generate(bytes.begin(), bytes.end(), [&rng] { return static_cast<unsigned char>(rng()); });
    return bytes;
}

std::size_t BitOf(CBitPosition position) {
    return position.unit * 8 + position.bit;
}

// Checks one scalar field of a layout that starts at byte `layoutUnit` of `buffer`, expected at
// bit `expectedBit` of the layout: both position paths, the read against the reference, and a
// write of a random (possibly too wide) value that must change no other bit of the buffer.
template <typename Field>
void CheckScalarField(Field& field, Bytes& buffer, std::size_t layoutUnit, std::size_t expectedBit,
                      std::mt19937& rng) {
    SCOPED_TRACE(Field::GetName());
    const unsigned width = Field::WIDTH;
    const std::size_t bufferBit = 8 * layoutUnit + expectedBit;
    EXPECT_EQ(BitOf(field.GetPosition()), expectedBit);
    EXPECT_EQ(BitOf(field.WalkPosition()), expectedBit);
    EXPECT_EQ(field.Get(), RefRead(buffer, bufferBit, width));
    CBitPosition walked = field.WalkPosition();
    EXPECT_EQ(XP::INTERNAL::ReadBits<uint64_t>(buffer.data() + layoutUnit + walked.unit, walked.bit,
                                               width),
              RefRead(buffer, bufferBit, width));

    uint64_t value = (static_cast<uint64_t>(rng()) << 32) | rng();
    Bytes expected = buffer;
    RefWrite(expected, bufferBit, width, value);
    field.Set(static_cast<typename Field::Accumulator_t>(value));
    EXPECT_EQ(buffer, expected);
    EXPECT_EQ(field.Get(), RefRead(expected, bufferBit, width));
}

template <typename Layout>
std::string FormatOf(const Layout& layout) {
    std::ostringstream out;
    layout.Format(out);
    return out.str();
}

TEST(BitFieldTest, HeaderFieldsReadAndWriteOnlyTheirBits) {
    // 0x47, PUSI set, PID 0x1ABC across bytes 1 and 2, scrambling 2, adaptation control 1,
    // continuity 0xE.
    Bytes buffer = {0x47, 0x5A, 0xBC, 0x9E};
    TsLikePacket_t* packet = GetLayout<TsLikePacket_t>(buffer.data());
    EXPECT_EQ(packet->syncByte_t_.Get(), 0x47);
    EXPECT_EQ(packet->transportErrorIndicator_t_.Get(), 0);
    EXPECT_EQ(packet->payloadUnitStartIndicator_t_.Get(), 1);
    EXPECT_EQ(packet->transportPriority_t_.Get(), 0);
    EXPECT_EQ(packet->pid_t_.Get(), 0x1ABC);
    EXPECT_EQ(packet->scrambleControl_t_.Get(), 2);
    EXPECT_EQ(packet->adaptationFieldControl_t_.Get(), 1);
    EXPECT_EQ(packet->continuityCounter_t_.Get(), 0xE);

    packet->pid_t_.Set(0x0123);  // the three flag bits before the PID and the byte after survive
    EXPECT_EQ(buffer, (Bytes{0x47, 0x41, 0x23, 0x9E}));

    // Too wide values keep their low bits only.
    packet->pid_t_.Set(0x12345);
    EXPECT_EQ(buffer, (Bytes{0x47, 0x43, 0x45, 0x9E}));
    std::fill(buffer.begin(), buffer.end(), 0xFF);
    packet->continuityCounter_t_.Set(0x30);
    packet->transportErrorIndicator_t_.Set(2);
    EXPECT_EQ(buffer, (Bytes{0xFF, 0x7F, 0xFF, 0xF0}));

    // Up to 32 bits are masked in a 32-bit register, wider fields in 64 bits.
    EXPECT_EQ(PidField::ApplyMask(0xABCDEF12, 32), 0xABCDEF12u);
    EXPECT_EQ(decltype(ClockReference_t::base_t_)::ApplyMask(0x3123456789ull, 33), 0x123456789ull);
}

TEST(BitFieldTest, ClockReferenceBaseRoundTripsThirtyThreeBits) {
    Bytes buffer(6, 0x00);
    ClockReference_t* pcr = GetLayout<ClockReference_t>(buffer.data());

    pcr->base_t_.Set(0x100000000ull);  // bit 32 is the first bit of the buffer
    EXPECT_EQ(buffer, (Bytes{0x80, 0, 0, 0, 0, 0}));
    pcr->base_t_.Set(1);  // bit 0 is the first bit of byte 4
    EXPECT_EQ(buffer, (Bytes{0, 0, 0, 0, 0x80, 0}));
    pcr->extension_t_.Set(0x1FF);
    pcr->reserved_t_.Set(0x3F);
    EXPECT_EQ(buffer, (Bytes{0, 0, 0, 0, 0xFF, 0xFF}));

    for (uint64_t value : {0x1FFFFFFFFull, 0x1FFFFFFFEull, 0x100000000ull, 0x100000001ull,
                           0xFFFFFFFFull, 0x123456789ull, 0ull}) {
        pcr->base_t_.Set(value);
        EXPECT_EQ(pcr->base_t_.Get(), value);
        EXPECT_EQ(pcr->reserved_t_.Get(), 0x3F);
        EXPECT_EQ(pcr->extension_t_.Get(), 0x1FF);
    }
    pcr->base_t_.Set(0x200000000ull | 5);  // bit 33 does not fit
    EXPECT_EQ(pcr->base_t_.Get(), 5u);
    EXPECT_EQ(pcr->GetByteLength(), 6u);
}

// 4-byte header, adaptation field with a clock reference, a splice countdown, 3 private bytes and
// two descriptors (2 body bytes, then none), a marker, then the payload byte.
Bytes FullAdaptationPacket() {
    return {0x47, 0x40, 0x64, 0x31,              // PUSI, PID 100, control 3, continuity 1
            0x13,                                // fieldLength
            0x5E,                                // random access, PCR, splice, private, 2 descr.
            0x00, 0x00, 0x00, 0x00, 0x80, 0x05,  // base 1, reserved 0, extension 5
            0x07,                                // splice countdown
            0x03, 0xA1, 0xA2, 0xA3,              // private data
            0x0A, 0x02, 0xB1, 0xB2,              // descriptor 0
            0x0B, 0x00,                          // descriptor 1
            0xEE,                                // marker
            0xC0};                               // payload byte
}

TEST(BitFieldTest, CountedAndRecordFieldsShiftLaterFields) {
    Bytes buffer = FullAdaptationPacket();
    TsLikePacket_t* packet = GetLayout<TsLikePacket_t>(buffer.data());
    AdaptationField_t& af = *packet->adaptationField_t_.operator->();

    EXPECT_EQ(af.pcr_t_->base_t_.Get(), 1u);
    EXPECT_EQ(af.pcr_t_.CalculateLength(), 6u);
    EXPECT_EQ(af.GetBeginUnit(af.spliceCountdown_t_), 8u);
    EXPECT_EQ(af.GetBeginUnit(af.privateData_t_), 9u);
    EXPECT_EQ(af.GetEndUnit(af.privateData_t_), 13u);
    EXPECT_EQ(af.privateData_t_->dataByte_t_.GetCount(), 3u);
    EXPECT_EQ(&af.privateData_t_->dataByte_t_, buffer.data() + 14);
    EXPECT_EQ(af.privateData_t_->dataByte_t_.GetAt(2), 0xA3);
    af.privateData_t_->dataByte_t_.SetAt(1, 0x1B5);
    EXPECT_EQ(buffer[15], 0xB5);
    EXPECT_EQ(af.descriptor_t_.CalculateLength(), 6u);
    EXPECT_EQ(af.marker_t_.Get(), 0xEE);
    EXPECT_EQ(af.GetByteLength(), 20u);
    EXPECT_EQ(packet->payloadByte_t_.Get(), 0xC0);
    EXPECT_EQ(packet->GetByteLength(), 25u);

    buffer[5] = 0x00;  // no PCR, no splice countdown, no private data, no descriptors
    EXPECT_EQ(af.pcr_t_.GetCount(), 0u);
    EXPECT_EQ(af.pcr_t_.CalculateLength(), 0u);
    EXPECT_EQ(af.GetBeginUnit(af.marker_t_), 2u);
    EXPECT_TRUE(af.descriptor_t_.GetBegin() == af.descriptor_t_.GetEnd());
    EXPECT_EQ(af.GetByteLength(), 3u);
}

TEST(BitFieldTest, SingleRecordIsAsLongAsItsContent) {
    Bytes buffer = {0x2A, 0x02, 0xD1, 0xD2, 0xBE, 0xEF};
    Envelope_t* envelope = GetLayout<Envelope_t>(buffer.data());
    EXPECT_EQ(envelope->data_t_.CalculateLength(), 3u);
    EXPECT_EQ(envelope->GetEndUnit(envelope->data_t_), 4u);
    EXPECT_EQ(envelope->trailer_t_.Get(), 0xBEEF);
    EXPECT_EQ(envelope->GetByteLength(), 6u);

    envelope->data_t_->length_t_.Set(0);
    EXPECT_EQ(envelope->trailer_t_.Get(), 0xD1D2);
    envelope->trailer_t_.Set(0x1234);
    EXPECT_EQ(buffer, (Bytes{0x2A, 0x00, 0x12, 0x34, 0xBE, 0xEF}));
}

TEST(BitFieldTest, ArrayElementsOfTwelveBitsPackAcrossBytes) {
    Bytes buffer = {0x2A, 0xBC, 0xDE, 0xF0};
    Samples_t* samples = GetLayout<Samples_t>(buffer.data());
    EXPECT_EQ(samples->sample_t_.GetAt(0), 0xABC);
    EXPECT_EQ(samples->sample_t_.GetAt(1), 0xDEF);
    samples->sample_t_.SetAt(1, 0x123);
    EXPECT_EQ(buffer, (Bytes{0x2A, 0xBC, 0x12, 0x30}));
}

TEST(BitFieldTest, IteratorsAreEqualWhenPointerOrIndexMatches) {
    Bytes buffer = FullAdaptationPacket();
    const AdaptationField_t* af = GetLayout<AdaptationField_t>(buffer.data() + 4);
    using Iterator = decltype(af->descriptor_t_)::ConstIterator;
    const Descriptor_t* first = GetLayout<Descriptor_t>(buffer.data() + 17);
    const Descriptor_t* second = GetLayout<Descriptor_t>(buffer.data() + 21);

    EXPECT_TRUE(Iterator(first, 0) == Iterator(nullptr, 0));  // index
    EXPECT_TRUE(Iterator(first, 0) == Iterator(first, 5));    // pointer
    EXPECT_FALSE(Iterator(first, 0) == Iterator(second, 1));  // neither

    Iterator it = af->descriptor_t_.GetBegin();
    EXPECT_EQ(&*it, first);
    EXPECT_EQ(it->body_t_.GetCount(), 2u);
    ++it;
    EXPECT_EQ(&*it, second);
    EXPECT_EQ(it->body_t_.GetCount(), 0u);
    EXPECT_EQ(it.GetIndex(), 1u);
    EXPECT_TRUE(it != af->descriptor_t_.GetEnd());
    ++it;  // past the last element: ends by index though the pointer is not null
    EXPECT_TRUE(it == af->descriptor_t_.GetEnd());
}

TEST(BitFieldTest, FieldObjectsFindTheirLayoutAndBuffer) {
    Bytes buffer = FullAdaptationPacket();
    TsLikePacket_t* packet = GetLayout<TsLikePacket_t>(buffer.data());
    AdaptationField_t* af = packet->adaptationField_t_.operator->();

    // Field k is byte k of the layout object; operator& is the buffer byte where the field begins.
    EXPECT_EQ(reinterpret_cast<unsigned char*>(std::addressof(packet->pid_t_)), buffer.data() + 4);
    EXPECT_EQ(std::addressof(packet->payloadByte_t_.GetParent()), packet);
    EXPECT_EQ(std::addressof(af->spliceCountdown_t_.GetParent()), af);
    EXPECT_EQ(&packet->pid_t_, buffer.data() + 1);
    EXPECT_EQ(&af->spliceCountdown_t_, buffer.data() + 12);
    EXPECT_EQ(&packet->payloadByte_t_, buffer.data() + 24);

    packet->GetPrevious(packet->scrambleControl_t_).Set(0x1FFF);
    EXPECT_EQ(packet->pid_t_.Get(), 0x1FFF);
    EXPECT_EQ(packet->GetBeginBit(packet->pid_t_), 3u);
    EXPECT_EQ(packet->GetEndUnit(packet->pid_t_), 3u);
    EXPECT_EQ(packet->GetEndBit(packet->pid_t_), 0u);
}

// Reads and writes every field of the transport-stream-like layout in random buffers with random
// flags and lengths, against positions worked out here by walking the bytes by hand.
TEST(BitFieldTest, RandomPacketsAgreeWithBitByBitReference) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 500; ++round) {
        SCOPED_TRACE(round);
        Bytes buffer = RandomBytes(rng, 96);
        const bool hasAf = (buffer[3] & 0x20) != 0;
        std::size_t pos = 4;
        const std::size_t afBegin = 4;
        std::size_t pcrAt = 0, spliceAt = 0, privateAt = 0, marker = 0;
        std::vector<std::size_t> descriptorAt;
        if (hasAf) {
            const unsigned flags = buffer[5];
            pos = 6;
            pcrAt = pos;
            pos += (flags & 0x10) ? 6 : 0;
            spliceAt = pos;
            pos += (flags & 0x08) ? 1 : 0;
            privateAt = pos;
            if (flags & 0x04) {
                buffer[pos] &= 0x0F;
                pos += 1 + buffer[pos];
            }
            for (unsigned d = 0; d < (flags & 0x03); ++d) {
                descriptorAt.push_back(pos);
                buffer[pos + 1] &= 0x07;
                pos += 2 + buffer[pos + 1];
            }
            marker = pos;
            pos += 1;
        }
        const std::size_t payloadAt = pos;

        TsLikePacket_t* packet = GetLayout<TsLikePacket_t>(buffer.data());
        CheckScalarField(packet->syncByte_t_, buffer, 0, 0, rng);
        CheckScalarField(packet->transportErrorIndicator_t_, buffer, 0, 8, rng);
        CheckScalarField(packet->payloadUnitStartIndicator_t_, buffer, 0, 9, rng);
        CheckScalarField(packet->transportPriority_t_, buffer, 0, 10, rng);
        CheckScalarField(packet->pid_t_, buffer, 0, 11, rng);
        CheckScalarField(packet->scrambleControl_t_, buffer, 0, 24, rng);
        CheckScalarField(packet->continuityCounter_t_, buffer, 0, 28, rng);
        EXPECT_EQ(packet->adaptationField_t_.GetCount(), hasAf ? 1u : 0u);
        EXPECT_EQ(packet->GetByteLength(), payloadAt + 1);
        if (hasAf) {
            AdaptationField_t& af = *packet->adaptationField_t_.operator->();
            CheckScalarField(af.esPriorityIndicator_t_, buffer, afBegin, 10, rng);
            if (af.pcrFlag_t_.Get()) {
                ClockReference_t& pcr = *af.pcr_t_.operator->();
                CheckScalarField(pcr.base_t_, buffer, pcrAt, 0, rng);
                CheckScalarField(pcr.extension_t_, buffer, pcrAt, 39, rng);
            }
            if (af.splicingPointFlag_t_.Get()) {
                CheckScalarField(af.spliceCountdown_t_, buffer, afBegin, 8 * (spliceAt - afBegin),
                                 rng);
            }
            EXPECT_EQ(af.GetBeginUnit(af.privateData_t_) + afBegin, privateAt);
            EXPECT_EQ(BitOf(af.privateData_t_.WalkPosition()) + 8 * afBegin, 8 * privateAt);
            std::size_t d = 0;
            for (Descriptor_t& descriptor : af.descriptor_t_) {
                ASSERT_LT(d, descriptorAt.size());
                EXPECT_EQ(reinterpret_cast<unsigned char*>(&descriptor),
                          buffer.data() + descriptorAt[d]);
                ++d;
            }
            EXPECT_EQ(d, descriptorAt.size());
            CheckScalarField(af.marker_t_, buffer, afBegin, 8 * (marker - afBegin), rng);
        }
        CheckScalarField(packet->payloadByte_t_, buffer, 0, 8 * payloadAt, rng);
        // The control field last: writing it changes the layout of what follows.
        CheckScalarField(packet->adaptationFieldControl_t_, buffer, 0, 26, rng);
    }
}

TEST(BitFieldTest, FormatPrintsEachFieldWithValueAndHex) {
    Bytes buffer = {0xC2, 0xFF, 0xFC, 0x94, 0x2C, 0xFF, 0x14, 0x20};
    EXPECT_EQ(FormatOf(*GetLayout<CaptionPacket_t>(buffer.data())),
              "CaptionPacket_t"
              "\n   Reserved1: 1 (0x1)"
              "\n   Process: 1 (0x1)"
              "\n   ZeroBit: 0 (0x0)"
              "\n   Count: 2 (0x2)"
              "\n   Reserved2: 255 (0xff)"
              "\n   CaptionData[0]:"
              "\n      OneBit: 1 (0x1)"
              "\n      Reserved: 15 (0xf)"
              "\n      Valid: 1 (0x1)"
              "\n      Type: 0 (0x0)"
              "\n      Data1: 148 (0x94)"
              "\n      Data2: 44 (0x2c)"
              "\n   CaptionData[1]:"
              "\n      OneBit: 1 (0x1)"
              "\n      Reserved: 15 (0xf)"
              "\n      Valid: 1 (0x1)"
              "\n      Type: 3 (0x3)"
              "\n      Data1: 20 (0x14)"
              "\n      Data2: 32 (0x20)");

    // A nested layout with its name at an indent, and the caller's stream state kept. The three
    // bytes are exactly the triple, shorter than the six-field layout object.
    unsigned char triple[3] = {0xFC, 0x94, 0x2C};
    std::ostringstream indented;
    indented << std::hex << std::setfill('*') << std::uppercase;
    GetLayout<CaptionData_t>(triple)->Format(indented, true, 2);
    EXPECT_EQ(indented.str(),
              "\n  CaptionData_t"
              "\n     OneBit: 1 (0x1)"
              "\n     Reserved: 15 (0xf)"
              "\n     Valid: 1 (0x1)"
              "\n     Type: 0 (0x0)"
              "\n     Data1: 148 (0x94)"
              "\n     Data2: 44 (0x2c)");
    EXPECT_TRUE(indented.flags() & std::ios::hex);
    EXPECT_TRUE(indented.flags() & std::ios::uppercase);
    EXPECT_EQ(indented.fill(), '*');
}

TEST(BitFieldTest, FormatOfOptionalAndCountedFields) {
    Bytes buffer = FullAdaptationPacket();
    buffer[5] = 0x5D;  // PCR, splice countdown, private data, one descriptor
    const AdaptationField_t& af = *GetLayout<AdaptationField_t>(buffer.data() + 4);
    EXPECT_EQ(FormatOf(af),
              "AdaptationField_t"
              "\n   fieldLength: 19 (0x13)"
              "\n   discontinuityIndicator: 0 (0x0)"
              "\n   randomAccessIndicator: 1 (0x1)"
              "\n   esPriorityIndicator: 0 (0x0)"
              "\n   pcrFlag: 1 (0x1)"
              "\n   splicingPointFlag: 1 (0x1)"
              "\n   privateDataFlag: 1 (0x1)"
              "\n   descriptorCount: 1 (0x1)"
              "\n   pcr:"
              "\n      base: 1 (0x00000001)"
              "\n      reserved: 0 (0x0)"
              "\n      extension: 5 (0x05)"
              "\n   spliceCountdown: 7 (0x07)"
              "\n   privateData:"
              "\n      length: 3 (0x03)"
              "\n      dataByte: uint8_t[3]"
              "\n   descriptor:"
              "\n      tag: 10 (0x0a)"
              "\n      length: 2 (0x02)"
              "\n      body: uint8_t[2]"
              "\n   marker: 11 (0x0b)");

    // Absent optional parts print nothing.
    buffer[5] = 0x00;
    EXPECT_EQ(FormatOf(af),
              "AdaptationField_t"
              "\n   fieldLength: 19 (0x13)"
              "\n   discontinuityIndicator: 0 (0x0)"
              "\n   randomAccessIndicator: 0 (0x0)"
              "\n   esPriorityIndicator: 0 (0x0)"
              "\n   pcrFlag: 0 (0x0)"
              "\n   splicingPointFlag: 0 (0x0)"
              "\n   privateDataFlag: 0 (0x0)"
              "\n   descriptorCount: 0 (0x0)"
              "\n   marker: 0 (0x00)");

    // The PID shows leading zeros up to 13 / 4 = 3 hex digits.
    std::ostringstream header;
    GetLayout<TsLikePacket_t>(buffer.data())->pid_t_.Format(header, 0);
    EXPECT_EQ(header.str(), "pid: 100 (0x064)");
}

}  // namespace
