#pragma once

#include <cstdint>

namespace Cmf {

class RbspReader;

// The lengths of the delay fields of the picture timing SEI, from hrd_parameters() (H.264 E.1.2).
struct AvcHrdParameters_t {
    uint8_t cpbRemovalDelayLengthMinus1 = 0;
    uint8_t dpbOutputDelayLengthMinus1 = 0;
    uint8_t timeOffsetLength = 0;

    bool Parse(RbspReader& reader);
};

}  // namespace Cmf
