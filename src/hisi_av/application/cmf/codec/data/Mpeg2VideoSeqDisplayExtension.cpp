#include "hisi_av/application/cmf/codec/data/Mpeg2VideoSeqDisplayExtension.h"

#include <algorithm>

#include "hisi_av/application/cmf/codec/BitstreamReader.h"
#include "xptools/Print.h"

namespace Cmf {

bool Mpeg2VideoSeqDisplayExtension_t::Parse(BitstreamReader& reader) {
    if (reader.GetBytesRemaining() < MIN_SEQUENCE_DISPLAY_EXTENSION_BYTES) {
        XP::MyPrintf("Sequence header too small: %zu bytes", reader.GetBytesRemaining());
        return false;
    }
    reader.GetBits(32);  // extension_start_code
    reader.GetBits(4);   // extension_start_code_identifier
    reader.GetBits(3);   // video_format
    colourDescription = reader.GetBit();
    if (colourDescription) {
        reader.GetBits(8);  // colour_primaries
        transChars = static_cast<TransChars_e>(
            std::min<uint32_t>(reader.GetBits(8), TRANS_CHARS_RESERVED_BEGIN));
    }
    return true;
}

}  // namespace Cmf
