#pragma once

#include <cstddef>
#include <deque>

namespace Cmf {

// Frame rate of a video stream from the presentation times of its pictures, for streams whose
// sequence parameters carry no timing. The smallest step between the recent PTS values, sorted
// (pictures arrive in decoding order), is one frame period.
//
// Threads: none of its own; it belongs to one extractor on one thread.
class FramerateAssessor {
public:
    // The most recent PTS values kept.
    static constexpr std::size_t MAX_TIMESTAMPS = 11;

    // Adds the PTS of one picture (90 kHz units), dropping the oldest beyond MAX_TIMESTAMPS.
    void AddFrameTimestamp(unsigned long long pts);

    // The frame rate as numerator/denominator (60000/1001, 24000/1001, or 90000 over the step,
    // reduced). False, leaving both untouched, with fewer than two PTS values or a zero step.
    bool CalcFps(std::size_t& numerator, std::size_t& denominator) const;

private:
    std::deque<unsigned long long> m_PtsList;
};

}  // namespace Cmf
