#include "hisi_av/application/cmf/codec/data/Mpeg2VideoUserData.h"

#include "hisi_av/application/cmf/codec/BitstreamReader.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoHeader.h"
#include "xptools/Print.h"

namespace Cmf {

namespace {

// Start code, its value, the user identifier and the type code come before the caption data.
constexpr std::size_t CC_DATA_OFFSET = 9;

}  // namespace

bool Mpeg2VideoUserData_t::Parse(const Mpeg2VideoHeader& header) {
    BitstreamReader reader(header.GetData());
    if (reader.GetBytesRemaining() < MIN_USER_DATA_BYTES) {
        XP::MyPrintf("Slice too small: %zu bytes", reader.GetBytesRemaining());
        return false;
    }
    reader.GetBits(32);  // user_data_start_code
    switch (reader.GetBits(32)) {
        case AFD_DATA:
            // Active format description: not used.
            userIdentifier = AFD_DATA;
            return false;
        case DVB1_DATA:
            userIdentifier = DVB1_DATA;
            return ParseCcData(header, reader);
        default:
            userIdentifier = USER_IDENTIFIER_RESERVED;
            return false;
    }
}

bool Mpeg2VideoUserData_t::ParseCcData(const Mpeg2VideoHeader& header, BitstreamReader& reader) {
    if (reader.GetBytesRemaining() <= 1) {
        return false;
    }
    switch (reader.GetBits(8)) {  // user_data_type_code
        case USER_DATA_TYPE_CC: {
            userDataTypeCode = USER_DATA_TYPE_CC;
            const XP::CBuffer& bytes = header.GetData();
            // The size checks allow one byte more than there is: user data that ends at the type
            // code has no captions to give.
            if (CC_DATA_OFFSET >= bytes.GetSize()) {
                data = XP::CBuffer();
                return false;
            }
            data = bytes.Subslice(CC_DATA_OFFSET, bytes.GetSize() - CC_DATA_OFFSET);
            return true;
        }
        case USER_DATA_TYPE_BAR:
            userDataTypeCode = USER_DATA_TYPE_BAR;
            return false;
        default:
            userDataTypeCode = USER_DATA_TYPE_RESERVED;
            return false;
    }
}

}  // namespace Cmf
