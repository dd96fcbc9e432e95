#include "hisi_av/application/cmf/codec/data/SeiMessage.h"

#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "xptools/Print.h"

namespace Cmf {

namespace {

// A run of 0xFF bytes and the byte that ends it, summed; a byte is read only while more than one
// remains.
std::size_t ReadExtendedValue(RbspReader& reader) {
    std::size_t value = 0;
    uint32_t byte = 0xFF;
    while (byte == 0xFF && reader.GetBytesRemaining() > 1) {
        byte = reader.B();
        value += byte;
    }
    return value;
}

}  // namespace

bool SeiMessage_t::Parse(RbspReader& reader) {
    if (reader.GetBytesRemaining() < 2) {
        XP::MyPrintf("SEI message too small");
        return false;
    }
    payloadType = static_cast<PayloadType_e>(ReadExtendedValue(reader));
    payloadSize = ReadExtendedValue(reader);
    if (payloadSize > reader.GetBytesRemaining()) {
        XP::MyPrintf("SEI message payloadSize error");
        return false;
    }
    return true;
}

void SeiMessage_t::SkipPayload(RbspReader& reader) const {
    // Past the end nothing moves, so there is no point in going on.
    for (std::size_t i = 0; i < payloadSize && reader.GetBitsRemaining() > 0; ++i) {
        reader.B();
    }
}

}  // namespace Cmf
