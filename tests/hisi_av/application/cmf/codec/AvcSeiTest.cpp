#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "BitWriter.h"
#include "CodecTestUtil.h"
#include "ConsoleCapture.h"
#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "hisi_av/application/cmf/codec/data/AvcPicTiming.h"
#include "hisi_av/application/cmf/codec/data/AvcVuiParameters.h"
#include "hisi_av/application/cmf/codec/data/ItuTT35.h"
#include "hisi_av/application/cmf/codec/data/SeiMessage.h"
#include "xptools/Print.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;
using CodecTest::MakeBuffer;
using PicTiming = Cmf::AvcPicTiming_t;
using T35 = Cmf::ItuTT35_t;

TEST(SeiMessageTest, ExtendedTypeAndSizeThenNextMessage) {
    // type 255 + 255 + 5 = 515, size 255 + 2 = 257; then type 4, size 1.
    Bytes bytes = {0xFF, 0xFF, 0x05, 0xFF, 0x02};
    bytes.insert(bytes.end(), 257, 0x5A);
    bytes.insert(bytes.end(), {0x04, 0x01, 0xAA, 0x80});
    const XP::CBuffer data = MakeBuffer(bytes);
    Cmf::RbspReader reader(data);
    Cmf::SeiMessage_t message;
    ASSERT_TRUE(message.Parse(reader));
    EXPECT_EQ(message.payloadType, 515u);
    EXPECT_EQ(message.payloadSize, 257u);
    message.SkipPayload(reader);
    ASSERT_TRUE(message.Parse(reader));
    EXPECT_EQ(message.payloadType, Cmf::SeiMessage_t::SEI_USER_DATA_REGISTERED_ITU_T_T35);
    EXPECT_EQ(message.payloadSize, 1u);
    EXPECT_EQ(reader.U(8), 0xAAu);

    // Sizes are checked against the reader's count, one more than the bytes: with three payload
    // bytes, size 4 passes and 5 does not.
    const std::vector<std::pair<Bytes, Lines>> cases = {
        {{}, {"SEI message too small"}},
        {{0x01, 0x04, 0x11, 0x22, 0x33}, {}},
        {{0x01, 0x05, 0x11, 0x22, 0x33}, {"SEI message payloadSize error"}},
    };
    for (const auto& [input, lines] : cases) {
        KestrelTest::ConsoleCapture console;
        const XP::CBuffer inputData = MakeBuffer(input);
        Cmf::RbspReader inputReader(inputData);
        EXPECT_EQ(Cmf::SeiMessage_t().Parse(inputReader), lines.empty());
        EXPECT_EQ(console.Lines(), lines);
    }
}

PicTiming ParsePicTiming(const BitWriter& w, const Cmf::AvcVuiParameters_t& vui) {
    const XP::CBuffer data = MakeBuffer(w.Escaped());
    Cmf::RbspReader reader(data);
    PicTiming timing;
    EXPECT_TRUE(timing.Parse(reader, vui));
    return timing;
}

TEST(AvcPicTimingTest, ClockTimestampsAreSteppedWithTheirHrdLengths) {
    // A PAL broadcast VUI: NAL HRD with an 18-bit cpb_removal_delay, a 6-bit dpb_output_delay
    // and a 24-bit time offset.
    Cmf::AvcVuiParameters_t vui;
    vui.nalHrdParametersPresentFlag = true;
    vui.picStructPresentFlag = true;
    vui.hrd.cpbRemovalDelayLengthMinus1 = 17;
    vui.hrd.dpbOutputDelayLengthMinus1 = 5;
    vui.hrd.timeOffsetLength = 24;

    // pic_struct 3 (top, bottom): two clock timestamps. The first has seconds, minutes and hours
    // flags and an all-ones time offset, so that a parser miscounting any of them reads ones into
    // the second's flag and ct_type. The last ct_type wins.
    BitWriter w;
    w.U(18, 0x3FFFF).U(6, 0x3F).U(4, 3);
    w.Flag(true).U(2, 1).Flag(true).U(5, 4).Flag(false).Flag(false).Flag(false).U(8, 12);
    w.Flag(true).U(6, 30).Flag(true).U(6, 59).Flag(true).U(5, 23).U(24, 0xFFFFFF);
    w.Flag(true).U(2, 2).Flag(false).U(5, 0).Flag(true).U(2, 0).U(8, 0).U(17, 0).U(24, 0);
    w.Trailing();
    Lines traces;
    const XP::DebugSink previous =
        XP::SetDebugSink([&traces](const std::string& line) { traces.push_back(line); });
    PicTiming timing = ParsePicTiming(w, vui);
    XP::SetDebugSink(previous);
    EXPECT_EQ(timing.picStruct, PicTiming::PIC_STRUCT_TOP_BOT);
    EXPECT_EQ(timing.ctType, PicTiming::CT_TYPE_UNKNOWN);
    EXPECT_EQ(traces, (Lines{"pic_struct: 3", "ct_type: 1", "ct_type: 2"}));

    // Frame doubling without timestamps; without HRD pic_struct comes first.
    BitWriter doubling;
    doubling.U(18, 0).U(6, 0).U(4, 7).Flag(false).Flag(false).Trailing();
    timing = ParsePicTiming(doubling, vui);
    EXPECT_EQ(timing.picStruct, PicTiming::PIC_STRUCT_FRAME_DOUBLING);
    EXPECT_EQ(timing.ctType, PicTiming::CT_TYPE_NOT_PRESENT);
    vui.nalHrdParametersPresentFlag = false;
    BitWriter progressive;
    progressive.U(4, 0).Flag(true).U(2, 0).U(19, 0).Trailing();
    timing = ParsePicTiming(progressive, vui);
    EXPECT_EQ(timing.ctType, PicTiming::CT_TYPE_PROGRESSIVE);

    vui.picStructPresentFlag = false;
    timing = ParsePicTiming(progressive, vui);
    EXPECT_EQ(timing.picStruct, PicTiming::PIC_STRUCT_NOT_PRESENT);
    EXPECT_EQ(timing.ctType, PicTiming::CT_TYPE_NOT_PRESENT);

    // A reader stepped past its end has nothing left.
    KestrelTest::ConsoleCapture console;
    const XP::CBuffer empty;
    Cmf::RbspReader reader(empty);
    reader.SkipBits(8);
    EXPECT_FALSE(PicTiming().Parse(reader, vui));
    EXPECT_EQ(console.Lines(), Lines{"pic_timing message too small"});
}

struct T35Result {
    bool ok;
    T35 t35;
    Lines lines;
};

T35Result ParseT35(const XP::CBuffer& payload) {
    KestrelTest::ConsoleCapture console;
    T35Result result{};
    Cmf::RbspReader reader(payload);
    result.ok = result.t35.Parse(payload, reader);
    result.lines = console.Lines();
    return result;
}

TEST(ItuTT35Test, AtscAndDirecTvCaptionData) {
    // cc_data(): process flag and cc_count 2, em_data, two caption triplets, marker.
    const Bytes ccData = {0xC2, 0xFF, 0xFC, 0x94, 0x20, 0xFD, 0x80, 0x80, 0xFF};
    const std::vector<std::pair<Bytes, std::size_t>> cases = {
        {{0xB5, 0x00, 0x31, 'G', 'A', '9', '4', 0x03}, 8},
        {{0xB5, 0x00, 0x2F, 0x03, 0x0A}, 5},
    };
    for (const auto& [header, offset] : cases) {
        Bytes bytes = header;
        bytes.insert(bytes.end(), ccData.begin(), ccData.end());
        const XP::CBuffer payload = MakeBuffer(bytes);
        const T35Result r = ParseT35(payload);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.t35.ituTT35ProviderCode,
                  offset == 8 ? T35::PROVIDER_CODE_ATSC : T35::PROVIDER_CODE_DIRECTV);
        EXPECT_EQ(r.t35.userDataTypeCode, T35::USER_DATA_TYPE_CC);
        // A view into the payload, not a copy.
        EXPECT_EQ(r.t35.data.GetBegin(), payload.GetBegin() + offset);
        EXPECT_EQ(r.t35.data, MakeBuffer(ccData));
    }
}

TEST(ItuTT35Test, OtherUserDataIsNotCaptions) {
    struct Case {
        Bytes bytes;
        T35::ItuTT35ProviderCode_e provider;
        T35::UserIdentifier_e identifier;
        T35::UserDataTypeCode_e typeCode;
        Lines lines;
    };
    const Case cases[] = {
        {{0xB5, 0x00, 0x31, 'G', 'A', '9', '4', 0x06, 0x1F},
         T35::PROVIDER_CODE_ATSC,
         T35::DVB1_DATA,
         T35::USER_DATA_TYPE_BAR,
         {}},
        {{0xB5, 0x00, 0x31, 'D', 'T', 'G', '1', 0x41, 0xF8},
         T35::PROVIDER_CODE_ATSC,
         T35::AFD_DATA,
         T35::USER_DATA_TYPE_RESERVED,
         {}},
        {{0xB5, 0x00, 0x31, 'X', 'Y', 'Z', '1', 0x03, 0xC1},
         T35::PROVIDER_CODE_ATSC,
         T35::USER_IDENTIFIER_RESERVED,
         T35::USER_DATA_TYPE_RESERVED,
         {}},
        {{0xB5, 0x00, 0x32, 'G', 'A', '9', '4', 0x03, 0xC1},
         T35::PROVIDER_CODE_RESERVED,
         T35::USER_IDENTIFIER_RESERVED,
         T35::USER_DATA_TYPE_RESERVED,
         {}},
        {{0x26, 0x00, 0x31, 'G', 'A', '9', '4', 0x03, 0xC1},
         T35::PROVIDER_CODE_RESERVED,
         T35::USER_IDENTIFIER_RESERVED,
         T35::USER_DATA_TYPE_RESERVED,
         {}},
        {{0xB5, 0x00, 0x31},
         T35::PROVIDER_CODE_RESERVED,
         T35::USER_IDENTIFIER_RESERVED,
         T35::USER_DATA_TYPE_RESERVED,
         {"Slice too small: 4 bytes"}},
        {{0xB5, 0x00, 0x31, 'G', 'A', '9', '4'},
         T35::PROVIDER_CODE_ATSC,
         T35::DVB1_DATA,
         T35::USER_DATA_TYPE_RESERVED,
         {}},
        // The size checks let a DirecTV payload end before its caption data.
        {{0xB5, 0x00, 0x2F, 0x03},
         T35::PROVIDER_CODE_DIRECTV,
         T35::USER_IDENTIFIER_RESERVED,
         T35::USER_DATA_TYPE_CC,
         {}},
    };
    for (const Case& c : cases) {
        const T35Result r = ParseT35(MakeBuffer(c.bytes));
        const std::string what = ::testing::PrintToString(c.bytes);
        EXPECT_FALSE(r.ok) << what;
        EXPECT_EQ(r.t35.ituTT35ProviderCode, c.provider) << what;
        EXPECT_EQ(r.t35.userIdentifier, c.identifier) << what;
        EXPECT_EQ(r.t35.userDataTypeCode, c.typeCode) << what;
        EXPECT_TRUE(r.t35.data.IsEmpty()) << what;
        EXPECT_EQ(r.lines, c.lines) << what;
    }
}

}  // namespace
