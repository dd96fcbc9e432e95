#include "kestrelctl/OpPrinter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kestrelctl/Catalogue.h"

namespace {

struct PrintCase {
    std::vector<uint8_t> payload;
    const char* text;
    const char* json;
};

TEST(OpPrinterTest, PrintsEachReceivedOperationAsOneLine) {
    const std::vector<PrintCase> cases = {
        // SET 280 [0] = 00 03
        {{0x00, 0x18, 0x01, 0x01, 0x00, 0x02, 0x00, 0x03},
         "SET videoFrameRate[0] = 3 (VIDEO_FRAME_RATE_25)",
         R"({"type":"SET","id":280,"name":"videoFrameRate","index":[0],"value":3,"enum":"VIDEO_FRAME_RATE_25"})"},
        // Id 2 is a VT_UINT32 in the catalogue, but the daemon sends the version as text.
        {{0x00, 0x02, 0x00, 0x01, 0x00, 0x05, '1', '.', '2', '.', '3'},
         "SET hisisystemSoftwareVersion[0] = \"1.2.3\"",
         R"({"type":"SET","id":2,"name":"hisisystemSoftwareVersion","index":[0],"value":"1.2.3"})"},
        {{0x00, 0x03, 0x00, 0x01, 0x00, 0x0C, 'r', 'a', 'd', 'u', 'v', 'a', '_', 'r', 'e', 'a', 'd',
          'y'},
         "SET hisisystemReady[0] = \"raduva_ready\"",
         R"({"type":"SET","id":3,"name":"hisisystemReady","index":[0],"value":"raduva_ready"})"},
        // 255 in an 8-bit field: the not-applicable member.
        {{0x00, 0xE3, 0x00, 0x01, 0x01, 0x01, 0xFF},
         "SET selectedserviceVideoType[1] = 255 (VIDEO_STATUS_TYPE_NOTAPPLICABLE)",
         R"({"type":"SET","id":227,"name":"selectedserviceVideoType","index":[1],"value":255,"enum":"VIDEO_STATUS_TYPE_NOTAPPLICABLE"})"},
        // VIDEO_FRAME_RATE_END (9) is the last member; 10 is none.
        {{0x00, 0x18, 0x01, 0x01, 0x00, 0x02, 0x00, 0x0A},
         "SET videoFrameRate[0] = 10 (not a member of VideoFrameRate_e)",
         R"({"type":"SET","id":280,"name":"videoFrameRate","index":[0],"value":10})"},
        {{0x00, 0x13, 0x00, 0x01, 0x00, 0x01, 0xF6},
         "SET audioOutputLevel[0] = -10",
         R"({"type":"SET","id":19,"name":"audioOutputLevel","index":[0],"value":-10})"},
        // One byte where the type has two.
        {{0x00, 0x18, 0x01, 0x01, 0x00, 0x01, 0x03},
         "SET videoFrameRate[0] = <03>",
         R"({"type":"SET","id":280,"name":"videoFrameRate","index":[0],"data":"03"})"},
        {{0x00, 0xE7, 0x03, 0x02, 0x01, 0x02, 0x02, 0x03, 0x04},
         "SET 999[1,2] = <03 04>",
         R"({"type":"SET","id":999,"index":[1,2],"data":"0304"})"},
        {{0x06, 0x00, 0x00, 0x00, 0x00},
         "TRANSACTION_END",
         R"({"type":"TRANSACTION_END","id":0,"index":[]})"},
        {{0x04, 0xFC, 0x00, 0x01, 0x00, 0x00},
         "REQUEST serviceselectionVideo[0]",
         R"({"type":"REQUEST","id":252,"name":"serviceselectionVideo","index":[0]})"},
        {{0x09, 0xFC, 0x00, 0x00, 0x02, 0x01, 0x00},
         "9 serviceselectionVideo[] = 256",
         R"({"type":"9","id":252,"name":"serviceselectionVideo","index":[],"value":256})"},
    };
    for (const PrintCase& c : cases) {
        SCOPED_TRACE(c.text);
        SsOp op;
        ASSERT_EQ(op.DeserializeOp(c.payload), c.payload.size());
        const COpSsDataMap& catalogue = KestrelCtl::DaemonCatalogue();
        EXPECT_EQ(KestrelCtl::FormatOperation(op, catalogue, KestrelCtl::OUTPUT_TEXT), c.text);
        EXPECT_EQ(KestrelCtl::FormatOperation(op, catalogue, KestrelCtl::OUTPUT_JSON), c.json);
    }
}

}  // namespace
