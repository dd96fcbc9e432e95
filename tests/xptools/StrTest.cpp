#include "xptools/Str.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StrTest, FormatBehavesAsPrintf) {
    EXPECT_EQ("42-ab-beef-  7|", XP::Str::Format("%d-%s-%04x-%3u|", 42, "ab", 0xbeef, 7u));
    EXPECT_EQ("", XP::Str::Format("%s", ""));
    EXPECT_EQ("100%", XP::Str::Format("%d%%", 100));
    EXPECT_EQ("-1.50", XP::Str::Format("%.2f", -1.5));
}

TEST(StrTest, FormatProducesLongOutputWhole) {
    const std::string part(3000, 'x');
    EXPECT_EQ("[" + part + "|" + part + "|end]",
              XP::Str::Format("[%s|%s|%s]", part.c_str(), part.c_str(), "end"));

    // Width alone can make the output long.
    EXPECT_EQ(std::string(9999, ' ') + "5", XP::Str::Format("%10000d", 5));
}

TEST(StrTest, ToStrUsesFixedNotationWithThePrecision) {
    EXPECT_EQ("3.14", XP::Str::ToStr(3.14159, 2));
    EXPECT_EQ("2.000", XP::Str::ToStr(2.0, 3));
    EXPECT_EQ("0.3333", XP::Str::ToStr(1.0 / 3.0, 4));
    EXPECT_EQ("-0.5", XP::Str::ToStr(-0.5, 1));
    EXPECT_EQ("29.970", XP::Str::ToStr(30000.0 / 1001.0, 3));
    EXPECT_EQ("1234567.9", XP::Str::ToStr(1234567.89, 1));        // not 1.2e+06
    EXPECT_EQ("100000000000000000000", XP::Str::ToStr(1e20, 0));  // not 1e+20
    EXPECT_EQ("0.000001", XP::Str::ToStr(0.000001, 6));           // not 1e-06
    EXPECT_EQ("25.00", XP::Str::ToStr(25.0f, 2));
    EXPECT_EQ("7", XP::Str::ToStr(7, 2));  // integers have no fraction to fix
}

}  // namespace
