#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/host/HostTsTap.h"
#include "xptools/Uncopyable.h"

namespace Kestrel {
namespace Host {

// Bounded ring of whole transport packets: the received stream as av_get_ts_buffer hands it out.
// When a write finds it full, the oldest packets make room and are counted as dropped, so a
// reader that falls behind loses the oldest data, never the newest, and memory stays bounded.
//
// Threads: Write (the input thread, through OnTs) and Read (any caller) may run at once; every
// member is guarded by m_Mutex.
class CHostTsRing : public ITsTap, private XP::CUncopyable {
public:
    static constexpr size_t PACKET_SIZE = 188;

    explicit CHostTsRing(size_t capacityPackets);

    // Stores the whole packets of `data` (a trailing partial packet is ignored).
    void Write(const uint8_t* data, size_t size);
    // Copies the oldest whole packets that fit in `room` bytes into `buffer` and removes them;
    // returns the bytes copied (0 when the ring is empty or `room` is below one packet).
    size_t Read(uint8_t* buffer, size_t room);

    void Clear();

    size_t CapacityBytes() const { return m_CapacityPackets * PACKET_SIZE; }
    size_t UsedBytes() const;
    // Packets dropped by overflow since construction.
    uint64_t DroppedPackets() const;

    void OnTs(const uint8_t* data, size_t size) override { Write(data, size); }

private:
    const size_t m_CapacityPackets;
    mutable std::mutex m_Mutex;
    std::vector<uint8_t> m_Storage;
    size_t m_Head = 0;   // index of the oldest packet
    size_t m_Count = 0;  // packets stored
    uint64_t m_Dropped = 0;
    bool m_OverflowReported = false;
};

}  // namespace Host
}  // namespace Kestrel
