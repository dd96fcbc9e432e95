#include "platform/host/HostTsRing.h"

#include <log4cpp/Category.hh>

#include <cstring>

namespace Kestrel {
namespace Host {

namespace {
log4cpp::Category& Log() {
    return log4cpp::Category::getInstance("host.platform");
}
}  // namespace

CHostTsRing::CHostTsRing(size_t capacityPackets)
    : m_CapacityPackets(capacityPackets == 0 ? 1 : capacityPackets),
      m_Storage(m_CapacityPackets * PACKET_SIZE) {}

void CHostTsRing::Write(const uint8_t* data, size_t size) {
    if (data == nullptr)
        return;
    size_t packets = size / PACKET_SIZE;
    std::lock_guard<std::mutex> lock(m_Mutex);
    // Only the newest capacity's worth of a very large block can survive anyway.
    if (packets > m_CapacityPackets) {
        size_t skipped = packets - m_CapacityPackets;
        m_Dropped += skipped;
        data += skipped * PACKET_SIZE;
        packets = m_CapacityPackets;
    }
    size_t overflow =
        m_Count + packets > m_CapacityPackets ? m_Count + packets - m_CapacityPackets : 0;
    if (overflow > 0) {
        m_Head = (m_Head + overflow) % m_CapacityPackets;
        m_Count -= overflow;
        m_Dropped += overflow;
        if (!m_OverflowReported) {
            // Once per overflow episode: a reader that never comes would otherwise flood the log.
            Log().warn("TS buffer full: dropping the oldest data (%llu packets dropped so far)",
                       static_cast<unsigned long long>(m_Dropped));
            m_OverflowReported = true;
        }
    }
    for (size_t i = 0; i < packets; ++i) {
        size_t slot = (m_Head + m_Count) % m_CapacityPackets;
        std::memcpy(&m_Storage[slot * PACKET_SIZE], data + i * PACKET_SIZE, PACKET_SIZE);
        ++m_Count;
    }
}

size_t CHostTsRing::Read(uint8_t* buffer, size_t room) {
    if (buffer == nullptr)
        return 0;
    std::lock_guard<std::mutex> lock(m_Mutex);
    size_t packets = room / PACKET_SIZE;
    if (packets > m_Count)
        packets = m_Count;
    for (size_t i = 0; i < packets; ++i) {
        std::memcpy(buffer + i * PACKET_SIZE, &m_Storage[m_Head * PACKET_SIZE], PACKET_SIZE);
        m_Head = (m_Head + 1) % m_CapacityPackets;
    }
    m_Count -= packets;
    if (m_Count < m_CapacityPackets / 2)
        m_OverflowReported = false;
    return packets * PACKET_SIZE;
}

void CHostTsRing::Clear() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Head = 0;
    m_Count = 0;
}

size_t CHostTsRing::UsedBytes() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Count * PACKET_SIZE;
}

uint64_t CHostTsRing::DroppedPackets() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Dropped;
}

}  // namespace Host
}  // namespace Kestrel
