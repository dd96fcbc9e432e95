#pragma once

#include <cstddef>
#include <cstdint>

namespace Cmf {

class RbspReader;

// The mastering display colour volume SEI (H.265 D.2.28), as coded: primaries and white point in
// units of 0.00002, luminance in units of 0.0001 cd/m².
struct HevcMasteringDisplay_t {
    static constexpr std::size_t PAYLOAD_BYTES = 24;

    uint16_t xc0 = 0;
    uint16_t yc0 = 0;
    uint16_t xc1 = 0;
    uint16_t yc1 = 0;
    uint16_t xc2 = 0;
    uint16_t yc2 = 0;
    uint16_t xwp = 0;
    uint16_t ywp = 0;
    uint32_t lmin = 0;
    uint32_t lmax = 0;

    bool Parse(RbspReader& reader);
};

}  // namespace Cmf
