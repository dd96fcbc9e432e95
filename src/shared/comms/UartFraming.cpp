#include "shared/comms/UartFraming.h"

namespace UartFraming {

std::vector<uint8_t> EncodeFrame(const uint8_t* payload, size_t size) {
    std::vector<uint8_t> wire;
    wire.reserve(size + size / 8 + 2);
    wire.push_back(kFrameStart);
    for (size_t i = 0; i < size; ++i) {
        if (NeedsEscape(payload[i])) {
            wire.push_back(kEscape);
            wire.push_back(static_cast<uint8_t>(payload[i] ^ kEscapeXor));
        } else {
            wire.push_back(payload[i]);
        }
    }
    wire.push_back(kFrameEnd);
    return wire;
}

std::vector<uint8_t> EncodeFrame(const std::vector<uint8_t>& payload) {
    return EncodeFrame(payload.data(), payload.size());
}

}  // namespace UartFraming
