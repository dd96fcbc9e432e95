#include "hisi_av/application/cmf/internal/Math.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

namespace {

TEST(MathTest, FractionsAndScaling) {
    // {num, den} before and after: 0/5 is 0/1, 0/0 has no divisor and stays.
    const std::size_t cases[][4] = {{0, 5, 0, 1},
                                    {0, 0, 0, 0},
                                    {90000, 3003, 30000, 1001},
                                    {1920, 1080, 16, 9},
                                    {17, 5, 17, 5}};
    for (const auto& c : cases) {
        std::size_t num = c[0];
        std::size_t den = c[1];
        Cmf::Math::ReduceFraction(num, den);
        EXPECT_EQ(num, c[2]) << c[0] << "/" << c[1];
        EXPECT_EQ(den, c[3]) << c[0] << "/" << c[1];
    }

    // 2^40 × 27 000 000 overflows 64 bits; the quotient 2^40 × 300 is exact in a double.
    EXPECT_EQ(Cmf::Math::Scale(uint64_t(1) << 40, 27000000, 90000), (uint64_t(1) << 40) * 300);
    EXPECT_EQ(Cmf::Math::Scale(10, 1, 3), 3u);  // truncated
    EXPECT_EQ(Cmf::Math::Scale(5, 7, 0), 0u);
    EXPECT_EQ(Cmf::Math::Scale(UINT64_MAX, UINT64_MAX, 1), UINT64_MAX);
    EXPECT_EQ(Cmf::Math::AbsDiff(3, 10), 7u);
    EXPECT_EQ(Cmf::Math::AbsDiff(10, 3), 7u);
}

}  // namespace
