#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The frame form of the controller link, used in both directions:
//
//   0x0F | payload with escaping | 0x10
//
// There is no length field and no checksum. A payload byte in 0x0F..0x13 travels as 0x12
// followed by the byte XOR 0x20, so neither the frame bytes nor the two software flow-control
// bytes (XON 0x11, XOFF 0x13) ever appear inside a frame. On receipt only 0x0F, 0x10 and 0x12
// are control bytes.
namespace UartFraming {

constexpr uint8_t kFrameStart = 0x0F;
constexpr uint8_t kFrameEnd = 0x10;
constexpr uint8_t kEscape = 0x12;
constexpr uint8_t kEscapeXor = 0x20;

// The longest payload that can hold one operation: type, id (2), index count with 255 index
// bytes, data count with 255 data bytes.
constexpr size_t kMaxFramePayload = 3 + (1 + 255) + (1 + 255);

constexpr bool NeedsEscape(uint8_t byte) {
    return byte >= 0x0F && byte <= 0x13;
}

// The wire bytes of one frame carrying `payload`.
std::vector<uint8_t> EncodeFrame(const uint8_t* payload, size_t size);
std::vector<uint8_t> EncodeFrame(const std::vector<uint8_t>& payload);

}  // namespace UartFraming
