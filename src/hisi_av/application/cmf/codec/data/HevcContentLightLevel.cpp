#include "hisi_av/application/cmf/codec/data/HevcContentLightLevel.h"

#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "xptools/Print.h"

namespace Cmf {

bool HevcContentLightLevel_t::Parse(RbspReader& reader) {
    if (reader.GetBitsRemaining() < 32) {
        XP::MyPrintf("content_light_level_info message too small");
        return false;
    }
    maxCll = static_cast<uint16_t>(reader.U(16));       // max_content_light_level
    maxPicAvgLl = static_cast<uint16_t>(reader.U(16));  // max_pic_average_light_level
    return true;
}

}  // namespace Cmf
