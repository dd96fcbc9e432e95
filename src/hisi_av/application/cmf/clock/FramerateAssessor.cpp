#include "hisi_av/application/cmf/clock/FramerateAssessor.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "hisi_av/application/cmf/internal/Math.h"
#include "xptools/Print.h"

namespace Cmf {
namespace {

constexpr unsigned long long PTS_FREQUENCY = 90000;

}  // namespace

void FramerateAssessor::AddFrameTimestamp(unsigned long long pts) {
    if (m_PtsList.size() >= MAX_TIMESTAMPS) {
        m_PtsList.pop_front();
    }
    m_PtsList.push_back(pts);
}

bool FramerateAssessor::CalcFps(std::size_t& numerator, std::size_t& denominator) const {
    if (m_PtsList.size() < 2) {
        return false;
    }
    std::vector<unsigned long long> sorted(m_PtsList.begin(), m_PtsList.end());
    std::sort(sorted.begin(), sorted.end());
    unsigned long long minDelta = sorted[1] - sorted[0];
    for (std::size_t i = 2; i < sorted.size(); ++i) {
        minDelta = std::min(minDelta, sorted[i] - sorted[i - 1]);
    }
    if (minDelta == 0) {
        return false;
    }

    unsigned long long num = 0;
    unsigned long long den = 0;
    if (minDelta == 1501 || minDelta == 1502) {
        // 59.94 Hz: 1501.5 ticks per frame, rounded either way.
        num = 60000;
        den = 1001;
    } else if (minDelta == 3753 || minDelta == 3754) {
        // 23.976 Hz: 3753.75 ticks per frame.
        num = 24000;
        den = 1001;
    } else {
        num = PTS_FREQUENCY;
        den = minDelta;
        Math::ReduceFraction(num, den);
        if (den > static_cast<unsigned long long>(SIZE_MAX)) {
            return false;  // a step of hours: no frame rate (and no room for it on 32 bits)
        }
    }
    XP::DebugPrintf("\nfps: %f\tmin delta: %llu",
                    static_cast<double>(num) / static_cast<double>(den), minDelta);
    numerator = static_cast<std::size_t>(num);
    denominator = static_cast<std::size_t>(den);
    return true;
}

}  // namespace Cmf
