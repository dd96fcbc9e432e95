#pragma once

#include <cstdint>

namespace Cmf {

class RbspReader;

// The content light level information SEI (H.265 D.2.35), in cd/m².
struct HevcContentLightLevel_t {
    uint16_t maxCll = 0;
    uint16_t maxPicAvgLl = 0;

    bool Parse(RbspReader& reader);
};

}  // namespace Cmf
