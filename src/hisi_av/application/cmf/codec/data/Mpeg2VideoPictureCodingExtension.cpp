#include "hisi_av/application/cmf/codec/data/Mpeg2VideoPictureCodingExtension.h"

#include "hisi_av/application/cmf/codec/BitstreamReader.h"
#include "xptools/Print.h"

namespace Cmf {

bool Mpeg2VideoPictureCodingExtension_t::Parse(BitstreamReader& reader) {
    if (reader.GetBytesRemaining() < MIN_PICTURE_CODING_EXTENSION_BYTES) {
        XP::MyPrintf("Sequence header too small: %zu bytes", reader.GetBytesRemaining());
        return false;
    }
    reader.GetBits(32);  // extension_start_code
    reader.GetBits(4);   // extension_start_code_identifier
    reader.GetBits(16);  // f_code[0][0], f_code[0][1], f_code[1][0], f_code[1][1]
    reader.GetBits(2);   // intra_dc_precision
    pictureStructure = static_cast<PictureStructure_e>(reader.GetBits(2));
    return true;
}

}  // namespace Cmf
