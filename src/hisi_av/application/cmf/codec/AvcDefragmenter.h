#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "hisi_av/application/cmf/clock/Pcr.h"
#include "hisi_av/application/cmf/codec/VideoDefragmenter.h"
#include "xptools/Slice.h"

namespace Cmf {

// Cuts an H.264 byte stream (Annex B) into access units. Bytes are copied once into a buffer of
// MAX_AU_SIZE; a per-byte state machine finds the start codes. The NAL header and, for slices and
// sequence parameter sets, the next 17 bytes are held in a look-ahead, from which the few fields
// that decide a picture boundary are read (H.264 7.4.1.2.3, 7.4.1.2.4): after a picture's slices,
// any NAL unit but a slice, filler data or an end of sequence or stream, or a slice whose
// frame_num or pic_order_cnt_lsb differs from the previous slice's, starts a new access unit.
//
// Each access unit goes to the subscribers as an AvcAu viewing the buffer, during PutFragment;
// a subscriber that keeps one clones it. It carries the PTS of the last fragment with a PTS that
// arrived before the unit was started. Collections of MIN_AU_SIZE bytes or fewer are dropped, as
// is everything before the first boundary; a unit that grows to MAX_AU_SIZE is dropped with a
// message and the search starts again.
//
// Threads: single-threaded; fed, subscribed and unsubscribed on one thread, which also runs the
// subscribers. A subscriber must not feed the defragmenter it is called from.
class AvcDefragmenter : public VideoDefragmenter {
public:
    static constexpr std::size_t MAX_AU_SIZE = 0x500000;
    static constexpr std::size_t MIN_AU_SIZE = 32;
    static constexpr std::size_t MAX_LOOKAHEAD_COUNT = 18;

    enum StartCodeState_e {
        SC_STATE_SC1,
        SC_STATE_SC2,
        SC_STATE_SC3,
        SC_STATE_SC4,
        SC_STATE_NAL_TYPE,
        SC_STATE_LOOKAHEAD,
    };

    enum CollectState_e {
        COLLECT_STATE_SYNC = 0,
        COLLECT_STATE_PREFIX_NAL = 1,
        COLLECT_STATE_PIC_NAL = 2,
    };

    // The SPS fields the slice header start depends on.
    struct AvcSpsParam_t {
        uint32_t picOrderCntType = 0;
        bool currentSeparateColourPlaneFlag = false;
        uint32_t log2MaxFrameNumMinus4 = 0;
        uint32_t log2MaxPicOrderCntLsbMinus4 = 0;
        bool frameMbsOnlyFlag = true;
    };

    // The slice fields that tell pictures apart.
    struct AvcSlice_t {
        uint32_t frameNum = 0;
        uint32_t picOrderCntLsb = 0;
    };

    AvcDefragmenter();

    void PutFragment(const Fragment& fragment) override;

private:
    void PutByte(unsigned char byte);
    // Runs the start-code state machine on one byte; false when the byte must be taken again
    // from SC_STATE_SC1 (it ended a look-ahead).
    bool ScanByte(unsigned char byte);
    void ProcessSc();
    void ProcessSpsNal();
    void ProcessSliceNal(unsigned int nalType);
    bool SliceStartsNewPicture() const;
    void StartNewAu(std::size_t scAndLookAheadLength);
    void ResetAfterOverflow();

    StartCodeState_e m_ScState;
    CollectState_e m_CollectState;
    XP::CBuffer m_AuBuf;
    std::size_t m_AuSize;
    Pcr m_CurrentAuPts;
    Pcr m_NextAuPts;
    std::vector<unsigned int> m_ScPositions;

    unsigned char m_NalLookAhead[MAX_LOOKAHEAD_COUNT];
    std::size_t m_LookAheadCount;
    bool m_3ByteScFlag;
    AvcSpsParam_t m_Sps;
    AvcSlice_t m_CurrSlice;
    AvcSlice_t m_PrevSlice;
};

}  // namespace Cmf
