#pragma once

#include <cstdint>

#include "hisi_av/application/cmf/ts/Fragment.h"
#include "hisi_av/application/cmf/ts/TsPacket.h"
#include "xptools/Delegate.h"
#include "xptools/Functor.h"

namespace Cmf {

// Follows the packets of one PID and turns their payloads into elementary-stream fragments: it
// parses each PES header (ISO/IEC 13818-1, 2.4.3.6) one byte at a time, so a header may be split
// over packets, takes the PTS from it, and hands every packet's data bytes after the header to the
// subscribers as one Fragment. Only the first fragment after a header carries the PTS.
//
// At a unit start it also recognises two payload forms that are not PES packets: a private
// time-stamp packet (a 184-byte payload starting FF 64 00 0E 4D 4D, whose bytes 8..11 are a 32-bit
// PTS), handed on whole with that PTS, and a section start (the byte that the pointer field in
// byte 0 points to is 0xFC), handed on from that byte without PTS. The packets after either are
// data up to the next unit start.
//
// Resynchronisation: a unit start always restarts header parsing. A bad start code drops the PES
// up to the next unit start; so does a bounded PES that ends inside its first packet. Packets
// before the first unit start are dropped.
//
// Threads: none inside and no locks; fed, subscribed and unsubscribed on one thread. Fragments are
// delivered synchronously, before PutTsPacket returns, and share the packet's bytes.
class TsToEsConverter {
public:
    using Functor_t = XP::CFunctor<void(const Fragment&)>;
    using Delegate_t = XP::CDelegate<void(const Fragment&)>;

    enum CollectState_e {
        COLLECT_STATE_LOOKING_FOR_PUSI = 0,
        COLLECT_STATE_SC1 = 1,
        COLLECT_STATE_SC2 = 2,
        COLLECT_STATE_SC3 = 3,
        COLLECT_STATE_SID = 4,
        COLLECT_STATE_LENGTH1 = 5,
        COLLECT_STATE_LENGTH2 = 6,
        COLLECT_STATE_FLAGS1 = 7,
        COLLECT_STATE_FLAGS2 = 8,
        COLLECT_STATE_HEADER_LENGTH = 9,
        COLLECT_STATE_PTS1 = 10,
        COLLECT_STATE_PTS2 = 11,
        COLLECT_STATE_PTS3 = 12,
        COLLECT_STATE_PTS4 = 13,
        COLLECT_STATE_PTS5 = 14,
        COLLECT_STATE_SKIP_HEADER = 15,
        COLLECT_STATE_DATA_BYTE = 16,
    };

    TsToEsConverter();
    virtual ~TsToEsConverter();
    TsToEsConverter(const TsToEsConverter&) = delete;
    TsToEsConverter& operator=(const TsToEsConverter&) = delete;

    void Subscribe(const Functor_t& functor);
    void Unsubscribe(const Functor_t& functor);

    void PutTsPacket(const TsPacket& packet);

    CollectState_e GetState() const { return m_State; }

private:
    // Takes one PES header byte; false when the rest of the packet is to be skipped.
    bool PutHeaderByte(unsigned char byte);
    // Checks the two special payload forms at a unit start; returns where parsing goes on.
    std::size_t CheckSpecialPayload(const XP::CBuffer& payload);
    void CountHeaderByte();
    void EmitFragment(const XP::CBuffer& payload, std::size_t position);

    Delegate_t m_Delegate;
    CollectState_e m_State;
    uint16_t m_PesPayloadLength;
    bool m_HasPts;
    uint8_t m_HeaderBytesRemaining;
    // PTS in 90 kHz units.
    uint64_t m_Pts;
};

}  // namespace Cmf
