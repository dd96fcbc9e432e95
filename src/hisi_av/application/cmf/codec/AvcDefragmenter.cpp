#include "hisi_av/application/cmf/codec/AvcDefragmenter.h"

#include <algorithm>

#include "hisi_av/application/cmf/codec/AvcAu.h"
#include "hisi_av/application/cmf/codec/AvcNal.h"
#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "hisi_av/application/cmf/codec/data/AvcScalingList.h"
#include "hisi_av/application/cmf/codec/data/AvcSps.h"
#include "xptools/Print.h"

namespace Cmf {

namespace {

bool IsSlice(unsigned int nalType) {
    return nalType == AvcNal::NIDR || nalType == AvcNal::IDR;
}

// NAL units that may begin an access unit (H.264 7.4.1.2.3): everything but slices, the end of
// sequence and stream markers and filler data.
bool IsPrefixNal(unsigned int nalType) {
    return !IsSlice(nalType) && nalType != AvcNal::END_OF_SEQ_NUT &&
           nalType != AvcNal::END_OF_STREAM_NUT && nalType != AvcNal::FILLER_NUT;
}

uint32_t Clamp8(uint32_t value) {
    return std::min<uint32_t>(value, 0xFF);
}

}  // namespace

AvcDefragmenter::AvcDefragmenter()
    : m_ScState(SC_STATE_SC1),
      m_CollectState(COLLECT_STATE_SYNC),
      m_AuBuf(MAX_AU_SIZE),
      m_AuSize(0),
      m_NalLookAhead(),
      m_LookAheadCount(0),
      m_3ByteScFlag(false) {
    m_ScPositions.reserve(64);
}

void AvcDefragmenter::PutFragment(const Fragment& fragment) {
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

void AvcDefragmenter::PutByte(unsigned char byte) {
    do {
        if (m_AuSize >= MAX_AU_SIZE) {
            XP::MyPrintf("AvcDefragmenter: AU too large: %zu bytes.", m_AuSize);
            ResetAfterOverflow();
        } else {
            m_AuBuf.GetBegin()[m_AuSize++] = byte;
        }
    } while (!ScanByte(byte));
}

void AvcDefragmenter::ResetAfterOverflow() {
    m_ScState = SC_STATE_SC1;
    m_CollectState = COLLECT_STATE_SYNC;
    m_AuSize = 0;
    m_LookAheadCount = 0;
    m_ScPositions.clear();
}

bool AvcDefragmenter::ScanByte(unsigned char byte) {
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
                m_3ByteScFlag = true;
                m_ScState = SC_STATE_NAL_TYPE;
            } else {
                m_ScState = SC_STATE_SC1;
            }
            break;
        case SC_STATE_SC4:
            if (byte == 0x01) {
                m_3ByteScFlag = false;
                m_ScState = SC_STATE_NAL_TYPE;
            } else if (byte != 0x00) {
                m_ScState = SC_STATE_SC1;
            }
            break;
        case SC_STATE_NAL_TYPE: {
            m_NalLookAhead[0] = byte;
            m_LookAheadCount = 1;
            const unsigned int nalType = byte & 0x1F;
            if (IsSlice(nalType) || nalType == AvcNal::SPS_NUT) {
                m_ScState = SC_STATE_LOOKAHEAD;
            } else {
                ProcessSc();
                m_LookAheadCount = 0;
                m_ScState = SC_STATE_SC1;
            }
            break;
        }
        case SC_STATE_LOOKAHEAD:
            if (m_LookAheadCount < MAX_LOOKAHEAD_COUNT) {
                m_NalLookAhead[m_LookAheadCount++] = byte;
                break;
            }
            // The byte after the look-ahead: out of the buffer again, and once the unit has been
            // placed it is taken anew, so that a start code beginning here is found.
            if (m_AuSize > 0) {
                --m_AuSize;
            }
            ProcessSc();
            m_LookAheadCount = 0;
            m_ScState = SC_STATE_SC1;
            return false;
    }
    return true;
}

void AvcDefragmenter::ProcessSc() {
    const std::size_t length = m_LookAheadCount + (m_3ByteScFlag ? 3 : 4);
    const unsigned int nalType = m_NalLookAhead[0] & 0x1F;
    if (nalType == AvcNal::SPS_NUT) {
        ProcessSpsNal();
    }
    const bool slice = IsSlice(nalType);
    if (slice) {
        m_PrevSlice = m_CurrSlice;
        ProcessSliceNal(nalType);
    }
    switch (m_CollectState) {
        case COLLECT_STATE_PREFIX_NAL:
            if (slice) {
                m_CollectState = COLLECT_STATE_PIC_NAL;
            }
            break;
        case COLLECT_STATE_SYNC:
        case COLLECT_STATE_PIC_NAL:
            if (IsPrefixNal(nalType)) {
                StartNewAu(length);
                m_CollectState = COLLECT_STATE_PREFIX_NAL;
            } else if (slice && SliceStartsNewPicture()) {
                StartNewAu(length);
                m_CollectState = COLLECT_STATE_PIC_NAL;
            }
            break;
    }
    // After an overflow a start code may have lost bytes it had before the reset.
    m_ScPositions.push_back(static_cast<unsigned int>(m_AuSize >= length ? m_AuSize - length : 0));
}

void AvcDefragmenter::ProcessSpsNal() {
    // Only the look-ahead is read: fields beyond it read as zeros.
    const XP::CBuffer payload(m_NalLookAhead + 1, m_LookAheadCount - 1);
    RbspReader reader(payload);
    const uint32_t profileIdc = reader.U(8);
    reader.U(8);  // constraint flags, reserved_zero_2bits
    reader.U(8);  // level_idc
    reader.Ue();  // seq_parameter_set_id
    m_Sps.currentSeparateColourPlaneFlag = false;
    if (AvcSps_t::HasChromaFormatInfo(profileIdc)) {
        const bool chroma444 = reader.Ue() == AvcSps_t::CHROMA_444;  // chroma_format_idc
        if (chroma444) {
            m_Sps.currentSeparateColourPlaneFlag = reader.GetBit();
        }
        reader.Ue();            // bit_depth_luma_minus8
        reader.Ue();            // bit_depth_chroma_minus8
        reader.GetBit();        // qpprime_y_zero_transform_bypass_flag
        if (reader.GetBit()) {  // seq_scaling_matrix_present_flag
            const unsigned int listCount = chroma444 ? 12 : 8;
            for (unsigned int i = 0; i < listCount; ++i) {
                if (reader.GetBit()) {
                    AvcScalingList_t::Skip(reader, i < 6 ? 16 : 64);
                }
            }
        }
    }
    m_Sps.log2MaxFrameNumMinus4 = Clamp8(reader.Ue());
    m_Sps.picOrderCntType = reader.Ue();
    if (m_Sps.picOrderCntType == 0) {
        m_Sps.log2MaxPicOrderCntLsbMinus4 = Clamp8(reader.Ue());
    } else if (m_Sps.picOrderCntType == 1) {
        reader.GetBit();  // delta_pic_order_always_zero_flag
        reader.Se();      // offset_for_non_ref_pic
        reader.Se();      // offset_for_top_to_bottom_field
        const uint32_t cycleLength = reader.Ue();
        for (uint64_t i = 0; i < cycleLength && reader.GetBitsRemaining() > 0; ++i) {
            reader.Se();  // offset_for_ref_frame
        }
    }
    reader.Ue();      // max_num_ref_frames
    reader.GetBit();  // gaps_in_frame_num_value_allowed_flag
    reader.Ue();      // pic_width_in_mbs_minus1
    reader.Ue();      // pic_height_in_map_units_minus1
    m_Sps.frameMbsOnlyFlag = reader.GetBit();
}

void AvcDefragmenter::ProcessSliceNal(unsigned int nalType) {
    const XP::CBuffer payload(m_NalLookAhead + 1, m_LookAheadCount - 1);
    RbspReader reader(payload);
    reader.Ue();  // first_mb_in_slice
    reader.Ue();  // slice_type
    reader.Ue();  // pic_parameter_set_id
    if (m_Sps.currentSeparateColourPlaneFlag) {
        reader.U(2);  // colour_plane_id
    }
    m_CurrSlice = AvcSlice_t();
    m_CurrSlice.frameNum = reader.U(m_Sps.log2MaxFrameNumMinus4 + 4);
    if (!m_Sps.frameMbsOnlyFlag && reader.GetBit()) {  // field_pic_flag
        reader.GetBit();                               // bottom_field_flag
    }
    if (nalType == AvcNal::IDR) {
        reader.Ue();  // idr_pic_id
    }
    if (m_Sps.picOrderCntType == 0) {
        m_CurrSlice.picOrderCntLsb = reader.U(m_Sps.log2MaxPicOrderCntLsbMinus4 + 4);
    }
}

bool AvcDefragmenter::SliceStartsNewPicture() const {
    if (m_CurrSlice.frameNum != m_PrevSlice.frameNum) {
        return true;
    }
    if (m_Sps.picOrderCntType != 0) {
        return false;
    }
    return m_CurrSlice.picOrderCntLsb != m_PrevSlice.picOrderCntLsb;
}

void AvcDefragmenter::StartNewAu(std::size_t scAndLookAheadLength) {
    // The unit ends where the start code just found begins. What was collected before the first
    // boundary is the tail of a unit whose start was never seen, and a unit of MIN_AU_SIZE bytes
    // or fewer cannot be a picture: both are dropped.
    const std::size_t auSize =
        m_AuSize > scAndLookAheadLength ? m_AuSize - scAndLookAheadLength : 0;
    if (m_CollectState != COLLECT_STATE_SYNC && auSize > MIN_AU_SIZE) {
        m_AuSize = auSize;
        const AvcAu au(m_AuBuf.Subslice(0, m_AuSize), m_CurrentAuPts, Pcr(), m_ScPositions);
        XP::DebugPrintf("AU Complete. Size: %zu\t PTS: %llu", m_AuSize,
                        static_cast<unsigned long long>(m_CurrentAuPts.GetValue()));
        m_Delegate(au);
    }
    m_CurrentAuPts = m_NextAuPts;
    m_NextAuPts.SetInvalid();

    // The new unit starts with the start code just found and the bytes looked ahead.
    unsigned char* buffer = m_AuBuf.GetBegin();
    std::size_t size = 0;
    if (!m_3ByteScFlag) {
        buffer[size++] = 0x00;
    }
    buffer[size++] = 0x00;
    buffer[size++] = 0x00;
    buffer[size++] = 0x01;
    std::copy(m_NalLookAhead, m_NalLookAhead + m_LookAheadCount, buffer + size);
    m_AuSize = size + m_LookAheadCount;
    m_ScPositions.clear();
}

}  // namespace Cmf
