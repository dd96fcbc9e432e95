#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

// Byte-order helpers for values kept in network (big-endian) order inside host integers, such as
// a packed identifier that a bit-field layout reads most significant bit first.

namespace XP {
namespace Endian {

// Returns a value whose bytes in memory are those of `value`, most significant first. On a
// little-endian host this reverses the bytes; on a big-endian host it changes nothing.
template <typename T>
inline T HostToBig(T value) {
    static_assert(std::is_same<T, uint16_t>::value || std::is_same<T, uint32_t>::value,
                  "byte-order helpers are provided for 16-bit and 32-bit unsigned values");
    unsigned char bytes[sizeof(T)];
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        bytes[i] = static_cast<unsigned char>(value >> (8 * (sizeof(T) - 1 - i)));
    }
    T result;
    std::memcpy(&result, bytes, sizeof(T));
    return result;
}

// Reversing the byte order is its own inverse, so reading back is the same operation.
template <typename T>
inline T BigToHost(T value) {
    return HostToBig(value);
}

}  // namespace Endian
}  // namespace XP
