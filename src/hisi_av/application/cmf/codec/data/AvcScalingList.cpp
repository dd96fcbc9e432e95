#include "hisi_av/application/cmf/codec/data/AvcScalingList.h"

#include <cstdint>

#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "xptools/Print.h"

namespace Cmf {

bool AvcScalingList_t::Parse(RbspReader& reader, std::size_t size) {
    // Measured against one bit per entry.
    if (reader.GetBytesRemaining() * 8 < size) {
        XP::MyPrintf("Failed to parse scaling list: SPS too small");
        return false;
    }
    Skip(reader, size);
    return true;
}

void AvcScalingList_t::Skip(RbspReader& reader, std::size_t size) {
    int64_t lastScale = 8;
    int64_t nextScale = 8;
    for (std::size_t j = 0; j < size; ++j) {
        if (nextScale != 0) {
            const int64_t deltaScale = reader.Se();  // delta_scale
            nextScale = ((lastScale + deltaScale) % 256 + 256) % 256;
        }
        lastScale = (nextScale == 0) ? lastScale : nextScale;
    }
}

}  // namespace Cmf
