#include "hisi_av/application/cmf/ts/Demultiplexer.h"

#include "xptools/Print.h"

namespace Cmf {

Demultiplexer::Demultiplexer() : m_DroppedPacketCount(0), m_DroppedInARow(0) {}

Demultiplexer::~Demultiplexer() = default;

void Demultiplexer::Subscribe(unsigned int pid, const Functor_t& functor) {
    m_Delegates[pid] += functor;
}

void Demultiplexer::Unsubscribe(unsigned int pid, const Functor_t& functor) {
    DelegateMap_t::iterator it = m_Delegates.find(pid);
    if (it == m_Delegates.end()) {
        return;
    }
    it->second -= functor;
    if (it->second.GetSize() == 0) {
        m_Delegates.erase(it);
    }
}

void Demultiplexer::PutTsPacket(const TsPacket& packet) {
    if (packet.GetSize() < TsPacket::PACKET_LENGTH ||
        packet.GetSyncByte() != TsPacket::PACKET_SYNC_BYTE) {
        if (m_DroppedInARow == 0) {
            XP::MyPrintf(
                "Demultiplexer: dropping a packet without sync byte (size %zu, first byte "
                "0x%02X), and any that follow until sync returns",
                packet.GetSize(), packet.GetSize() > 0 ? packet.GetData()[0] : 0u);
        }
        ++m_DroppedInARow;
        ++m_DroppedPacketCount;
        return;
    }
    if (m_DroppedInARow != 0) {
        XP::MyPrintf("Demultiplexer: sync back after %llu dropped packets",
                     static_cast<unsigned long long>(m_DroppedInARow));
        m_DroppedInARow = 0;
    }
    DelegateMap_t::const_iterator it = m_Delegates.find(packet.GetPid());
    if (it != m_Delegates.end()) {
        // The delegate raises a snapshot, so a subscriber that unsubscribes (and so may erase
        // this entry) does not pull the list from under the raise.
        it->second(packet);
    }
}

}  // namespace Cmf
