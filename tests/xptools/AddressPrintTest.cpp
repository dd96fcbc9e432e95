#include <gtest/gtest.h>

#include <string>

#include "ConsoleCapture.h"
#include "xptools/Address.h"
#include "xptools/Print.h"

namespace {

TEST(Address, IpFromValueAndText) {
    XP::CIpAddress ip;
    ip.SetIpInt(0xC0A8255Fu);
    EXPECT_EQ("192.168.37.95", ip.ToString());
    EXPECT_TRUE(ip.Set("127.0.0.1"));
    EXPECT_EQ(0x7F000001u, ip.GetIpInt());
    for (const char* bad :
         {"", "1.2.3", "1.2.3.4.5", "256.0.0.1", "1..2.3", "1.2.3.4 ", "a.b.c.d", "1.2.3.0004"}) {
        EXPECT_FALSE(ip.Set(bad)) << bad;
    }
    EXPECT_EQ(0x7F000001u, ip.GetIpInt());
}

TEST(Address, MacFromText) {
    XP::CMacAddress mac;
    EXPECT_TRUE(mac.Set("02:AD:32:01:af:12"));
    EXPECT_EQ((XP::CMacAddress::Bytes_t{0x02, 0xAD, 0x32, 0x01, 0xAF, 0x12}), mac.GetBytes());
    EXPECT_EQ("02:ad:32:01:af:12", mac.ToString());
    EXPECT_TRUE(mac.Set("00-11-22-33-44-55"));
    EXPECT_EQ("00:11:22:33:44:55", mac.ToString());
    for (const char* bad : {"", "02ad3201af12", "00:11:22:33:44", "00:11-22:33:44:55",
                            "00:11:22:33:44:5g", "00:11:22:33:44:55:66"}) {
        EXPECT_FALSE(mac.Set(bad)) << bad;
    }
    EXPECT_EQ("00:11:22:33:44:55", mac.ToString());
}

TEST(Print, OneLinePerCallWhateverTheFormatEndsWith) {
    KestrelTest::ConsoleCapture console;
    XP::MyPrintf("%s failed! offset=%zu, dataLength=%zu", "DeserializeArray", size_t{3}, size_t{2});
    XP::MyPrintf("with line end %d\n", 7);
    const std::string longText(1000, 'x');
    XP::MyPrintf("%s", longText.c_str());
    EXPECT_EQ((std::vector<std::string>{"DeserializeArray failed! offset=3, dataLength=2",
                                        "with line end 7", longText}),
              console.Take());
    EXPECT_TRUE(console.Lines().empty());
}

}  // namespace
