#pragma once

#include <iostream>
#include <string>

#include "hisi_av/application/cmf/clock/Pcr.h"
#include "xptools/BitField.h"
#include "xptools/Slice.h"

namespace Cmf {

// The closed-caption bytes of one picture and that picture's presentation time, as the data
// extractors find them in user data or SEI and hand them to the caption pipeline.
//
// `data` starts at the ATSC A/53 cc_data structure: a two-byte header (process flag and cc_count)
// and cc_count triples (marker bits, cc_valid, cc_type, two data bytes), read through the layouts
// below.
//
// A plain value. Copies share the caption bytes (the slice's owner is shared); Clone makes an
// independent copy for a packet that must outlive the buffer it was found in. Nothing guards the
// bytes: a packet is handed from thread to thread, not shared between running threads.
struct CcPacket_t {
    // cc_type of a triple.
    enum CcPacketType_e {
        CC_PACKET_TYPE_NTSC_FIELD_1 = 0,
        CC_PACKET_TYPE_NTSC_FIELD_2 = 1,
        CC_PACKET_TYPE_DTVCC_DATA = 2,
        CC_PACKET_TYPE_DTVCC_START = 3,
    };

    // Window and pen commands of digital captions (CEA-708 C1 codes) that the text printer names.
    enum CcCommand_e {
        COMMAND_NONE = 0,
        COMMAND_SET_WINDOW = 1,
        COMMAND_DEFINE_WINDOW = 2,
        COMMAND_CLEAR_WINDOWS = 3,
        COMMAND_DELETE_WINDOWS = 4,
        COMMAND_DISPLAY_WINDOWS = 5,
        COMMAND_HIDE_WINDOWS = 6,
        COMMAND_TOGGLE_WINDOWS = 7,
        COMMAND_SET_WINDOW_ATTRIBUTES = 8,
        COMMAND_SET_PEN_ATTRIBUTES = 9,
        COMMAND_SET_PEN_COLOR = 10,
        COMMAND_SET_PEN_LOCATION = 11,
        COMMAND_SET_DELAY = 12,
        COMMAND_DELAY_CANCEL = 13,
        COMMAND_RESET = 14,
    };

    // One caption triple.
    struct CaptionData_t : XP::INTERNAL::CBitFieldSetBase {
        XP_BITFIELD_LAYOUT(CaptionData_t);
        XP_BITFIELD(OneBit, 1, BEGIN);
        XP_BITFIELD(Reserved, 4, OneBit);
        XP_BITFIELD(Valid, 1, Reserved);
        XP_BITFIELD(Type, 2, Valid);
        XP_BITFIELD(Data1, 8, Type);
        XP_BITFIELD(Data2, 8, Data1);
    };

    // The cc_data structure: header and cc_count triples.
    struct CaptionPacket_t : XP::INTERNAL::CBitFieldSetBase {
        XP_BITFIELD_LAYOUT(CaptionPacket_t);
        XP_BITFIELD(Reserved1, 1, BEGIN);
        XP_BITFIELD(Process, 1, Reserved1);
        XP_BITFIELD(ZeroBit, 1, Process);
        XP_BITFIELD(Count, 5, ZeroBit);
        XP_BITFIELD(Reserved2, 8, Count);
        XP_BITFIELD_RECORDS(CaptionData, CaptionData_t, Reserved2, Count_t_.Get());
    };

    static constexpr std::size_t HEADER_SIZE = 2;
    static constexpr std::size_t TRIPLE_SIZE = 3;

    // Invalid time, no bytes.
    CcPacket_t() = default;

    // Becomes `other` with a copy of its bytes of its own.
    void Clone(const CcPacket_t& other);

    // Same time and same bytes.
    bool operator==(const CcPacket_t& other) const;
    bool operator!=(const CcPacket_t& other) const { return !(*this == other); }

    // Prints the header and triples field by field as one console block (XP::MyPrintf). Nothing
    // for an empty packet; one line saying so when the bytes are fewer than cc_count needs.
    void PrintPacketString() const;

    // Writes the text and the window/pen command names carried in the packet's digital caption
    // triples to `out`. Text flows on from packet to packet: only commands start and end lines.
    // Nothing when the process flag is clear. Triples the bytes do not hold are not read.
    void PrintDtvCcText(std::ostream& out = std::cout) const;

    Pcr pts;
    XP::CBuffer data;
};

}  // namespace Cmf
