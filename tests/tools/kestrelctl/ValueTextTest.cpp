#include "kestrelctl/ValueText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

namespace {

struct ParseCase {
    DataVarType_e type;
    const char* enumeration;  // registry name, or null
    std::string text;
    Bytes expected;     // data field on success
    const char* error;  // the whole message on failure, or null
};

TEST(ValueTextTest, ParsesEachTypeWithinItsRangeAndRefusesTheRest) {
    const std::vector<ParseCase> cases = {
        {VT_UINT8, nullptr, "255", {0xFF}, nullptr},
        {VT_UINT8, nullptr, "256", {}, "256 does not fit VT_UINT8 (0 to 255)"},
        {VT_UINT8, nullptr, "-1", {}, "-1 does not fit VT_UINT8 (0 to 255)"},
        {VT_INT8, nullptr, "-128", {0x80}, nullptr},
        {VT_INT8, nullptr, "0x7f", {0x7F}, nullptr},
        {VT_INT8, nullptr, "-129", {}, "-129 does not fit VT_INT8 (-128 to 127)"},
        {VT_INT8, nullptr, "0x80", {}, "0x80 does not fit VT_INT8 (-128 to 127)"},
        {VT_INT16, nullptr, "-2", {0xFF, 0xFE}, nullptr},
        {VT_INT16, nullptr, "-0x10", {0xFF, 0xF0}, nullptr},
        {VT_UINT32,
         nullptr,
         "4294967296",
         {},
         "4294967296 does not fit VT_UINT32 (0 to 4294967295)"},
        {VT_INT64, nullptr, "-9223372036854775808", {0x80, 0, 0, 0, 0, 0, 0, 0}, nullptr},
        {VT_UINT64, nullptr, "0xFFFFFFFFFFFFFFFF", Bytes(8, 0xFF), nullptr},
        {VT_UINT64,
         nullptr,
         "18446744073709551616",
         {},
         "\"18446744073709551616\" is not a VT_UINT64 number (decimal or 0x-hex)"},
        {VT_UINT16, nullptr, "", {}, "\"\" is not a VT_UINT16 number (decimal or 0x-hex)"},
        {VT_UINT16, nullptr, "0x", {}, "\"0x\" is not a VT_UINT16 number (decimal or 0x-hex)"},
        {VT_UINT16, nullptr, "+1", {}, "\"+1\" is not a VT_UINT16 number (decimal or 0x-hex)"},
        {VT_UINT16, nullptr, "12 ", {}, "\"12 \" is not a VT_UINT16 number (decimal or 0x-hex)"},
        {VT_BOOL, nullptr, "true", {0x01}, nullptr},
        {VT_BOOL, nullptr, "yes", {}, "\"yes\" is not a VT_BOOL value (true, false, 1 or 0)"},
        {VT_STRING, nullptr, "KR-4000", {'K', 'R', '-', '4', '0', '0', '0'}, nullptr},
        {VT_STRING, nullptr, std::string(240, 'a'), Bytes(240, 'a'), nullptr},
        {VT_STRING,
         nullptr,
         std::string(241, 'a'),
         {},
         "text of 241 bytes is longer than the 240 an operation carries"},
        {VT_IP, nullptr, "10.1.2.3", {10, 1, 2, 3}, nullptr},
        {VT_IP, nullptr, "10.1.2", {}, "\"10.1.2\" is not an IPv4 address"},
        {VT_MAC, nullptr, "00-1A-2B-3C-4D-5E",
         Bytes{'0', '0', ':', '1', 'a', ':', '2', 'b', ':', '3', 'c', ':', '4', 'd', ':', '5', 'e'},
         nullptr},
        {VT_DOUBLE, nullptr, "1", {}, "values of type VT_DOUBLE cannot be sent"},
        // Enumeration-valued ids: member names, and any number in range.
        {VT_UINT8, "VideoType_e", "VIDEO_TYPE_MPEG4", {0x02}, nullptr},
        {VT_UINT8, "VideoType_e", "9", {0x09}, nullptr},
        {VT_UINT8, "VideoStatusType_e", "VIDEO_STATUS_TYPE_NOTAPPLICABLE", {0xFF}, nullptr},
        {VT_UINT8,
         "VideoStatusType_e",
         "VIDEO_STATUS_TYPE_END",
         {},
         "VIDEO_STATUS_TYPE_END (256) does not fit VT_UINT8 (0 to 255)"},
        {VT_UINT8,
         "VideoType_e",
         "video_type_mpeg4",
         {},
         "\"video_type_mpeg4\" is neither a number nor a member of VideoType_e"},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(std::string(DataVarTypeName(c.type)) + " \"" + c.text.substr(0, 40) + "\"");
        SsOp op;
        op.SetDataU8(0xAA);  // a failed parse must leave the data as it was
        std::string error;
        const bool ok =
            KestrelCtl::ParseValue(c.text, c.type, FindValueEnumeration(c.enumeration), op, error);
        if (c.error == nullptr) {
            EXPECT_TRUE(ok) << error;
            EXPECT_EQ(op.GetRawData(), c.expected);
        } else {
            EXPECT_FALSE(ok);
            EXPECT_EQ(error, c.error);
            EXPECT_EQ(op.GetRawData(), Bytes{0xAA});
        }
    }
}

struct DecodeCase {
    Bytes data;
    DataVarType_e type;
    const char* text;
    const char* json;
};

TEST(ValueTextTest, DecodesReceivedDataByTypeAndShowsWhatDoesNotFitRaw) {
    const std::vector<DecodeCase> cases = {
        {{0x00, 0x03}, VT_UINT16, "3", "3"},
        {{0xFF}, VT_INT8, "-1", "-1"},
        {{0xFF, 0xEC}, VT_INT16, "-20", "-20"},
        {{0x80, 0, 0, 0, 0, 0, 0, 0}, VT_INT64, "-9223372036854775808", "-9223372036854775808"},
        {Bytes(8, 0xFF), VT_UINT64, "18446744073709551615", "18446744073709551615"},
        {{0x02}, VT_BOOL, "true", "true"},
        {{10, 1, 2, 3}, VT_IP, "10.1.2.3", "\"10.1.2.3\""},
        {{'a', '"', 'b', '\\', '\n', 0x01, 0xC3, 0xA9, 0xFF},
         VT_STRING,
         "\"a\\\"b\\\\\\n\\x01\xC3\xA9\\xff\"",
         "\"a\\\"b\\\\\\n\\u0001\xC3\xA9\\u00ff\""},
        // Wrong width, or a type without a data form: the bytes as received.
        {{0x00, 0x03, 0x04}, VT_UINT16, "<00 03 04>", "\"000304\""},
        {{}, VT_UINT8, "<>", "\"\""},
        {{0x3F, 0x80}, VT_DOUBLE, "<3f 80>", "\"3f80\""},
        {{'x', 'y'}, VT_MAC, "<78 79>", "\"7879\""},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(std::string(DataVarTypeName(c.type)) + " " + c.text);
        const KestrelCtl::DecodedValue_t value = KestrelCtl::DecodeValue(c.data, c.type);
        EXPECT_EQ(KestrelCtl::ValueToText(value), c.text);
        EXPECT_EQ(KestrelCtl::ValueToJson(value), c.json);
    }
}

}  // namespace
