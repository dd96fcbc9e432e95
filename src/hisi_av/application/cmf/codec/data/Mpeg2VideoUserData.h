#pragma once

#include <cstddef>
#include <cstdint>

#include "xptools/Slice.h"

namespace Cmf {

class BitstreamReader;
class Mpeg2VideoHeader;

// user_data() (H.262 6.2.2.2.2) in the ATSC A/53 form: the user identifier "GA94" and the type
// code 3 announce caption data. `data` is a view into the header's bytes, starting at the A/53
// cc_data structure (the byte with process_cc_data_flag and cc_count); it is valid as long as the
// header's bytes are.
struct Mpeg2VideoUserData_t {
    static constexpr std::size_t MIN_USER_DATA_BYTES = 8;

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

    UserIdentifier_e userIdentifier = USER_IDENTIFIER_RESERVED;
    UserDataTypeCode_e userDataTypeCode = USER_DATA_TYPE_RESERVED;
    XP::CBuffer data;

    // True only for caption data.
    bool Parse(const Mpeg2VideoHeader& header);
    // `reader` stands on the type code, after the user identifier.
    bool ParseCcData(const Mpeg2VideoHeader& header, BitstreamReader& reader);
};

}  // namespace Cmf
