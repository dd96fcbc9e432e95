#pragma once

#include <cstddef>
#include <cstdint>

// Transport packet fields the host platform reads directly (PID, payload, PCR, PES time stamps).
namespace Kestrel {
namespace Host {

constexpr size_t TS_PACKET_SIZE = 188;
constexpr uint8_t TS_SYNC = 0x47;
constexpr uint16_t TS_NULL_PID = 0x1FFF;

inline uint16_t TsPid(const uint8_t* p) {
    return static_cast<uint16_t>(((p[1] & 0x1F) << 8) | p[2]);
}
inline bool TsPayloadStart(const uint8_t* p) {
    return (p[1] & 0x40) != 0;
}
inline bool TsError(const uint8_t* p) {
    return (p[1] & 0x80) != 0;
}

// The PCR of the packet in 27 MHz units, or -1 when it carries none.
int64_t TsPcr27(const uint8_t* p);
// The payload of the packet: sets `size` (0 when there is none or the adaptation field is
// malformed) and returns its start.
const uint8_t* TsPayload(const uint8_t* p, size_t& size);

// A PES header at the start of `data`: its header length and, when present, its PTS (33 bits).
// False when `data` does not start a PES packet or its header is cut short.
bool ParsePesHeader(const uint8_t* data, size_t size, size_t& headerSize, int64_t& pts);

}  // namespace Host
}  // namespace Kestrel
