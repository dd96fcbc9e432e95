#include "hisi_av/application/cmf/clock/FramerateAssessor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xptools/Print.h"

namespace {

using Pts = std::vector<unsigned long long>;

// "num/den", or "none" when no rate is found (the outputs must then be untouched).
std::string Assess(const Pts& ptsValues) {
    Cmf::FramerateAssessor assessor;
    for (unsigned long long pts : ptsValues) {
        assessor.AddFrameTimestamp(pts);
    }
    std::size_t num = 7;
    std::size_t den = 7;
    if (!assessor.CalcFps(num, den)) {
        return num == 7 && den == 7 ? "none" : "touched";
    }
    return std::to_string(num) + "/" + std::to_string(den);
}

// PTS values from 900000 on, with these steps between them.
Pts Steps(const Pts& steps) {
    Pts pts = {900000};
    for (unsigned long long step : steps) {
        pts.push_back(pts.back() + step);
    }
    return pts;
}

TEST(FramerateAssessorTest, RateFromTheSmallestStep) {
    EXPECT_EQ(Assess(Steps({1501, 1502, 1501})), "60000/1001");  // 59.94 Hz
    EXPECT_EQ(Assess(Steps({3003, 3003, 3003})), "30000/1001");
    EXPECT_EQ(Assess(Steps({3754, 3753})), "24000/1001");
    EXPECT_EQ(Assess(Steps({3600, 3600})), "25/1");
    EXPECT_EQ(Assess(Steps({1800})), "50/1");
    EXPECT_EQ(Assess(Steps({3000, 6000})), "30/1");  // a missing picture does not matter
    EXPECT_EQ(Assess({0, 9009, 3003, 6006, 18018, 12012}), "30000/1001");  // decoding order
    EXPECT_EQ(Assess({}), "none");
    EXPECT_EQ(Assess({900000}), "none");
    EXPECT_EQ(Assess(Steps({3600, 0})), "none");  // two equal PTS
}

TEST(FramerateAssessorTest, TheElevenMostRecentCount) {
    // A 1800 step after the first PTS, then 3600 steps: it counts while the first PTS is among
    // the eleven kept.
    Pts pts = Steps({1800, 3600, 3600, 3600, 3600, 3600, 3600, 3600, 3600, 3600});
    ASSERT_EQ(pts.size(), 11u);
    EXPECT_EQ(Assess(pts), "50/1");
    pts.push_back(pts.back() + 3600);
    EXPECT_EQ(Assess(pts), "25/1");
}

TEST(FramerateAssessorTest, EstimateIsTraced) {
    std::vector<std::string> traces;
    XP::DebugSink previous =
        XP::SetDebugSink([&traces](const std::string& text) { traces.push_back(text); });
    Assess(Steps({3003}));
    XP::SetDebugSink(previous);
    EXPECT_EQ(traces, std::vector<std::string>{"\nfps: 29.970030\tmin delta: 3003"});
}

}  // namespace
