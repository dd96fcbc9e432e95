#pragma once

#include <cstdint>
#include <map>

#include "hisi_av/application/cmf/ts/TsPacket.h"
#include "xptools/Delegate.h"
#include "xptools/Functor.h"

namespace Cmf {

// Hands each transport packet to the subscribers of its PID, in the order they subscribed.
// Packets of PIDs nobody subscribed to are dropped silently. A buffer that is not a packet (fewer
// than 188 bytes, or no sync byte) is dropped before its PID is looked at: its header cannot be
// trusted. The first such packet after good ones is reported on the console, and so is the return
// of good packets with the count dropped in between, so a corrupt input gives two lines, not one
// per packet.
//
// Threads: none inside and no locks. Subscribing, unsubscribing and feeding happen on one thread
// (a subscriber may change the subscriptions while it is being called; the change applies from
// the next packet). Subscribers receive the packet only for the duration of the call.
class Demultiplexer {
public:
    using Functor_t = XP::CFunctor<void(const TsPacket&)>;
    using Delegate_t = XP::CDelegate<void(const TsPacket&)>;
    using DelegateMap_t = std::map<unsigned int, Delegate_t>;

    Demultiplexer();
    virtual ~Demultiplexer();
    Demultiplexer(const Demultiplexer&) = delete;
    Demultiplexer& operator=(const Demultiplexer&) = delete;

    void Subscribe(unsigned int pid, const Functor_t& functor);
    // Removes one subscription of `functor` to `pid`; the PID is forgotten with its last one.
    void Unsubscribe(unsigned int pid, const Functor_t& functor);

    void PutTsPacket(const TsPacket& packet);

    std::size_t GetSubscribedPidCount() const { return m_Delegates.size(); }
    // Buffers dropped because they were not packets, since construction.
    uint64_t GetDroppedPacketCount() const { return m_DroppedPacketCount; }

private:
    DelegateMap_t m_Delegates;
    uint64_t m_DroppedPacketCount;
    // Packets dropped since the last good one.
    uint64_t m_DroppedInARow;
};

}  // namespace Cmf
