#pragma once

#include <cstddef>
#include <cstdint>

#include "xptools/Slice.h"

namespace Cmf {

class RbspReader;

// ITU-T T.35 registered user data carrying captions: the ATSC A/53 form (provider 49, "GA94") and
// the DirecTV form (provider 47). `data` is a view into the payload given to Parse, starting at
// the A/53 cc_data structure (the byte with process_cc_data_flag and cc_count); it is valid as
// long as the payload's bytes are.
struct ItuTT35_t {
    static constexpr unsigned int COUNTRY_CODE_USA = 0xB5;

    enum ItuTT35ProviderCode_e : uint16_t {
        PROVIDER_CODE_RESERVED = 0,
        PROVIDER_CODE_DIRECTV = 47,
        PROVIDER_CODE_ATSC = 49,
    };

    // Four characters read as a big-endian number.
    enum UserIdentifier_e : uint32_t {
        USER_IDENTIFIER_RESERVED = 0,
        DVB1_DATA = 0x47413934,  // "GA94"
        AFD_DATA = 0x44544731,   // "DTG1"
    };

    enum UserDataTypeCode_e : uint8_t {
        USER_DATA_TYPE_RESERVED = 0,
        USER_DATA_TYPE_CC = 3,
        USER_DATA_TYPE_BAR = 6,
    };

    ItuTT35ProviderCode_e ituTT35ProviderCode = PROVIDER_CODE_RESERVED;
    UserIdentifier_e userIdentifier = USER_IDENTIFIER_RESERVED;
    UserDataTypeCode_e userDataTypeCode = USER_DATA_TYPE_RESERVED;
    XP::CBuffer data;

    // `payload` is the SEI payload from the country code on; `reader` is positioned at its
    // first byte. True only for caption data.
    bool Parse(const XP::CBuffer& payload, RbspReader& reader);
    bool ParseAtscCcData(const XP::CBuffer& payload, RbspReader& reader);
    bool ParseDirecTvCcData(const XP::CBuffer& payload, RbspReader& reader);
    // `offset` is where the caption data starts in the payload.
    bool ParseCcData(const XP::CBuffer& payload, RbspReader& reader, unsigned int typeCode,
                     std::size_t offset);
};

}  // namespace Cmf
