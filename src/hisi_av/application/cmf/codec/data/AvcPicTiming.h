#pragma once

#include <cstdint>

namespace Cmf {

class RbspReader;
struct AvcVuiParameters_t;

// What the framework keeps of the picture timing SEI (H.264 D.1.3): the picture structure and the
// ct_type of the clock timestamps.
struct AvcPicTiming_t {
    // pic_struct, H.264 Table D-1.
    enum PicStruct_e : uint8_t {
        PIC_STRUCT_PROGRESSIVE_FRAME = 0,
        PIC_STRUCT_TOP_FIELD = 1,
        PIC_STRUCT_BOT_FIELD = 2,
        PIC_STRUCT_TOP_BOT = 3,
        PIC_STRUCT_BOT_TOP = 4,
        PIC_STRUCT_TOP_BOT_TOP = 5,
        PIC_STRUCT_BOT_TOP_BOT = 6,
        PIC_STRUCT_FRAME_DOUBLING = 7,
        PIC_STRUCT_FRAME_TRIPLING = 8,
        PIC_STRUCT_RESERVED9 = 9,
        PIC_STRUCT_RESERVED10 = 10,
        PIC_STRUCT_RESERVED11 = 11,
        PIC_STRUCT_RESERVED12 = 12,
        PIC_STRUCT_RESERVED13 = 13,
        PIC_STRUCT_RESERVED14 = 14,
        PIC_STRUCT_RESERVED15 = 15,
        PIC_STRUCT_NOT_PRESENT = 16,
    };

    // ct_type, H.264 Table D-2, and NOT_PRESENT when no clock timestamp carries one.
    enum CtType_e : uint8_t {
        CT_TYPE_PROGRESSIVE = 0,
        CT_TYPE_INTERLACED = 1,
        CT_TYPE_UNKNOWN = 2,
        CT_TYPE_RESERVED = 3,
        CT_TYPE_NOT_PRESENT = 4,
    };

    PicStruct_e picStruct = PIC_STRUCT_NOT_PRESENT;
    CtType_e ctType = CT_TYPE_NOT_PRESENT;

    // Reads the payload; the VUI of the active SPS says which fields are present.
    bool Parse(RbspReader& reader, const AvcVuiParameters_t& vui);
};

}  // namespace Cmf
