#include "platform/host/HostTs.h"

namespace Kestrel {
namespace Host {

int64_t TsPcr27(const uint8_t* p) {
    if ((p[3] & 0x20) == 0)
        return -1;  // no adaptation field
    uint8_t length = p[4];
    if (length < 7 || length > 183 || (p[5] & 0x10) == 0)
        return -1;
    int64_t base = (int64_t(p[6]) << 25) | (int64_t(p[7]) << 17) | (int64_t(p[8]) << 9) |
                   (int64_t(p[9]) << 1) | (p[10] >> 7);
    int64_t ext = ((p[10] & 0x01) << 8) | p[11];
    return base * 300 + ext;
}

const uint8_t* TsPayload(const uint8_t* p, size_t& size) {
    size = 0;
    if ((p[3] & 0x10) == 0)
        return nullptr;
    size_t offset = 4;
    if (p[3] & 0x20) {
        offset += 1 + size_t(p[4]);
        if (offset > TS_PACKET_SIZE)
            return nullptr;
    }
    size = TS_PACKET_SIZE - offset;
    return p + offset;
}

bool ParsePesHeader(const uint8_t* data, size_t size, size_t& headerSize, int64_t& pts) {
    pts = -1;
    if (size < 9 || data[0] != 0 || data[1] != 0 || data[2] != 1)
        return false;
    headerSize = 9 + size_t(data[8]);
    if (headerSize > size)
        return false;
    if ((data[7] & 0x80) != 0 && data[8] >= 5) {
        const uint8_t* t = data + 9;
        pts = (int64_t(t[0] & 0x0E) << 29) | (int64_t(t[1]) << 22) | (int64_t(t[2] & 0xFE) << 14) |
              (int64_t(t[3]) << 7) | (t[4] >> 1);
    }
    return true;
}

}  // namespace Host
}  // namespace Kestrel
