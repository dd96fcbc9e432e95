#include "hisi_av/application/cmf/codec/data/HevcAlternativeTransferCharacteristics.h"

#include "hisi_av/application/cmf/codec/RbspReader.h"

namespace Cmf {

bool HevcAlternativeTransferCharacteristics_t::Parse(RbspReader& reader) {
    transChars = static_cast<uint8_t>(reader.U(8));  // preferred_transfer_characteristics
    return true;
}

}  // namespace Cmf
