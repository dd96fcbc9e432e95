#pragma once

#include <cstdint>

namespace Cmf {

class RbspReader;
struct HevcVuiParameters_t;

// What the framework keeps of the picture timing SEI (H.265 D.2.3): the picture structure.
struct HevcPicTiming_t {
    // pic_struct, H.265 Table D.2.
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
        PIC_STRUCT_TOP_W_PREV_BOT = 9,
        PIC_STRUCT_BOT_W_PREV_TOP = 10,
        PIC_STRUCT_TOP_W_NEXT_BOT = 11,
        PIC_STRUCT_BOT_W_NEXT_TOP = 12,
    };

    PicStruct_e picStruct = PIC_STRUCT_PROGRESSIVE_FRAME;

    // Reads the payload; the VUI of the active SPS says whether frame-field information is
    // present. Only the fields before the HRD delays are read: nothing after them is kept.
    bool Parse(RbspReader& reader, const HevcVuiParameters_t& vui);
};

}  // namespace Cmf
