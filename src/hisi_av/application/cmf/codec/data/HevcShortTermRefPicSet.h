#pragma once

#include <cstddef>
#include <cstdint>

namespace Cmf {

class RbspReader;

// The short-term reference picture sets of an SPS (H.265 7.3.7, 7.4.8), one entry per set index.
// A set coded by inter-set prediction is derived from an earlier set, so all sets of one SPS are
// parsed in order into the same record.
struct HevcShortTermRefPicSet_t {
    static constexpr std::size_t MAX_ST_REF_PIC_SETS = 65;
    static constexpr std::size_t MAX_DPB_SIZE = 16;

    struct Set_t {
        uint8_t numNegativePics = 0;
        uint8_t numPositivePics = 0;
        uint8_t numDeltaPocs = 0;
        uint8_t usedByCurrPicS0[MAX_DPB_SIZE] = {};
        uint8_t usedByCurrPicS1[MAX_DPB_SIZE] = {};
        int16_t deltaPocS0[MAX_DPB_SIZE] = {};
        int16_t deltaPocS1[MAX_DPB_SIZE] = {};
    };

    Set_t sets[MAX_ST_REF_PIC_SETS];

    // st_ref_pic_set(index) of an SPS with `count` sets (index == count: the set of a slice
    // header). Sets below `index` must have been parsed before.
    bool Parse(RbspReader& reader, unsigned int index, unsigned int count);

private:
    bool ParsePredicted(RbspReader& reader, unsigned int index, unsigned int count);
    bool ParseExplicit(RbspReader& reader, unsigned int index);
};

}  // namespace Cmf
