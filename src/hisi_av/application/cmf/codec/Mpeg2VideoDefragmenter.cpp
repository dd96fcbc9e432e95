#include "hisi_av/application/cmf/codec/Mpeg2VideoDefragmenter.h"

#include "hisi_av/application/cmf/codec/Mpeg2VideoAu.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoHeader.h"
#include "xptools/Print.h"

namespace Cmf {

namespace {

// 00 00 01 and the start code value.
constexpr std::size_t START_CODE_LENGTH = Mpeg2VideoHeader::START_CODE_BYTES;

}  // namespace

Mpeg2VideoDefragmenter::Mpeg2VideoDefragmenter()
    : m_ScState(SC_STATE_SC1),
      m_CollectState(COLLECT_STATE_SYNC),
      m_AuBuf(MAX_AU_SIZE),
      m_AuSize(0),
      m_ScTypeVal(0) {
    // A picture has a few dozen headers and one slice per macroblock row (68 rows at 1088).
    m_ScPositions.reserve(128);
}

void Mpeg2VideoDefragmenter::PutFragment(const Fragment& fragment) {
    // The PTS belongs to the next access unit to be started, normally the one whose first start
    // code follows in this fragment.
    if (fragment.GetPts().IsValid()) {
        m_NextAuPts = fragment.GetPts();
    }
    FeedBytes(
        fragment.GetData().GetBegin(), fragment.GetSize(), m_AuBuf.GetBegin(), m_AuSize,
        MAX_AU_SIZE, [this] { return m_ScState == SC_STATE_SC1; },
        [this](unsigned char byte) { PutByte(byte); });
}

void Mpeg2VideoDefragmenter::PutByte(unsigned char byte) {
    if (m_AuSize >= MAX_AU_SIZE) {
        XP::MyPrintf("Mpeg2VideoDefragmenter: AU too large: %zu bytes.", m_AuSize);
        ResetAfterOverflow();
    } else {
        m_AuBuf.GetBegin()[m_AuSize++] = byte;
    }
    ScanByte(byte);
}

void Mpeg2VideoDefragmenter::ResetAfterOverflow() {
    m_ScState = SC_STATE_SC1;
    m_CollectState = COLLECT_STATE_SYNC;
    m_AuSize = 0;
    m_ScPositions.clear();
}

void Mpeg2VideoDefragmenter::ScanByte(unsigned char byte) {
    switch (m_ScState) {
        case SC_STATE_SC1:
            if (byte == 0x00) {
                m_ScState = SC_STATE_SC2;
            }
            break;
        case SC_STATE_SC2:
            m_ScState = (byte == 0x00) ? SC_STATE_SC3 : SC_STATE_SC1;
            break;
        case SC_STATE_SC3:
            // Any number of zeros may precede the 01 (stuffing before a start code).
            if (byte == 0x01) {
                m_ScState = SC_STATE_FOUND_SC;
            } else if (byte != 0x00) {
                m_ScState = SC_STATE_SC1;
            }
            break;
        case SC_STATE_FOUND_SC:
            m_ScTypeVal = byte;
            ProcessSc();
            m_ScState = SC_STATE_SC1;
            break;
    }
}

void Mpeg2VideoDefragmenter::ProcessSc() {
    const bool slice =
        Mpeg2VideoHeader::GetScValueFromValueByte(m_ScTypeVal) == Mpeg2VideoHeader::SLICE_SC;
    switch (m_CollectState) {
        case COLLECT_STATE_PREFIX_HEADER:
            if (slice) {
                m_CollectState = COLLECT_STATE_PIC_HEADER;
            }
            break;
        case COLLECT_STATE_SYNC:
        case COLLECT_STATE_PIC_HEADER:
            if (!slice) {
                StartNewAu();
                m_CollectState = COLLECT_STATE_PREFIX_HEADER;
            }
            break;
    }
    // After an overflow a start code may have lost bytes it had before the reset.
    m_ScPositions.push_back(static_cast<unsigned int>(
        m_AuSize >= START_CODE_LENGTH ? m_AuSize - START_CODE_LENGTH : 0));
}

void Mpeg2VideoDefragmenter::StartNewAu() {
    // The unit ends where the start code just found begins. What was collected before the first
    // boundary is the tail of a unit whose start was never seen, and a unit of MIN_AU_SIZE bytes
    // or fewer cannot be a picture: both are dropped.
    const std::size_t auSize = m_AuSize > START_CODE_LENGTH ? m_AuSize - START_CODE_LENGTH : 0;
    if (m_CollectState != COLLECT_STATE_SYNC && auSize > MIN_AU_SIZE) {
        const Mpeg2VideoAu au(m_AuBuf.Subslice(0, auSize), m_CurrentAuPts, Pcr(), m_ScPositions);
        XP::DebugPrintf("AU Complete. Size: %zu\t PTS: %llu", auSize,
                        static_cast<unsigned long long>(m_CurrentAuPts.GetValue()));
        m_Delegate(au);
    }
    m_CurrentAuPts = m_NextAuPts;
    m_NextAuPts.SetInvalid();

    // The new unit starts with the start code just found.
    unsigned char* buffer = m_AuBuf.GetBegin();
    buffer[0] = 0x00;
    buffer[1] = 0x00;
    buffer[2] = 0x01;
    buffer[3] = m_ScTypeVal;
    m_AuSize = START_CODE_LENGTH;
    m_ScPositions.clear();
}

}  // namespace Cmf
