#pragma once

#include <cstdint>

namespace Cmf {

class RbspReader;

// The alternative transfer characteristics SEI (H.265 D.2.38).
struct HevcAlternativeTransferCharacteristics_t {
    uint8_t transChars = 0;  // preferred_transfer_characteristics as coded

    bool Parse(RbspReader& reader);
};

}  // namespace Cmf
