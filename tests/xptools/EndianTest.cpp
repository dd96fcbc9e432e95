#include "xptools/Endian.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

template <typename T>
void ExpectBytes(T value, const unsigned char (&expected)[sizeof(T)]) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        EXPECT_EQ(bytes[i], expected[i]) << "byte " << i;
    }
}

TEST(EndianTest, HostToBigStoresMostSignificantByteFirst) {
    ExpectBytes(XP::Endian::HostToBig<uint32_t>(0x11223344u), {0x11, 0x22, 0x33, 0x44});
    ExpectBytes(XP::Endian::HostToBig<uint32_t>(3139u), {0x00, 0x00, 0x0C, 0x43});
    ExpectBytes(XP::Endian::HostToBig<uint16_t>(0xA1B2), {0xA1, 0xB2});
    ExpectBytes(XP::Endian::HostToBig<uint16_t>(0x00FF), {0x00, 0xFF});
}

TEST(EndianTest, BigToHostReadsBigEndianBytes) {
    const unsigned char big32[4] = {0xDE, 0xAD, 0xBE, 0xEF};
    uint32_t stored32;
    std::memcpy(&stored32, big32, sizeof(stored32));
    EXPECT_EQ(XP::Endian::BigToHost(stored32), 0xDEADBEEFu);

    const unsigned char big16[2] = {0x47, 0x01};
    uint16_t stored16;
    std::memcpy(&stored16, big16, sizeof(stored16));
    EXPECT_EQ(XP::Endian::BigToHost(stored16), 0x4701);

    for (uint32_t value : {0u, 1u, 0x80000000u, 0xFFFFFFFFu, 0x01020304u}) {
        EXPECT_EQ(XP::Endian::BigToHost(XP::Endian::HostToBig(value)), value);
    }
}

}  // namespace
