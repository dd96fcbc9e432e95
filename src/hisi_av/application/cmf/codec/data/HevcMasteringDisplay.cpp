#include "hisi_av/application/cmf/codec/data/HevcMasteringDisplay.h"

#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "xptools/Print.h"

namespace Cmf {

bool HevcMasteringDisplay_t::Parse(RbspReader& reader) {
    if (reader.GetBitsRemaining() < PAYLOAD_BYTES * 8) {
        XP::MyPrintf("mastering_display_colour_volume message too small");
        return false;
    }
    // display_primaries_x/y[c] for c = 0, 1, 2, then the white point.
    uint16_t* const values[] = {&xc0, &yc0, &xc1, &yc1, &xc2, &yc2, &xwp, &ywp};
    for (uint16_t* value : values) {
        *value = static_cast<uint16_t>(reader.U(16));
    }
    lmax = reader.U(32);  // max_display_mastering_luminance
    lmin = reader.U(32);  // min_display_mastering_luminance
    return true;
}

}  // namespace Cmf
