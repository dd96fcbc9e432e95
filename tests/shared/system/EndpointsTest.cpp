#include <gtest/gtest.h>

#include "ConsoleCapture.h"
#include "shared/system/Endpoints.h"

namespace {

using Kestrel::Sys::ApplyHostOverride;
using Kestrel::Sys::Endpoints_t;

constexpr uint32_t Ip(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return (a << 24) | (b << 16) | (c << 8) | d;
}

TEST(Endpoints, BoardProfileHoldsTheBoardsConstants) {
    const Endpoints_t e = Kestrel::Sys::BoardEndpoints();
    EXPECT_EQ("/dev/ttyS2", e.serialDevice);
    EXPECT_EQ(115200u, e.serialBaud);
    EXPECT_EQ(Ip(227, 11, 22, 33), e.tsInputAddress);
    EXPECT_EQ(1234, e.tsInputPort);
    EXPECT_EQ(Ip(192, 168, 37, 95), e.sdiAddress);
    EXPECT_EQ(9988, e.sdiClockPort);
    EXPECT_EQ(9595, e.captionBasePort);
    EXPECT_EQ(Ip(227, 18, 19, 20), e.secondAudioAddress);
    EXPECT_EQ(1819, e.secondAudioPort);
    EXPECT_EQ("eth0", e.secondAudioInterface);
    EXPECT_EQ(0u, e.upgradeListenAddress);
    EXPECT_EQ(8888, e.upgradePort);
}

TEST(Endpoints, HostProfileStaysOnLoopback) {
    const Endpoints_t e = Kestrel::Sys::HostDefaultEndpoints();
    for (uint32_t address :
         {e.tsInputAddress, e.sdiAddress, e.secondAudioAddress, e.upgradeListenAddress}) {
        EXPECT_TRUE(Kestrel::Sys::IsLoopback(address)) << std::hex << address;
    }
    EXPECT_EQ("", e.secondAudioInterface);
    EXPECT_EQ("udp://127.0.0.1:1234", e.tsInput);
    EXPECT_TRUE(Kestrel::Sys::IsLoopback(Kestrel::Sys::Endpoints().sdiAddress));
}

TEST(Endpoints, OverridesOutsideLoopbackOrMalformedAreRefused) {
    KestrelTest::ConsoleCapture console;
    Endpoints_t e = Kestrel::Sys::HostDefaultEndpoints();
    const Endpoints_t before = e;
    EXPECT_FALSE(ApplyHostOverride(e, "KESTREL_SDI_ADDRESS", "192.168.37.95"));
    EXPECT_FALSE(ApplyHostOverride(e, "KESTREL_AUDIO2_ADDRESS", "227.18.19.20"));
    EXPECT_FALSE(ApplyHostOverride(e, "KESTREL_TS_INPUT", "udp://227.11.22.33:1234"));
    EXPECT_FALSE(ApplyHostOverride(e, "KESTREL_TS_INPUT", "udp://127.0.0.1:"));
    EXPECT_FALSE(ApplyHostOverride(e, "KESTREL_SDI_CLOCK_PORT", "65536"));
    EXPECT_FALSE(ApplyHostOverride(e, "KESTREL_CC_BASE_PORT", "95x"));
    EXPECT_FALSE(ApplyHostOverride(e, "KESTREL_NOT_A_SETTING", "1"));
    EXPECT_EQ(7u, console.Lines().size());
    EXPECT_EQ(before.sdiAddress, e.sdiAddress);
    EXPECT_EQ(before.tsInput, e.tsInput);
    EXPECT_EQ(before.sdiClockPort, e.sdiClockPort);

    EXPECT_TRUE(ApplyHostOverride(e, "KESTREL_SDI_ADDRESS", "127.0.0.2"));
    EXPECT_TRUE(ApplyHostOverride(e, "KESTREL_SDI_CLOCK_PORT", "40001"));
    EXPECT_TRUE(ApplyHostOverride(e, "KESTREL_TS_INPUT", "file:/tmp/stream.ts"));
    EXPECT_TRUE(ApplyHostOverride(e, "KESTREL_TS_INPUT", "udp://127.0.0.1:5000"));
    EXPECT_EQ(Ip(127, 0, 0, 2), e.sdiAddress);
    EXPECT_EQ(40001, e.sdiClockPort);
    EXPECT_EQ("udp://127.0.0.1:5000", e.tsInput);
}

}  // namespace
