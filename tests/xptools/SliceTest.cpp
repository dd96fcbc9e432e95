#include "xptools/Slice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ToBytes(const XP::CSlice<const unsigned char>& slice) {
    return Bytes(slice.GetBegin(), slice.GetEnd());
}

TEST(SliceTest, OwnedBufferStartsZeroedAndIsSharedByCopies) {
    XP::CBuffer buffer(5);
    EXPECT_EQ(Bytes(5, 0), ToBytes(buffer));
    EXPECT_TRUE(buffer.GetElems().IsOwning());
    XP::CBuffer copy = buffer;
    copy[4] = 0xAB;
    EXPECT_EQ(0xAB, buffer[4]);

    XP::CBuffer empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.GetBegin(), empty.GetEnd());
}

TEST(SliceTest, OutsideMemoryIsWrappedWithoutOwning) {
    unsigned char bytes[4] = {1, 2, 3, 4};
    {
        XP::CBuffer view(bytes, 3);
        EXPECT_EQ(3u, view.GetSize());
        EXPECT_EQ(bytes, view.GetBegin());
        EXPECT_FALSE(view.GetElems().IsOwning());
        view[0] = 10;
    }
    EXPECT_EQ(10, bytes[0]);  // written through, and still ours after the view is gone
    EXPECT_EQ(4u, XP::CBuffer(bytes).GetSize());
    unsigned char single[1] = {0x5A};
    EXPECT_EQ(Bytes{0x5A}, ToBytes(XP::CBuffer(single)));
}

TEST(SliceTest, SubslicesShareAndKeepTheOwnerAlive) {
    XP::CBuffer inner;
    {
        XP::CBuffer packet(8);
        for (unsigned i = 0; i < 8; ++i) {
            packet[i] = static_cast<unsigned char>(0x10 + i);
        }
        XP::CBuffer payload = packet.Subslice(2, 5);  // 0x12..0x16
        inner = payload.Subslice(1, 3);               // 0x13..0x15
        inner[0] = 0xEE;
        EXPECT_EQ(0xEE, packet[3]);
    }
    // The packet's other holders are gone; the sub-slice still reads its bytes (ASan watches).
    EXPECT_EQ((Bytes{0xEE, 0x14, 0x15}), ToBytes(inner));

    XP::CBuffer edge = inner.Subslice(3, 0);
    EXPECT_EQ(0u, edge.GetSize());
    EXPECT_EQ(inner.GetEnd(), edge.GetBegin());
}

TEST(SliceTest, CloneCopiesIntoItsOwnArray) {
    unsigned char outside[3] = {7, 8, 9};
    XP::CBuffer clone;
    {
        XP::CBuffer view(outside, 3);
        clone = view.Clone();
        EXPECT_TRUE(clone.GetElems().IsOwning());
    }
    outside[0] = 0;
    EXPECT_EQ((Bytes{7, 8, 9}), ToBytes(clone));

    XP::CSlice<const unsigned char> constView(XP::CBuffer(outside, 2));
    XP::CBuffer mutableCopy = constView.Clone();
    mutableCopy[1] = 1;
    EXPECT_EQ(8, outside[1]);
    EXPECT_EQ(0u, XP::CBuffer().Clone().GetSize());

    // Other element types: strings are copied, not shared.
    XP::CSlice<std::string> words(3);
    words[2] = "three";
    XP::CSlice<std::string> tail = words.Subslice(1, 2);
    XP::CSlice<std::string> copy = tail.Clone();
    words[2] = "changed";
    EXPECT_EQ("", copy[0]);
    EXPECT_EQ("three", copy[1]);
    EXPECT_EQ("changed", tail[1]);
}

TEST(SliceTest, EqualityComparesSizeAndBytes) {
    unsigned char a[4] = {1, 2, 3, 4};
    unsigned char b[4] = {1, 2, 3, 4};
    unsigned char c[4] = {1, 2, 3, 5};
    EXPECT_TRUE(XP::CBuffer(a, 4) == XP::CBuffer(b, 4));   // different storage, same bytes
    EXPECT_TRUE(XP::CBuffer(a, 4) != XP::CBuffer(c, 4));   // last byte differs
    EXPECT_FALSE(XP::CBuffer(a, 3) == XP::CBuffer(b, 4));  // prefix, shorter
    EXPECT_TRUE(XP::CBuffer(a, 3) == XP::CBuffer(c, 3));
    EXPECT_TRUE(XP::CBuffer() == XP::CBuffer(a, 0));
    EXPECT_TRUE(XP::CSlice<const unsigned char>(XP::CBuffer(a, 4)) == XP::CBuffer(b, 4));
}

}  // namespace
