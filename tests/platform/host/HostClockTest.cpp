#include "platform/host/HostClock.h"

#include <gtest/gtest.h>

using Kestrel::Host::CHostClock;
using Kestrel::Host::PTS_WRAP;
using Kestrel::Host::PtsDelta;

namespace {
constexpr uint64_t MS = 1000000ULL;
}

TEST(HostClock, PtsDeltaTakesTheShortWayRoundThe33BitCircle) {
    struct Case {
        int64_t from, to, delta;
    } cases[] = {
        {100, 50, -50},
        {PTS_WRAP - 1, 0, 1},
        {0, PTS_WRAP - 1, -1},
        {PTS_WRAP - 45000, 45000, 90000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PtsDelta(c.from, c.to), c.delta) << c.from << " -> " << c.to;
}

TEST(HostClock, RunsAtRealRateFromItsLockAndAcrossThePcrWrap) {
    CHostClock clock;
    EXPECT_FALSE(clock.IsLocked());
    const uint64_t t0 = 5000 * MS;
    const int64_t start = PTS_WRAP - 45000;  // half a second before the wrap
    EXPECT_EQ(clock.OnPcr(start, t0), CHostClock::PCR_LOCKED);
    EXPECT_EQ(clock.Now(t0 + 250 * MS), start + 22500);
    // One second later the PCR has wrapped to 45000: on time, so tracked, not a jump.
    EXPECT_EQ(clock.OnPcr(45000, t0 + 1000 * MS), CHostClock::PCR_TRACKED);
    EXPECT_EQ(clock.Now33(t0 + 1000 * MS), 45000);
    EXPECT_EQ(clock.Now33(t0 + 2000 * MS), 135000);
    // A PTS just before the wrap still lies behind the clock on the unwrapped line.
    EXPECT_EQ(clock.Unwrap(PTS_WRAP - 9000, t0 + 1000 * MS), clock.Now(t0 + 1000 * MS) - 54000);
}

TEST(HostClock, FollowsSmallErrorsSlowlyAndReLocksOnJumps) {
    CHostClock clock;
    clock.OnPcr(900000, 0);
    // A PCR 32 ms (2880 ticks) late of the clock pulls it 1/32 of the way.
    EXPECT_EQ(clock.OnPcr(900000 + 90000 + 2880, 1000 * MS), CHostClock::PCR_TRACKED);
    EXPECT_EQ(clock.Now(1000 * MS), 900000 + 90000 + 90);
    // Ten seconds ahead, and then backwards: each re-locks at once.
    EXPECT_EQ(clock.OnPcr(2000000, 1100 * MS), CHostClock::PCR_RELOCKED);
    EXPECT_EQ(clock.Now(1100 * MS), 2000000);
    EXPECT_EQ(clock.OnPcr(1000, 1200 * MS), CHostClock::PCR_RELOCKED);
    EXPECT_EQ(clock.Now(1300 * MS), 1000 + 9000);
    clock.Reset();
    EXPECT_FALSE(clock.IsLocked());
}

TEST(HostClock, PauseHoldsTheClockThenItRunsOn) {
    CHostClock clock;
    clock.OnPcr(0, 0);
    clock.Pause(1000 * MS, 500 * MS);
    EXPECT_EQ(clock.Now(1000 * MS), 90000);
    EXPECT_EQ(clock.Now(1499 * MS), 90000);
    // PCRs during the pause do not move it.
    EXPECT_EQ(clock.OnPcr(90000 + 36000, 1400 * MS), CHostClock::PCR_TRACKED);
    EXPECT_EQ(clock.Now(1450 * MS), 90000);
    EXPECT_EQ(clock.Now(1600 * MS), 90000 + 9000);
}
