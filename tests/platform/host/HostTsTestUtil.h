#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <mutex>
#include "platform/host/HostTsTap.h"

namespace KestrelTest {

// A packet of `pid` whose payload bytes are all `fill` (no adaptation field).
inline std::vector<uint8_t> PayloadPacket(uint16_t pid, uint8_t fill, uint8_t cc = 0) {
    std::vector<uint8_t> p(188, fill);
    p[0] = 0x47;
    p[1] = static_cast<uint8_t>(pid >> 8);
    p[2] = static_cast<uint8_t>(pid);
    p[3] = static_cast<uint8_t>(0x10 | (cc & 0x0F));
    return p;
}

// An adaptation-only packet of `pid` carrying PCR base `base` (90 kHz) and extension 0.
inline std::vector<uint8_t> PcrPacket(uint16_t pid, int64_t base) {
    std::vector<uint8_t> p(188, 0xFF);
    p[0] = 0x47;
    p[1] = static_cast<uint8_t>(pid >> 8);
    p[2] = static_cast<uint8_t>(pid);
    p[3] = 0x20;
    p[4] = 183;
    p[5] = 0x10;
    p[6] = static_cast<uint8_t>(base >> 25);
    p[7] = static_cast<uint8_t>(base >> 17);
    p[8] = static_cast<uint8_t>(base >> 9);
    p[9] = static_cast<uint8_t>(base >> 1);
    p[10] = static_cast<uint8_t>(((base & 1) << 7) | 0x7E);
    p[11] = 0;
    return p;
}

// Records what the input hands to the taps.
class RecordingTap : public Kestrel::Host::ITsTap {
public:
    void OnTs(const uint8_t* data, size_t size) override {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Bytes.insert(m_Bytes.end(), data, data + size);
        m_Blocks.push_back(size);
    }
    void OnDiscontinuity() override {
        std::lock_guard<std::mutex> lock(m_Mutex);
        ++m_Discontinuities;
        m_BytesAtDiscontinuity.push_back(m_Bytes.size());
    }
    std::vector<uint8_t> Bytes() const {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_Bytes;
    }
    size_t Size() const {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_Bytes.size();
    }
    std::vector<size_t> BytesAtDiscontinuity() const {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_BytesAtDiscontinuity;
    }

private:
    mutable std::mutex m_Mutex;
    std::vector<uint8_t> m_Bytes;
    std::vector<size_t> m_Blocks;
    int m_Discontinuities = 0;
    std::vector<size_t> m_BytesAtDiscontinuity;
};

}  // namespace KestrelTest
