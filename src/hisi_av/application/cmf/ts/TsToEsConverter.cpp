#include "hisi_av/application/cmf/ts/TsToEsConverter.h"

#include "xptools/Print.h"

namespace Cmf {
namespace {

// Private time-stamp packet: 0xFF, then this signature, two bytes, and the 32-bit PTS.
constexpr unsigned char TIMESTAMP_SIGNATURE[] = {0x64, 0x00, 0x0E, 0x4D, 0x4D};
constexpr std::size_t TIMESTAMP_PTS_OFFSET = 8;
constexpr unsigned char TIMESTAMP_MARK = 0xFF;
constexpr unsigned char SECTION_START = 0xFC;

}  // namespace

TsToEsConverter::TsToEsConverter()
    : m_State(COLLECT_STATE_LOOKING_FOR_PUSI),
      m_PesPayloadLength(0),
      m_HasPts(false),
      m_HeaderBytesRemaining(0),
      m_Pts(0) {}

TsToEsConverter::~TsToEsConverter() = default;

void TsToEsConverter::Subscribe(const Functor_t& functor) {
    m_Delegate += functor;
}

void TsToEsConverter::Unsubscribe(const Functor_t& functor) {
    m_Delegate -= functor;
}

void TsToEsConverter::PutTsPacket(const TsPacket& packet) {
    if (packet.GetPayloadUnitStartIndicator()) {
        m_State = COLLECT_STATE_SC1;
        XP::DebugPrintf("TsToEsConverter::PUSI - start collecting");
    } else if (m_State == COLLECT_STATE_LOOKING_FOR_PUSI) {
        XP::DebugPrintf("TsToEsConverter:: No PUSI");
        return;
    }

    const XP::CBuffer payload = packet.GetPayload();
    // Only a header's own packet can bound its data.
    m_PesPayloadLength = 0;
    if (payload.IsEmpty()) {
        XP::DebugPrintf("TsToEsConverter:: No Payload");
        return;
    }

    const std::size_t size = payload.GetSize();
    const unsigned char* pBytes = payload.GetBegin();
    for (std::size_t position = CheckSpecialPayload(payload); position < size; ++position) {
        if (m_State == COLLECT_STATE_DATA_BYTE) {
            EmitFragment(payload, position);
            return;
        }
        if (!PutHeaderByte(pBytes[position])) {
            return;
        }
    }
}

std::size_t TsToEsConverter::CheckSpecialPayload(const XP::CBuffer& payload) {
    if (m_State != COLLECT_STATE_SC1) {
        return 0;
    }
    const std::size_t size = payload.GetSize();
    const unsigned char* pBytes = payload.GetBegin();
    if (pBytes[0] == TIMESTAMP_MARK) {
        bool isTimestamp = size == TsPacket::MAX_PAYLOAD_LENGTH;
        for (std::size_t i = 0; isTimestamp && i < sizeof(TIMESTAMP_SIGNATURE); ++i) {
            isTimestamp = pBytes[1 + i] == TIMESTAMP_SIGNATURE[i];
        }
        if (isTimestamp) {
            const unsigned char* p = pBytes + TIMESTAMP_PTS_OFFSET;
            m_HasPts = true;
            m_Pts = (uint64_t(p[0]) << 24) | (uint64_t(p[1]) << 16) | (uint64_t(p[2]) << 8) | p[3];
            m_State = COLLECT_STATE_DATA_BYTE;
        }
        // Without the signature the 0xFF fails the first start-code byte.
        return 0;
    }
    // Byte 0 is a section's pointer field.
    const std::size_t sectionStart = std::size_t(pBytes[0]) + 1;
    if (sectionStart < size && pBytes[sectionStart] == SECTION_START) {
        m_HasPts = false;
        m_State = COLLECT_STATE_DATA_BYTE;
        return sectionStart;
    }
    return 0;
}

// Each header field has its own state; PTS1..PTS5 follow ISO/IEC 13818-1 2.4.3.7 without
// checking the marker bits. DTS and the other optional fields are skipped as header bytes.
bool TsToEsConverter::PutHeaderByte(unsigned char byte) {
    switch (m_State) {
        case COLLECT_STATE_LOOKING_FOR_PUSI:
        case COLLECT_STATE_DATA_BYTE:
            return false;
        case COLLECT_STATE_SC1:
            if (byte != 0x00) {
                XP::DebugPrintf("TsToEsConverter:: COLLECT_STATE_SC1 BAD");
                m_State = COLLECT_STATE_LOOKING_FOR_PUSI;
                return false;
            }
            m_State = COLLECT_STATE_SC2;
            return true;
        case COLLECT_STATE_SC2:
            if (byte != 0x00) {
                XP::DebugPrintf("TsToEsConverter:: COLLECT_STATE_SC2 BAD");
                m_State = COLLECT_STATE_LOOKING_FOR_PUSI;
                return false;
            }
            m_State = COLLECT_STATE_SC3;
            return true;
        case COLLECT_STATE_SC3:
            if (byte != 0x01) {
                XP::DebugPrintf("TsToEsConverter:: COLLECT_STATE_SC3 BAD");
                m_State = COLLECT_STATE_LOOKING_FOR_PUSI;
                return false;
            }
            m_State = COLLECT_STATE_SID;
            return true;
        case COLLECT_STATE_SID:
            m_State = COLLECT_STATE_LENGTH1;
            return true;
        case COLLECT_STATE_LENGTH1:
            m_PesPayloadLength = static_cast<uint16_t>(byte << 8);
            m_State = COLLECT_STATE_LENGTH2;
            return true;
        case COLLECT_STATE_LENGTH2:
            m_PesPayloadLength = static_cast<uint16_t>(m_PesPayloadLength | byte);
            m_State = COLLECT_STATE_FLAGS1;
            return true;
        case COLLECT_STATE_FLAGS1:
            m_State = COLLECT_STATE_FLAGS2;
            return true;
        case COLLECT_STATE_FLAGS2:
            // PTS_DTS_flags '10' or '11'.
            m_HasPts = byte >= 0x80;
            XP::DebugPrintf("TsToEsConverter:: COLLECT_STATE_FLAGS2 hasPts=%d", m_HasPts ? 1 : 0);
            m_State = COLLECT_STATE_HEADER_LENGTH;
            return true;
        case COLLECT_STATE_HEADER_LENGTH:
            m_HeaderBytesRemaining = byte;
            // What the length field counts beyond the data: the two flag bytes, the header
            // length byte and the optional fields.
            m_PesPayloadLength = static_cast<uint16_t>(m_PesPayloadLength - (byte + 3));
            if (m_HasPts) {
                m_State = COLLECT_STATE_PTS1;
            } else {
                m_State = byte != 0 ? COLLECT_STATE_SKIP_HEADER : COLLECT_STATE_DATA_BYTE;
            }
            XP::DebugPrintf("TsToEsConverter:: COLLECT_STATE_HEADER_LENGTH %d", byte);
            return true;
        case COLLECT_STATE_PTS1:
            m_Pts = uint64_t(byte & 0x0E) << 29;
            CountHeaderByte();
            m_State = COLLECT_STATE_PTS2;
            return true;
        case COLLECT_STATE_PTS2:
            m_Pts |= uint64_t(byte) << 22;
            CountHeaderByte();
            m_State = COLLECT_STATE_PTS3;
            return true;
        case COLLECT_STATE_PTS3:
            m_Pts |= uint64_t(byte & 0xFE) << 14;
            CountHeaderByte();
            m_State = COLLECT_STATE_PTS4;
            return true;
        case COLLECT_STATE_PTS4:
            m_Pts |= uint64_t(byte) << 7;
            CountHeaderByte();
            m_State = COLLECT_STATE_PTS5;
            return true;
        case COLLECT_STATE_PTS5:
            m_Pts |= uint64_t(byte) >> 1;
            CountHeaderByte();
            m_State =
                m_HeaderBytesRemaining != 0 ? COLLECT_STATE_SKIP_HEADER : COLLECT_STATE_DATA_BYTE;
            return true;
        case COLLECT_STATE_SKIP_HEADER:
            CountHeaderByte();
            if (m_HeaderBytesRemaining == 0) {
                m_State = COLLECT_STATE_DATA_BYTE;
            }
            return true;
    }
    return false;
}

// A header that announces a PTS but is too short for one must not wrap the count around and
// swallow 250 data bytes: the count stops at 0.
void TsToEsConverter::CountHeaderByte() {
    if (m_HeaderBytesRemaining != 0) {
        --m_HeaderBytesRemaining;
    }
}

void TsToEsConverter::EmitFragment(const XP::CBuffer& payload, std::size_t position) {
    std::size_t count = payload.GetSize() - position;
    if (m_PesPayloadLength > 0 && m_PesPayloadLength < count) {
        // A bounded PES ends inside this packet: what follows is not part of it.
        count = m_PesPayloadLength;
        m_State = COLLECT_STATE_LOOKING_FOR_PUSI;
    }
    Pcr pts;
    if (m_HasPts) {
        pts = Pcr(m_Pts, 0);
    }
    const Fragment fragment(payload.Subslice(position, count), pts, m_PesPayloadLength);
    m_HasPts = false;
    m_Delegate(fragment);
}

}  // namespace Cmf
