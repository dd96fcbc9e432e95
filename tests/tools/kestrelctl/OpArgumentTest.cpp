#include "kestrelctl/OpArgument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kestrelctl/Catalogue.h"

using Bytes = std::vector<uint8_t>;

namespace {

// Payloads written out by hand: type, id low, id high, index count, indexes, data count, data.
TEST(OpArgumentTest, BuildsThePayloadOfEachForm) {
    const std::vector<std::pair<std::string, Bytes>> cases = {
        {"serviceselectionVideo[1]=0x100", {0x00, 0xFC, 0x00, 0x01, 0x01, 0x02, 0x01, 0x00}},
        {"252=256", {0x00, 0xFC, 0x00, 0x01, 0x00, 0x02, 0x01, 0x00}},
        {"serviceselectionVideoCodecType=VIDEO_TYPE_MPEG4",
         {0x00, 0xF8, 0x00, 0x01, 0x00, 0x01, 0x02}},
        // Id 73 resolves to audioOutputDownmix, a VT_INT8.
        {"73=-1", {0x00, 0x49, 0x00, 0x01, 0x00, 0x01, 0xFF}},
        {"0x49[2,0x03]=-128", {0x00, 0x49, 0x00, 0x02, 0x02, 0x03, 0x01, 0x80}},
        {"hisisystemProductId[]=KR", {0x00, 0x0A, 0x00, 0x00, 0x02, 'K', 'R'}},
        {"hisisystemProductId=", {0x00, 0x0A, 0x00, 0x01, 0x00, 0x00}},
        {"avssconfigAvSyncSetting=-20", {0x00, 0x3C, 0x01, 0x01, 0x00, 0x02, 0xFF, 0xEC}},
        {"avssconfigGenlockAvail=true", {0x00, 0x6B, 0x00, 0x01, 0x00, 0x01, 0x01}},
        {"end", {0x06, 0x00, 0x00, 0x00, 0x00}},
        {"raw:0F10aB", {0x0F, 0x10, 0xAB}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        Bytes payload;
        std::string error;
        EXPECT_TRUE(
            KestrelCtl::ParseOpArgument(c.first, KestrelCtl::DaemonCatalogue(), payload, error))
            << error;
        EXPECT_EQ(payload, c.second);
    }
}

TEST(OpArgumentTest, RefusesWhatTheDaemonWouldNotKnowWithOneClearReason) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"nosuch=1", "unknown operation name \"nosuch\""},
        // Replaced under id 73 by a later table: the daemon does not know this name.
        {"audiosrvDownmixOp=1", "unknown operation name \"audiosrvDownmixOp\""},
        {"16=1", "unknown operation id 16"},
        {"65536=1", "\"65536\" is not an operation id (0 to 65535)"},
        {"73=200", "audioOutputDownmix: 200 does not fit VT_INT8 (-128 to 127)"},
        // The daemon reports the version as text, but a set is read by the catalogue type.
        {"hisisystemSoftwareVersion=1.2.3",
         "\"1.2.3\" is not a VT_UINT32 number (decimal or 0x-hex)"},
        {"serviceselectionVideo[1,]=1", "index \"\" is not a byte (0 to 255)"},
        {"serviceselectionVideo[256]=1", "index \"256\" is not a byte (0 to 255)"},
        {"serviceselectionVideo[1=1", "the index list must end with ']' just before '='"},
        {"serviceselectionVideo", "expected NAME[INDEX]=VALUE, ID[INDEX]=VALUE, end or raw:HEX"},
        {"end[1]", "expected NAME[INDEX]=VALUE, ID[INDEX]=VALUE, end or raw:HEX"},
        {"raw:", "raw payload is empty"},
        {"raw:abc", "raw payload has an odd number of hex digits (3)"},
        {"raw:000g", "\"0g\" in the raw payload is not hex"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        Bytes payload = {0x55};
        std::string error;
        EXPECT_FALSE(
            KestrelCtl::ParseOpArgument(c.first, KestrelCtl::DaemonCatalogue(), payload, error));
        EXPECT_EQ(error, c.second);
        EXPECT_EQ(payload, Bytes{0x55});
    }
}
}  // namespace
