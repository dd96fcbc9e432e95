#include "hisi_av/application/cmf/clock/BitrateCalculator.h"

#include <gtest/gtest.h>

#include "xptools/Clock.h"
#include "xptools/Time.h"

namespace {

// The calculator is made while the manual clock is installed, so its periods are the test's.
class BitrateCalculatorTest : public ::testing::Test {
protected:
    XP::ManualClock m_Clock;
    Cmf::BitrateCalculator m_Calculator;
};

TEST_F(BitrateCalculatorTest, FirstSecondAndStableResults) {
    m_Calculator.AddBytes(250000);  // 2 Mbit/s over the first second, not yet to be trusted
    m_Clock.Advance(1000);
    EXPECT_EQ(m_Calculator.CalculateBitrate(), 2000000u);
    EXPECT_FALSE(m_Calculator.IsStable());

    m_Calculator.AddBytes(100000);  // only what came since the previous calculation counts
    m_Calculator.AddBytes(25000);
    m_Clock.Advance(500);
    EXPECT_EQ(m_Calculator.CalculateBitrate(), 2000000u);
    EXPECT_TRUE(m_Calculator.IsStable());

    m_Calculator.AddBytes(1000);
    m_Clock.Advance(2000);
    EXPECT_EQ(m_Calculator.CalculateBitrate(), 4000u);
    m_Calculator.AddBytes(500);  // no time passed: 0
    EXPECT_EQ(m_Calculator.CalculateBitrate(), 0u);

    // Reset starts over from now and stability is earned again.
    m_Calculator.AddBytes(99999);
    m_Clock.Advance(700);
    m_Calculator.Reset();
    EXPECT_FALSE(m_Calculator.IsStable());
    m_Calculator.AddBytes(3000);
    m_Clock.Advance(3000);
    EXPECT_EQ(m_Calculator.CalculateBitrate(), 8000u);
    EXPECT_FALSE(m_Calculator.IsStable());
    m_Clock.Advance(1000);
    EXPECT_EQ(m_Calculator.CalculateBitrate(), 0u);
    EXPECT_TRUE(m_Calculator.IsStable());
}

TEST_F(BitrateCalculatorTest, CallerTimestampsAndTotals) {
    const uint64_t start = XP::Time::GetTicks1M();
    m_Calculator.AddBytes(1000, start + 4000);  // the caller's time, not the clock's: 4 ms
    EXPECT_EQ(m_Calculator.CalculateBitrate(), 2000000u);
    m_Calculator.AddBytes(5, start + 12000);  // the caller's total: 2000 more bytes in 8 ms
    EXPECT_EQ(m_Calculator.CalculateBitrate(3000), 2000000u);

    // Time or total going backwards gives 0, not a wrapped rate; measuring goes on from there.
    m_Calculator.AddBytes(100, start + 2000);
    EXPECT_EQ(m_Calculator.CalculateBitrate(), 0u);
    m_Calculator.AddBytes(400, start + 3000);
    EXPECT_EQ(m_Calculator.CalculateBitrate(), 400u * 8 * 1000);
    m_Calculator.AddBytes(0, start + 4000);
    EXPECT_EQ(m_Calculator.CalculateBitrate(10), 0u);
}

}  // namespace
