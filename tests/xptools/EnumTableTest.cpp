#include <gtest/gtest.h>

#include "xptools/EnumTable.h"

namespace {

#define TEST_BIT_VALUES(X) X(TEST_BIT_NONE, 0) X(TEST_BIT_A, 0x1) X(TEST_BIT_B, 0x40)
enum TestBits_e : int { TEST_BIT_VALUES(XP_ENUM_MEMBER) };
constexpr XP::EnumName_t<TestBits_e> kTestBitNames[] = {TEST_BIT_VALUES(XP_ENUM_NAME)};

TEST(EnumTable, NamesAndValuesComeFromOneList) {
    static_assert(TEST_BIT_B == 0x40, "members keep their listed values");
    EXPECT_STREQ("TEST_BIT_B", XP::EnumName(kTestBitNames, TEST_BIT_B));
    EXPECT_EQ(nullptr, XP::EnumName(kTestBitNames, static_cast<TestBits_e>(0x2)));

    TestBits_e value = TEST_BIT_NONE;
    EXPECT_TRUE(XP::EnumValue(kTestBitNames, "TEST_BIT_A", value));
    EXPECT_EQ(TEST_BIT_A, value);
    EXPECT_FALSE(XP::EnumValue(kTestBitNames, "TEST_BIT", value));
    EXPECT_EQ(TEST_BIT_A, value);
}

}  // namespace
