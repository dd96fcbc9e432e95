#pragma once

#include <cstddef>
#include <cstdint>

#include "hisi_av/application/cmf/codec/UnitView.h"
#include "xptools/BitField.h"

namespace Cmf {

// One H.262 header inside an access unit, starting at its own 00 00 01 start code: the start code
// value tells what follows (H.262 Table 6-1), and for an extension the 4-bit
// extension_start_code_identifier after it says which one (Table 6-2). MPEG-2 has no emulation
// prevention, so the bytes are read as they are.
//
// A view too short to hold the value byte reads as SYSTEM_SC (no video header); one too short
// for the extension identifier reads identifier 0.
class Mpeg2VideoHeader : public UnitView {
public:
    static constexpr std::size_t START_CODE_BYTES = 4;  // 00 00 01 and the value

    enum ScValue_e : uint8_t {
        PICTURE_SC = 0,
        SLICE_SC = 1,
        RESERVED_SC_1 = 176,
        RESERVED_SC_2 = 177,
        USER_DATA_SC = 178,
        SEQUENCE_HEADER_SC = 179,
        SEQUENCE_ERROR_SC = 180,
        EXTENSION_SC = 181,
        RESERVED_SC_3 = 182,
        SEQUENCE_END_SC = 183,
        GROUP_SC = 184,
        SYSTEM_SC = 185,
    };

    enum ExtensionType_e : uint8_t {
        EXTENSION_SEQUENCE = 1,
        EXTENSION_SEQUENCE_DISPLAY = 2,
        EXTENSION_QUANT_MATRIX = 3,
        EXTENSION_COPYRIGHT = 4,
        EXTENSION_SEQUENCE_SCALABLE = 5,
        EXTENSION_PICTURE_DISPLAY = 7,
        EXTENSION_PICTURE_CODING = 8,
        EXTENSION_PICTURE_SPATIAL = 9,
        EXTENSION_PICTURE_TEMPORAL = 10,
        EXTENSION_CAMERA_PARAMETERS = 11,
    };

    struct Mpeg2VideoHeaderUnitHeader_t : XP::INTERNAL::CBitFieldSetBase {
        XP_BITFIELD_LAYOUT(Mpeg2VideoHeaderUnitHeader_t);
        XP_BITFIELD(startCodePrefix, 24, BEGIN);
        XP_BITFIELD(startCodeValue, 8, startCodePrefix);
        XP_BITFIELD(extensionStartCodeIdentifier, 4, startCodeValue);
    };

    Mpeg2VideoHeader() = default;
    explicit Mpeg2VideoHeader(const XP::CBuffer& data) : UnitView(data) {}

    // Slice start codes 0x01..0xAF all read as SLICE_SC, system start codes (0xB9 and up) as
    // SYSTEM_SC.
    static ScValue_e GetScValueFromValueByte(uint8_t valueByte);

    ScValue_e GetStartCodeValue() const;
    ExtensionType_e GetExtensionStartCodeIdentifier() const;
};

}  // namespace Cmf
