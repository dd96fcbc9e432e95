#include "hisi_av/application/cmf/codec/data/Mpeg2VideoPictureHeader.h"

#include <algorithm>

#include "hisi_av/application/cmf/codec/BitstreamReader.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoHeader.h"
#include "xptools/Print.h"

namespace Cmf {

bool Mpeg2VideoPictureHeader_t::Parse(const Mpeg2VideoHeader& header) {
    BitstreamReader reader(header.GetData());
    if (reader.GetBytesRemaining() < MIN_PICTURE_HEADER_BYTES) {
        XP::MyPrintf("Slice too small: %zu bytes", reader.GetBytesRemaining());
        return false;
    }
    reader.GetBits(32);  // picture_start_code
    temporalRefrence = reader.GetBits(10);
    codingType = static_cast<PictureCodingType_e>(
        std::min<uint32_t>(reader.GetBits(3), PIC_CODING_TYPE_RESERVED));
    return true;
}

}  // namespace Cmf
