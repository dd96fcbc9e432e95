#pragma once

#include <cstddef>

namespace Cmf {

class RbspReader;

// scaling_list() (H.264 7.3.2.1.1.1): the lists are read past, nothing is kept.
struct AvcScalingList_t {
    // Reads one list of `size` (16 or 64) entries; false when the data cannot hold it.
    bool Parse(RbspReader& reader, std::size_t size);
    // Reads one list without looking at how much data is left.
    static void Skip(RbspReader& reader, std::size_t size);
};

}  // namespace Cmf
