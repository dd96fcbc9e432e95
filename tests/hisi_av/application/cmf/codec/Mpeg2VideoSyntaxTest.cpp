#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "BitWriter.h"
#include "CodecTestUtil.h"
#include "ConsoleCapture.h"
#include "hisi_av/application/cmf/codec/BitstreamReader.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoHeader.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoPictureCodingExtension.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoPictureHeader.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoSeqDisplayExtension.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoSeqExtension.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoSeqHeader.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoUserData.h"

namespace {

using Bytes = std::vector<uint8_t>;
using CodecTest::MakeBuffer;
using Ext = Cmf::Mpeg2VideoSeqExtension_t;

// sequence_extension() after its start code, H.262 6.2.2.3.
Bytes SeqExtension(uint8_t profileAndLevel, bool progressive, unsigned chroma, unsigned hExt,
                   unsigned vExt) {
    BitWriter w;
    w.Bytes({0x00, 0x00, 0x01, 0xB5}).U(4, 1).U(8, profileAndLevel).Flag(progressive);
    w.U(2, chroma).U(2, hExt).U(2, vExt).U(12, 0x123).U(1, 1).U(8, 0x40).Flag(false);
    w.U(2, 0).U(5, 0).Trailing();
    return w.Rbsp();
}

TEST(Mpeg2VideoSyntaxTest, ProfileAndLevelIndication) {
    struct Case {
        uint8_t indication;
        Ext::ProfileIdc_e profile;
        Ext::LevelIdc_e level;
    };
    // Escape values that name nothing leave the record's previous values (here the defaults).
    const Case cases[] = {
        {0x48, Ext::PROFILE_MAIN, Ext::LEVEL_MAIN},
        {0x49, Ext::PROFILE_MAIN, Ext::LEVEL_RESERVED},
        {0x14, Ext::PROFILE_HIGH, Ext::LEVEL_HIGH},
        {0x26, Ext::PROFILE_SPATIALLY_SCALABLE, Ext::LEVEL_HIGH_1440},
        {0x3A, Ext::PROFILE_SNR_SCALABLE, Ext::LEVEL_LOW},
        {0x58, Ext::PROFILE_SIMPLE, Ext::LEVEL_MAIN},
        {0x64, Ext::PROFILE_RESERVED, Ext::LEVEL_HIGH},
        {0x08, Ext::PROFILE_RESERVED, Ext::LEVEL_MAIN},
        {0x82, Ext::PROFILE_4_2_2, Ext::LEVEL_HIGH},
        {0x85, Ext::PROFILE_4_2_2, Ext::LEVEL_MAIN},
        {0x8A, Ext::PROFILE_MULTI_VIEW, Ext::LEVEL_HIGH},
        {0x8B, Ext::PROFILE_MULTI_VIEW, Ext::LEVEL_HIGH_1440},
        {0x8D, Ext::PROFILE_MULTI_VIEW, Ext::LEVEL_MAIN},
        {0x8E, Ext::PROFILE_MULTI_VIEW, Ext::LEVEL_LOW},
        {0x88, Ext::PROFILE_RESERVED, Ext::LEVEL_RESERVED},
        {0xC8, Ext::PROFILE_RESERVED, Ext::LEVEL_RESERVED},
    };
    for (const Case& c : cases) {
        const XP::CBuffer bytes = MakeBuffer(SeqExtension(c.indication, true, 1, 0, 0));
        Cmf::BitstreamReader reader(bytes);
        Ext ext;
        ASSERT_TRUE(ext.Parse(reader));
        EXPECT_EQ(ext.profile, c.profile) << std::hex << int(c.indication);
        EXPECT_EQ(ext.level, c.level) << std::hex << int(c.indication);
    }
    // An unknown escape keeps what an earlier parse into the same record found.
    Ext ext;
    for (uint8_t indication : {0x48, 0x81}) {
        const XP::CBuffer bytes = MakeBuffer(SeqExtension(indication, false, 2, 3, 1));
        Cmf::BitstreamReader reader(bytes);
        ASSERT_TRUE(ext.Parse(reader));
    }
    EXPECT_EQ(ext.profile, Ext::PROFILE_MAIN);
    EXPECT_EQ(ext.level, Ext::LEVEL_MAIN);
    EXPECT_FALSE(ext.progressiveSequence);
    EXPECT_EQ(ext.chromaFormat, Ext::CHROMA_422);
    EXPECT_EQ(ext.horizontalSizeExtension, 3u);
    EXPECT_EQ(ext.verticalSizeExtension, 1u);
}

TEST(Mpeg2VideoSyntaxTest, OutOfRangeCodesAreClampedToTheirReservedValue) {
    BitWriter seq;
    seq.Bytes({0x00, 0x00, 0x01, 0xB3}).U(12, 0x780).U(12, 0x438).U(4, 15).U(4, 12);
    seq.U(18, 1000).U(1, 1).U(10, 112).U(3, 0);
    const XP::CBuffer seqBytes = MakeBuffer(seq.Rbsp());
    Cmf::BitstreamReader seqReader(seqBytes);
    Cmf::Mpeg2VideoSeqHeader_t header;
    ASSERT_TRUE(header.Parse(seqReader));
    EXPECT_EQ(header.horizontalSizeValue, 0x780u);
    EXPECT_EQ(header.verticalSizeValue, 0x438u);
    EXPECT_EQ(header.aspectRatioInformation, Cmf::Mpeg2VideoSeqHeader_t::ASPECT_RATIO_RESERVED);
    EXPECT_EQ(header.frameRateCode, Cmf::Mpeg2VideoSeqHeader_t::FRAME_RATE_RESERVED);

    BitWriter pic;
    pic.Bytes({0x00, 0x00, 0x01, 0x00}).U(10, 1023).U(3, 7).U(16, 0xFFFF).U(3, 0).Trailing();
    Cmf::Mpeg2VideoPictureHeader_t picture;
    ASSERT_TRUE(picture.Parse(Cmf::Mpeg2VideoHeader(MakeBuffer(pic.Rbsp()))));
    EXPECT_EQ(picture.temporalRefrence, 1023u);
    EXPECT_EQ(picture.codingType, Cmf::Mpeg2VideoPictureHeader_t::PIC_CODING_TYPE_RESERVED);
}

// Each parser rejects a header one byte shorter than it accepts; the size counts one byte more
// than there is.
TEST(Mpeg2VideoSyntaxTest, ShortHeadersAreRejectedWithTheirSize) {
    KestrelTest::ConsoleCapture console;
    auto reader = [](std::size_t size) { return MakeBuffer(Bytes(size, 0x11)); };
    struct Case {
        std::string name;
        std::size_t accepted;  // smallest size that passes the size check
        std::string message;   // for one byte less
        bool (*parse)(const XP::CBuffer&);
    };
    const Case cases[] = {
        {"sequence header", 11, "Sequence header too small: 11 bytes",
         [](const XP::CBuffer& b) {
             Cmf::BitstreamReader r(b);
             return Cmf::Mpeg2VideoSeqHeader_t().Parse(r);
         }},
        {"sequence extension", 9, "Sequence extension too small: 9 bytes",
         [](const XP::CBuffer& b) {
             Cmf::BitstreamReader r(b);
             return Cmf::Mpeg2VideoSeqExtension_t().Parse(r);
         }},
        {"sequence display extension", 8, "Sequence header too small: 8 bytes",
         [](const XP::CBuffer& b) {
             Cmf::BitstreamReader r(b);
             return Cmf::Mpeg2VideoSeqDisplayExtension_t().Parse(r);
         }},
        {"picture coding extension", 8, "Sequence header too small: 8 bytes",
         [](const XP::CBuffer& b) {
             Cmf::BitstreamReader r(b);
             return Cmf::Mpeg2VideoPictureCodingExtension_t().Parse(r);
         }},
        {"picture header", 7, "Slice too small: 7 bytes",
         [](const XP::CBuffer& b) {
             return Cmf::Mpeg2VideoPictureHeader_t().Parse(Cmf::Mpeg2VideoHeader(b));
         }},
        {"user data", 7, "Slice too small: 7 bytes",
         [](const XP::CBuffer& b) {
             return Cmf::Mpeg2VideoUserData_t().Parse(Cmf::Mpeg2VideoHeader(b));
         }},
    };
    for (const Case& c : cases) {
        console.Take();
        EXPECT_FALSE(c.parse(reader(c.accepted - 1))) << c.name;
        EXPECT_EQ(console.Take(), std::vector<std::string>{c.message}) << c.name;
        // Past the size check, bytes of 0x11 are no user data "GA94", but every other header
        // parses.
        EXPECT_EQ(c.parse(reader(c.accepted)), c.name != "user data") << c.name;
        EXPECT_TRUE(console.Take().empty()) << c.name;
    }
}

TEST(Mpeg2VideoSyntaxTest, UserDataCarriesCaptionsOnlyForGa94TypeThree) {
    const Bytes ccData{0x42, 0xFF, 0xFC, 0x94, 0x20, 0xFD, 0x80, 0x80};
    auto userData = [&](const std::string& identifier, uint8_t typeCode) {
        Bytes bytes{0x00, 0x00, 0x01, 0xB2};
        bytes.insert(bytes.end(), identifier.begin(), identifier.end());
        bytes.push_back(typeCode);
        bytes.insert(bytes.end(), ccData.begin(), ccData.end());
        return MakeBuffer(bytes);
    };

    Cmf::Mpeg2VideoUserData_t captions;
    ASSERT_TRUE(captions.Parse(Cmf::Mpeg2VideoHeader(userData("GA94", 3))));
    EXPECT_EQ(captions.userIdentifier, Cmf::Mpeg2VideoUserData_t::DVB1_DATA);
    EXPECT_EQ(captions.userDataTypeCode, Cmf::Mpeg2VideoUserData_t::USER_DATA_TYPE_CC);
    EXPECT_EQ(Bytes(captions.data.GetBegin(), captions.data.GetEnd()), ccData);

    struct Case {
        std::string identifier;
        uint8_t typeCode;
        Cmf::Mpeg2VideoUserData_t::UserIdentifier_e expectedIdentifier;
        Cmf::Mpeg2VideoUserData_t::UserDataTypeCode_e expectedType;
    };
    const Case rejected[] = {
        {"GA94", 6, Cmf::Mpeg2VideoUserData_t::DVB1_DATA,
         Cmf::Mpeg2VideoUserData_t::USER_DATA_TYPE_BAR},
        {"GA94", 4, Cmf::Mpeg2VideoUserData_t::DVB1_DATA,
         Cmf::Mpeg2VideoUserData_t::USER_DATA_TYPE_RESERVED},
        {"DTG1", 3, Cmf::Mpeg2VideoUserData_t::AFD_DATA,
         Cmf::Mpeg2VideoUserData_t::USER_DATA_TYPE_RESERVED},
        {"GA95", 3, Cmf::Mpeg2VideoUserData_t::USER_IDENTIFIER_RESERVED,
         Cmf::Mpeg2VideoUserData_t::USER_DATA_TYPE_RESERVED},
    };
    for (const Case& c : rejected) {
        Cmf::Mpeg2VideoUserData_t parsed;
        EXPECT_FALSE(parsed.Parse(Cmf::Mpeg2VideoHeader(userData(c.identifier, c.typeCode))));
        EXPECT_EQ(parsed.userIdentifier, c.expectedIdentifier) << c.identifier;
        EXPECT_EQ(parsed.userDataTypeCode, c.expectedType) << c.identifier;
        EXPECT_TRUE(parsed.data.IsEmpty()) << c.identifier;
    }

    // Captions announced at the very end of the header: nothing to give.
    Cmf::Mpeg2VideoUserData_t empty;
    EXPECT_FALSE(empty.Parse(
        Cmf::Mpeg2VideoHeader(MakeBuffer({0x00, 0x00, 0x01, 0xB2, 'G', 'A', '9', '4', 0x03}))));
    EXPECT_TRUE(empty.data.IsEmpty());
}

TEST(Mpeg2VideoSyntaxTest, StartCodeValuesAndExtensionIdentifiers) {
    using H = Cmf::Mpeg2VideoHeader;
    const std::pair<uint8_t, H::ScValue_e> values[] = {
        {0x00, H::PICTURE_SC},    {0x01, H::SLICE_SC},        {0xAF, H::SLICE_SC},
        {0xB0, H::RESERVED_SC_1}, {0xB2, H::USER_DATA_SC},    {0xB3, H::SEQUENCE_HEADER_SC},
        {0xB5, H::EXTENSION_SC},  {0xB7, H::SEQUENCE_END_SC}, {0xB8, H::GROUP_SC},
        {0xB9, H::SYSTEM_SC},     {0xE0, H::SYSTEM_SC},       {0xFF, H::SYSTEM_SC},
    };
    for (const auto& v : values) {
        EXPECT_EQ(H::GetScValueFromValueByte(v.first), v.second) << int(v.first);
        EXPECT_EQ(H(MakeBuffer({0x00, 0x00, 0x01, v.first})).GetStartCodeValue(), v.second);
    }
    EXPECT_EQ(H(MakeBuffer({0x00, 0x00, 0x01, 0xB5, 0x8F})).GetExtensionStartCodeIdentifier(),
              H::EXTENSION_PICTURE_CODING);
    EXPECT_EQ(H(MakeBuffer({0x00, 0x00, 0x01, 0xB5, 0x2F})).GetExtensionStartCodeIdentifier(),
              H::EXTENSION_SEQUENCE_DISPLAY);
    // Views too short for the field read nothing beyond their bytes.
    EXPECT_EQ(H(MakeBuffer({0x00, 0x00, 0x01})).GetStartCodeValue(), H::SYSTEM_SC);
    EXPECT_EQ(H(MakeBuffer({0x00, 0x00, 0x01, 0xB5})).GetExtensionStartCodeIdentifier(), 0);
}

}  // namespace
