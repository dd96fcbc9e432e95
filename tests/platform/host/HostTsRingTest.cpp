#include "platform/host/HostTsRing.h"

#include <gtest/gtest.h>

#include "HostTsTestUtil.h"

using Kestrel::Host::CHostTsRing;
using KestrelTest::PayloadPacket;

namespace {

std::vector<uint8_t> Packets(std::initializer_list<uint8_t> labels) {
    std::vector<uint8_t> out;
    for (uint8_t label : labels) {
        auto p = PayloadPacket(0x100, label);
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

}  // namespace

TEST(HostTsRing, HandsOutWholePacketsInOrderWithinTheRoomGiven) {
    CHostTsRing ring(8);
    auto in = Packets({1, 2, 3, 4, 5, 6, 7, 8, 9});  // 9 packets: the first is dropped
    ring.Write(in.data(), in.size());
    EXPECT_EQ(ring.DroppedPackets(), 1u);
    EXPECT_EQ(ring.UsedBytes(), 8u * 188);

    std::vector<uint8_t> out(1316 + 100);
    // A room below one packet gets nothing; a room of 1.5 packets gets one.
    EXPECT_EQ(ring.Read(out.data(), 187), 0u);
    ASSERT_EQ(ring.Read(out.data(), 282), 188u);
    EXPECT_EQ(out[4], 2);
    // The usual 1316-byte chunk: the next seven packets, 3 to 9.
    ASSERT_EQ(ring.Read(out.data(), 1316), 1316u);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(out[size_t(i) * 188 + 4], 3 + i) << "packet " << i;
    EXPECT_EQ(ring.Read(out.data(), 1316), 0u);
}

TEST(HostTsRing, OverflowDropsTheOldestAcrossTheWrapAndIgnoresPartialPackets) {
    CHostTsRing ring(4);
    auto first = Packets({1, 2, 3});
    ring.Write(first.data(), first.size());
    std::vector<uint8_t> out(4 * 188);
    ASSERT_EQ(ring.Read(out.data(), 188), 188u);  // head moves to slot 1
    auto second = Packets({4, 5, 6});             // 2,3,4,5,6 > 4: packet 2 goes
    second.resize(second.size() + 50, 0x47);      // a partial trailing packet is not stored
    ring.Write(second.data(), second.size());
    EXPECT_EQ(ring.DroppedPackets(), 1u);
    ASSERT_EQ(ring.Read(out.data(), out.size()), 4u * 188);
    const uint8_t expected[] = {3, 4, 5, 6};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(out[size_t(i) * 188 + 4], expected[i]);
}
