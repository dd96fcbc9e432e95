#include "hisi_av/application/cmf/codec/data/ItuTT35.h"

#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "xptools/Print.h"

namespace Cmf {

namespace {

// Bytes before the caption data: country code, provider code, user identifier and type code
// (ATSC A/53 6.2.3); country code, provider code, type code and one more byte (DirecTV).
constexpr std::size_t ATSC_CC_DATA_OFFSET = 8;
constexpr std::size_t DIRECTV_CC_DATA_OFFSET = 5;

}  // namespace

bool ItuTT35_t::Parse(const XP::CBuffer& payload, RbspReader& reader) {
    if (reader.GetBytesRemaining() < 5) {
        XP::MyPrintf("Slice too small: %zu bytes", reader.GetBytesRemaining());
        return false;
    }
    if (reader.U(8) != COUNTRY_CODE_USA) {  // itu_t_t35_country_code
        return false;
    }
    switch (reader.U(16)) {  // itu_t_t35_provider_code
        case PROVIDER_CODE_DIRECTV:
            ituTT35ProviderCode = PROVIDER_CODE_DIRECTV;
            return ParseDirecTvCcData(payload, reader);
        case PROVIDER_CODE_ATSC:
            ituTT35ProviderCode = PROVIDER_CODE_ATSC;
            return ParseAtscCcData(payload, reader);
        default:
            ituTT35ProviderCode = PROVIDER_CODE_RESERVED;
            return false;
    }
}

bool ItuTT35_t::ParseAtscCcData(const XP::CBuffer& payload, RbspReader& reader) {
    if (reader.GetBytesRemaining() < 5) {
        return false;
    }
    switch (reader.U(32)) {  // user_identifier
        case AFD_DATA:
            // Active format description: not used.
            userIdentifier = AFD_DATA;
            return false;
        case DVB1_DATA:
            userIdentifier = DVB1_DATA;
            if (reader.GetBytesRemaining() < 2) {
                return false;
            }
            return ParseCcData(payload, reader, reader.U(8), ATSC_CC_DATA_OFFSET);
        default:
            userIdentifier = USER_IDENTIFIER_RESERVED;
            return false;
    }
}

bool ItuTT35_t::ParseDirecTvCcData(const XP::CBuffer& payload, RbspReader& reader) {
    const uint32_t typeCode = reader.U(8);  // user_data_type_code
    reader.U(8);
    return ParseCcData(payload, reader, typeCode, DIRECTV_CC_DATA_OFFSET);
}

bool ItuTT35_t::ParseCcData(const XP::CBuffer& payload, RbspReader& /*reader*/,
                            unsigned int typeCode, std::size_t offset) {
    switch (typeCode) {
        case USER_DATA_TYPE_CC:
            userDataTypeCode = USER_DATA_TYPE_CC;
            // The size checks allow one byte more than there is: a payload that ends before the
            // caption data has none to give.
            if (offset >= payload.GetSize()) {
                data = XP::CBuffer();
                return false;
            }
            data = payload.Subslice(offset, payload.GetSize() - offset);
            return true;
        case USER_DATA_TYPE_BAR:
            userDataTypeCode = USER_DATA_TYPE_BAR;
            return false;
        default:
            userDataTypeCode = USER_DATA_TYPE_RESERVED;
            return false;
    }
}

}  // namespace Cmf
