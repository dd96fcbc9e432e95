#include <gtest/gtest.h>

#include "shared/comms/OpTypes.h"

namespace {

TEST(OpTypes, EveryListedSpellingMapsBackToItsValue) {
    for (const auto& entry : kDataVarTypeNames) {
        DataVarType_e parsed = VT_TBD;
        ASSERT_TRUE(XP::EnumValue(kDataVarTypeNames, entry.name, parsed));
        EXPECT_EQ(entry.value, parsed);
    }
    EXPECT_STREQ("VT_UINT40", DataVarTypeName(VT_UINT40));
    EXPECT_STREQ("OP_TYPE_TRANSACTION_END", OpTypeName(OP_TYPE_TRANSACTION_END));
    EXPECT_EQ(nullptr, OpTypeName(static_cast<OpType_e>(8)));
}

}  // namespace
