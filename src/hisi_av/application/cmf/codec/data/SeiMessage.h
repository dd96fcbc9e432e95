#pragma once

#include <cstddef>
#include <cstdint>

namespace Cmf {

class RbspReader;

// The header of one sei_message() (H.264 7.3.2.3.1, H.265 7.3.5): payload type and size.
struct SeiMessage_t {
    // payloadType values the framework looks at (H.264 Annex D, H.265 Annex D); any other value
    // is kept as read.
    enum PayloadType_e : uint32_t {
        SEI_BUFFERING_PERIOD = 0,
        SEI_PIC_TIMING = 1,
        SEI_PAN_SCAN_RECT = 2,
        SEI_FILLER_PAYLOAD = 3,
        SEI_USER_DATA_REGISTERED_ITU_T_T35 = 4,
        SEI_USER_DATA_UNREGISTERED = 5,
        SEI_RECOVERY_POINT = 6,
        SEI_MASTERING_DISPLAY_COLOUR_VOLUME = 137,
        SEI_CONTENT_LIGHT_LEVEL_INFO = 144,
        SEI_ALTERNATIVE_TRANSFER_CHARACTERISTICS = 147,
    };

    PayloadType_e payloadType = SEI_BUFFERING_PERIOD;
    std::size_t payloadSize = 0;

    // Reads the header; the reader is then at the first payload byte.
    bool Parse(RbspReader& reader);
    // Reads past the payload.
    void SkipPayload(RbspReader& reader) const;
};

}  // namespace Cmf
