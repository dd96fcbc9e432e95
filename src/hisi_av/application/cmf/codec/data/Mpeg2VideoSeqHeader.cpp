#include "hisi_av/application/cmf/codec/data/Mpeg2VideoSeqHeader.h"

#include <algorithm>

#include "hisi_av/application/cmf/codec/BitstreamReader.h"
#include "xptools/Print.h"

namespace Cmf {

bool Mpeg2VideoSeqHeader_t::Parse(BitstreamReader& reader) {
    if (reader.GetBytesRemaining() < MIN_SEQUENCE_HEADER_BYTES) {
        XP::MyPrintf("Sequence header too small: %zu bytes", reader.GetBytesRemaining());
        return false;
    }
    reader.GetBits(32);  // sequence_header_code
    horizontalSizeValue = reader.GetBits(12);
    verticalSizeValue = reader.GetBits(12);
    aspectRatioInformation =
        static_cast<AspectRatioIdc_e>(std::min<uint32_t>(reader.GetBits(4), ASPECT_RATIO_RESERVED));
    frameRateCode =
        static_cast<FrameRateIdc_e>(std::min<uint32_t>(reader.GetBits(4), FRAME_RATE_RESERVED));
    return true;
}

}  // namespace Cmf
