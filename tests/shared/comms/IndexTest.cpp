#include "shared/comms/Index.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <type_traits>

#include "ConsoleCapture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// The catalogue's spellings compile; an integer where a type belongs does not.
static_assert(std::is_constructible_v<CIndex, int>);
static_assert(std::is_constructible_v<CIndex, int, DataVarType_e>);
static_assert(std::is_constructible_v<CIndex, int, DataVarType_e, DataVarType_e>);
static_assert(!std::is_constructible_v<CIndex, int, DataVarType_e, int>);
static_assert(!std::is_constructible_v<CIndex, int, int>);

std::vector<uint32_t> Values(const CIndex& index) {
    std::vector<uint32_t> values;
    for (size_t i = 0; i < index.GetIndexCount(); ++i) {
        uint32_t value = 0xDEADBEEF;
        EXPECT_TRUE(index.GetIndex(i, value));
        values.push_back(value);
    }
    return values;
}

TEST(CIndexTest, ConstructorsRecordTypesWithZeroValues) {
    KestrelTest::ConsoleCapture cap;
    EXPECT_EQ(CIndex(0).GetIndexCount(), 0u);
    EXPECT_EQ(CIndex(nullptr, 4).GetIndexCount(), 0u);

    const CIndex two(2, VT_UINT8, VT_UINT32);
    EXPECT_THAT(two.GetIndexTypeList(), ElementsAre(VT_UINT8, VT_UINT32));
    EXPECT_THAT(Values(two), ElementsAre(0u, 0u));

    const DataVarType_e types[] = {VT_UINT16, VT_UINT8, VT_UINT32};
    const CIndex fromArray(types, 3);
    EXPECT_THAT(fromArray.GetIndexTypeList(), ElementsAre(VT_UINT16, VT_UINT8, VT_UINT32));
    EXPECT_THAT(Values(fromArray), ElementsAre(0u, 0u, 0u));
    EXPECT_THAT(cap.Take(), IsEmpty());

    // A count that disagrees with the types keeps the types and says so.
    const CIndex disagreeing(3, VT_UINT8);
    EXPECT_THAT(disagreeing.GetIndexTypeList(), ElementsAre(VT_UINT8));
    EXPECT_EQ(disagreeing.GetIndexCount(), 1u);
    EXPECT_THAT(cap.Take(),
                ElementsAre("CIndex: count 3 given with 1 index types; using the types"));
}

TEST(CIndexTest, PositionsOutsideTheShapeAreRejected) {
    CIndex index(2, VT_UINT8, VT_UINT8);
    EXPECT_TRUE(index.SetIndex(1, 42));
    EXPECT_FALSE(index.SetIndex(2, 7));

    uint32_t out = 99;
    EXPECT_FALSE(index.GetIndex(2, out));
    EXPECT_EQ(out, 99u);
    EXPECT_THAT(Values(index), ElementsAre(0u, 42u));

    const uint32_t three[] = {1, 2, 3};
    EXPECT_FALSE(index.FillIndexes(three, 3));
    EXPECT_FALSE(index.FillIndexes(three, 1));
    EXPECT_THAT(Values(index), ElementsAre(0u, 42u));
    EXPECT_TRUE(index.FillIndexes(three, 2));
    EXPECT_THAT(Values(index), ElementsAre(1u, 2u));
}

TEST(CIndexTest, SerializeWritesEachTypesWidthBigEndian) {
    CIndex added;
    added.AddIndex(uint32_t{0x01020304});
    added.AddIndex(uint16_t{0x0506});
    added.AddIndex(uint8_t{0x07});
    EXPECT_THAT(added.GetIndexTypeList(), ElementsAre(VT_UINT32, VT_UINT16, VT_UINT8));
    added.Serialize();
    EXPECT_THAT(added.GetIndexStream(), ElementsAre(0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07));

    // A value wider than its type keeps its low bytes; a type without a width takes no bytes.
    CIndex index(3, VT_UINT8, VT_INT32, VT_UINT16);
    const uint32_t values[] = {0x1FF, 0x11223344, 0xABCDEF};
    ASSERT_TRUE(index.FillIndexes(values, 3));
    index.Serialize();
    index.Serialize();  // replaces the stream rather than appending
    EXPECT_THAT(index.GetIndexStream(), ElementsAre(0xFF, 0xCD, 0xEF));

    CIndex empty(0);
    empty.SetIndexStream({0x09, 0x08});
    empty.Serialize();  // no values: the stream stays
    EXPECT_THAT(empty.GetIndexStream(), ElementsAre(0x09, 0x08));
}

TEST(CIndexTest, DeserializeNeedsAFullyLoadedStream) {
    KestrelTest::ConsoleCapture cap;
    CIndex index(3, VT_UINT16, VT_UINT8, VT_UINT32);
    const uint32_t before[] = {1, 2, 3};
    index.FillIndexes(before, 3);

    index.SetIndexStream({0x92, 0x34, 0xD6, 0x89, 0xAB, 0xCD});  // one byte short of 7
    EXPECT_FALSE(index.VerifyTypeListIsFullyLoaded());
    EXPECT_FALSE(index.Deserialize());
    EXPECT_THAT(Values(index), ElementsAre(1u, 2u, 3u));
    EXPECT_THAT(cap.Take(),
                ElementsAre("CIndex::Deserialize stream has 6 bytes, index types need 7"));

    index.SetIndexStream({0x92, 0x34, 0xD6, 0x89, 0xAB, 0xCD, 0xEF, 0x00});  // one too many
    EXPECT_FALSE(index.Deserialize());

    // Top bits set in every width: nothing is sign-extended.
    index.SetIndexStream({0x92, 0x34, 0xD6, 0x89, 0xAB, 0xCD, 0xEF});
    EXPECT_TRUE(index.VerifyTypeListIsFullyLoaded());
    EXPECT_TRUE(index.Deserialize());
    EXPECT_THAT(Values(index), ElementsAre(0x9234u, 0xD6u, 0x89ABCDEFu));

    CIndex widthless(2, VT_STRING, VT_UINT8);  // reads back as zero
    widthless.SetIndexStream({0x7F});
    EXPECT_TRUE(widthless.Deserialize());
    EXPECT_THAT(Values(widthless), ElementsAre(0u, 0x7Fu));
}

}  // namespace
