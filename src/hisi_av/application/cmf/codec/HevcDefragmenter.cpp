#include "hisi_av/application/cmf/codec/HevcDefragmenter.h"

#include <algorithm>

#include "hisi_av/application/cmf/codec/HevcAu.h"
#include "hisi_av/application/cmf/codec/HevcNal.h"
#include "xptools/Print.h"

namespace Cmf {

namespace {

constexpr std::size_t THREE_BYTE_SC_AND_NAL_TYPE = 4;
constexpr std::size_t FOUR_BYTE_SC_AND_NAL_BYTES = 4 + HevcDefragmenter::NAL_BYTE_COUNT;

// VCL units: the slice segments and the reserved VCL types.
bool IsPictureNal(unsigned int nalType) {
    return nalType < HevcNal::VPS_NUT;
}

// Units that may begin an access unit (H.265 7.4.2.4.4).
bool IsPrefixNal(unsigned int nalType) {
    return nalType == HevcNal::VPS_NUT || nalType == HevcNal::SPS_NUT ||
           nalType == HevcNal::PPS_NUT || nalType == HevcNal::AUD_NUT ||
           nalType == HevcNal::PREFIX_SEI_NUT;
}

}  // namespace

HevcDefragmenter::HevcDefragmenter()
    : m_ScState(SC_STATE_SC1),
      m_CollectState(COLLECT_STATE_SYNC),
      m_AuBuf(MAX_AU_SIZE),
      m_AuSize(0),
      m_NalByte() {
    m_ScPositions.reserve(64);
}

void HevcDefragmenter::PutFragment(const Fragment& fragment) {
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

void HevcDefragmenter::PutByte(unsigned char byte) {
    if (m_AuSize >= MAX_AU_SIZE) {
        XP::MyPrintf("HevcDefragmenter: AU too large: %zu bytes.", m_AuSize);
        m_ScState = SC_STATE_SC1;
        m_CollectState = COLLECT_STATE_SYNC;
        m_AuSize = 0;
        m_ScPositions.clear();
    } else {
        m_AuBuf.GetBegin()[m_AuSize++] = byte;
    }
    ScanByte(byte);
}

void HevcDefragmenter::ScanByte(unsigned char byte) {
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
            if (byte == 0x00) {
                m_ScState = SC_STATE_SC4;
            } else if (byte == 0x01) {
                m_ScState = SC_STATE_3B_SC_NAL_TYPE;
            } else {
                m_ScState = SC_STATE_SC1;
            }
            break;
        case SC_STATE_SC4:
            if (byte == 0x01) {
                m_ScState = SC_STATE_4B_SC_NAL_TYPE_0;
            } else if (byte != 0x00) {
                m_ScState = SC_STATE_SC1;
            }
            break;
        case SC_STATE_3B_SC_NAL_TYPE:
            m_NalByte[0] = byte;
            Process3ByteSc();
            m_ScState = SC_STATE_SC1;
            break;
        case SC_STATE_4B_SC_NAL_TYPE_0:
            m_NalByte[0] = byte;
            m_ScState = SC_STATE_4B_SC_NAL_TYPE_1;
            break;
        case SC_STATE_4B_SC_NAL_TYPE_1:
            m_NalByte[1] = byte;
            m_ScState = SC_STATE_4B_SC_NAL_TYPE_2;
            break;
        case SC_STATE_4B_SC_NAL_TYPE_2:
            m_NalByte[2] = byte;
            Process4ByteSc();
            m_ScState = SC_STATE_SC1;
            break;
    }
}

void HevcDefragmenter::Process3ByteSc() {
    // A 3-byte start code never begins an access unit.
    if (m_CollectState == COLLECT_STATE_PREFIX_NAL && IsPictureNal(GetNalType())) {
        m_CollectState = COLLECT_STATE_PIC_NAL;
    }
    AppendPosition(THREE_BYTE_SC_AND_NAL_TYPE);
}

void HevcDefragmenter::Process4ByteSc() {
    const unsigned int nalType = GetNalType();
    if (m_CollectState == COLLECT_STATE_PREFIX_NAL) {
        if (IsPictureNal(nalType)) {
            m_CollectState = COLLECT_STATE_PIC_NAL;
        }
        AppendPosition(FOUR_BYTE_SC_AND_NAL_BYTES);
        return;
    }
    if (m_CollectState == COLLECT_STATE_SYNC) {
        // What came before the first boundary is the tail of a unit whose start was never seen.
        m_AuSize = 0;
        m_ScPositions.clear();
    }
    const bool firstSliceSegmentInPic = (m_NalByte[2] & 0x80) != 0;
    if (IsPrefixNal(nalType)) {
        StartNewAu();
        m_CollectState = COLLECT_STATE_PREFIX_NAL;
    } else if (IsPictureNal(nalType) && firstSliceSegmentInPic) {
        StartNewAu();
        m_CollectState = COLLECT_STATE_PIC_NAL;
    }
    AppendPosition(FOUR_BYTE_SC_AND_NAL_BYTES);
}

void HevcDefragmenter::AppendPosition(std::size_t startCodeAndNalLength) {
    // After an overflow or a discard a start code may have lost bytes it had before.
    m_ScPositions.push_back(static_cast<unsigned int>(
        m_AuSize >= startCodeAndNalLength ? m_AuSize - startCodeAndNalLength : 0));
}

void HevcDefragmenter::StartNewAu() {
    // The unit ends where the start code just found begins; a unit of MIN_AU_SIZE bytes or fewer
    // cannot be a picture and is dropped.
    if (m_AuSize > FOUR_BYTE_SC_AND_NAL_BYTES &&
        m_AuSize - FOUR_BYTE_SC_AND_NAL_BYTES > MIN_AU_SIZE) {
        m_AuSize -= FOUR_BYTE_SC_AND_NAL_BYTES;
        const HevcAu au(m_AuBuf.Subslice(0, m_AuSize), m_CurrentAuPts, Pcr(), m_ScPositions);
        XP::DebugPrintf("AU Complete. Size: %zu\t PTS: %llu", m_AuSize,
                        static_cast<unsigned long long>(m_CurrentAuPts.GetValue()));
        m_Delegate(au);
    }
    m_CurrentAuPts = m_NextAuPts;
    m_NextAuPts.SetInvalid();

    // The new unit starts with the start code just found and the NAL bytes taken after it.
    unsigned char* buffer = m_AuBuf.GetBegin();
    const unsigned char startCode[] = {0x00, 0x00, 0x00, 0x01};
    std::copy(startCode, startCode + sizeof(startCode), buffer);
    std::copy(m_NalByte, m_NalByte + NAL_BYTE_COUNT, buffer + sizeof(startCode));
    m_AuSize = FOUR_BYTE_SC_AND_NAL_BYTES;
    m_ScPositions.clear();
}

}  // namespace Cmf
