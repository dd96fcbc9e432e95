#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "xptools/Slice.h"

namespace CodecTest {

// A heap array of exactly these bytes, so that AddressSanitizer reports any read beyond them.
inline XP::CBuffer MakeBuffer(const std::vector<uint8_t>& bytes) {
    XP::CBuffer buffer(bytes.size());
    std::copy(bytes.begin(), bytes.end(), buffer.GetBegin());
    return buffer;
}

// A NAL unit: its header byte followed by `payload` (already escaped).
inline XP::CBuffer MakeNalBytes(uint8_t header, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> bytes{header};
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return MakeBuffer(bytes);
}

}  // namespace CodecTest
