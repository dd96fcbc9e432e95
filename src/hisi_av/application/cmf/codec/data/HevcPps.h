#pragma once

#include <cstdint>

namespace Cmf {

class HevcNal;

// What the framework keeps of pic_parameter_set_rbsp() (H.265 7.3.2.3.1): the two fields the
// slice segment header depends on before slice_type.
struct HevcPps_t {
    bool dependentSliceSegmentsEnabled = false;
    uint8_t numExtraSliceHeaderBits = 0;

    // Parses the PPS NAL unit (two-byte header included in the view).
    bool Parse(const HevcNal& nal);
};

}  // namespace Cmf
