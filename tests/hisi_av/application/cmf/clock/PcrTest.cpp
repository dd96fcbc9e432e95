#include "hisi_av/application/cmf/clock/Pcr.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Cmf::Pcr;

constexpr uint64_t TWO_33 = uint64_t(1) << 33;
// 2^33 * 300 and half of it, written out.
constexpr uint64_t RANGE = 2576980377600ull;
constexpr uint64_t HALF = 1288490188800ull;

TEST(PcrTest, ConstructionReducesBaseExtensionAndValue) {
    EXPECT_EQ(RANGE, Pcr::VALUE_RANGE);
    EXPECT_EQ(0x25800000000ull, Pcr::VALUE_RANGE);

    const struct {
        Pcr pcr;
        uint64_t base;
        uint64_t ext;
    } cases[] = {
        {Pcr(5, 300), 5, 0},          {Pcr(TWO_33, 7), 0, 7},
        {Pcr(TWO_33 + 3, 301), 3, 1}, {Pcr(TWO_33 - 1, 299), TWO_33 - 1, 299},
        {Pcr(RANGE + 301), 1, 1},     {Pcr(27000000), 90000, 0},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(std::to_string(testCase.pcr.GetValue()));
        EXPECT_TRUE(testCase.pcr.IsValid());
        EXPECT_EQ(testCase.base, testCase.pcr.GetBase());
        EXPECT_EQ(testCase.ext, testCase.pcr.GetExt());
        EXPECT_EQ(testCase.base * 300 + testCase.ext, testCase.pcr.GetValue());
    }

    Pcr pcr(10, 20);
    pcr.SetBase(TWO_33 + 11);
    EXPECT_EQ(11u * 300 + 20, pcr.GetValue());
    pcr.SetExt(599);
    EXPECT_EQ(11u * 300 + 299, pcr.GetValue());
    pcr = RANGE + 2;
    EXPECT_EQ(2u, pcr.GetValue());
}

TEST(PcrTest, InvalidValue) {
    const Pcr invalid;
    EXPECT_FALSE(invalid.IsValid());
    EXPECT_EQ(0xFFFFFFFFFFFFFFFFull, invalid.GetValue());
    EXPECT_NE(invalid, Pcr(0));
    EXPECT_NE(invalid, Pcr(Pcr::MAX_VALUE));
    EXPECT_EQ(invalid, Pcr());

    Pcr pcr(1234);
    pcr.SetInvalid();
    EXPECT_FALSE(pcr.IsValid());
    // Any number given as a value is reduced into the range, so it is valid.
    EXPECT_TRUE(Pcr(0xFFFFFFFFFFFFFFFFull).IsValid());
}

TEST(PcrTest, ArithmeticWrapsAtTheRange) {
    EXPECT_EQ(Pcr(RANGE - 10), Pcr(10) - Pcr(20));
    EXPECT_EQ(Pcr(10), Pcr(20) - Pcr(10));
    EXPECT_EQ(Pcr(1), Pcr(Pcr::MAX_VALUE) + Pcr(2));
    EXPECT_EQ(Pcr(1), Pcr(0) - Pcr(Pcr::MAX_VALUE));
    EXPECT_EQ(Pcr(Pcr::MAX_VALUE), Pcr(Pcr::MAX_VALUE) + Pcr(Pcr::MAX_VALUE) - Pcr(Pcr::MAX_VALUE));

    Pcr pcr(TWO_33 - 1, 299);
    pcr += Pcr(0, 1);
    EXPECT_EQ(0u, pcr.GetValue());
    pcr -= Pcr(1, 0);
    EXPECT_EQ(Pcr(TWO_33 - 1, 0), pcr);
}

// Of two values, the one less than half the range ahead is the later one, across the wrap too.
TEST(PcrTest, OrderingAcrossTheWrap) {
    const struct {
        const char* name;
        Pcr a;
        Pcr b;
        bool later;    // a.IsLaterThan(b)
        bool earlier;  // a.IsEarlierThan(b)
    } cases[] = {
        {"plain", Pcr(2000), Pcr(1000), true, false},
        {"plain reversed", Pcr(1000), Pcr(2000), false, true},
        {"equal", Pcr(77), Pcr(77), false, false},
        {"just after the wrap", Pcr(5, 0), Pcr(TWO_33 - 5, 0), true, false},
        {"just before the wrap", Pcr(TWO_33 - 5, 0), Pcr(5, 0), false, true},
        {"one tick across", Pcr(0), Pcr(Pcr::MAX_VALUE), true, false},
        {"half the range less one", Pcr(HALF - 1), Pcr(0), true, false},
        // Exactly half the range apart, neither is later, so each is earlier than the other.
        {"half the range", Pcr(HALF), Pcr(0), false, true},
        {"half the range reversed", Pcr(0), Pcr(HALF), false, true},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const bool equal = testCase.a == testCase.b;
        EXPECT_EQ(testCase.later, testCase.a.IsLaterThan(testCase.b));
        EXPECT_EQ(testCase.earlier, testCase.a.IsEarlierThan(testCase.b));
        EXPECT_EQ(testCase.later || equal, testCase.a.IsSameOrLaterThan(testCase.b));
        EXPECT_EQ(!testCase.later, testCase.a.IsSameOrEarlierThan(testCase.b));
    }

    // The distance is taken forward from the earlier value.
    EXPECT_EQ(Pcr(3000), Pcr::AbsDiff(Pcr(5, 0), Pcr(TWO_33 - 5, 0)));
    EXPECT_EQ(Pcr(3000), Pcr::AbsDiff(Pcr(TWO_33 - 5, 0), Pcr(5, 0)));
    EXPECT_EQ(Pcr(1), Pcr::AbsDiff(Pcr(Pcr::MAX_VALUE), Pcr(0)));
    EXPECT_EQ(Pcr(0), Pcr::AbsDiff(Pcr(42), Pcr(42)));
}

}  // namespace
