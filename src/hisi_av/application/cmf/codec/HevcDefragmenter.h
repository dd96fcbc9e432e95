#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "hisi_av/application/cmf/clock/Pcr.h"
#include "hisi_av/application/cmf/codec/VideoDefragmenter.h"
#include "xptools/Slice.h"

namespace Cmf {

// Cuts an H.265 byte stream (Annex B) into access units. Bytes are copied once into a buffer of
// MAX_AU_SIZE; a per-byte state machine finds the start codes and takes the two NAL header bytes
// and the first payload byte after each. An access unit starts only at a 4-byte start code
// (00 00 00 01): with a VPS, SPS, PPS, access unit delimiter or prefix SEI after a picture's
// slices, or with a slice segment whose first_slice_segment_in_pic_flag is set. A 3-byte start
// code only records the unit's position.
//
// Each access unit goes to the subscribers as an HevcAu viewing the buffer, during PutFragment;
// a subscriber that keeps one clones it. It carries the PTS of the last fragment with a PTS that
// arrived before the unit was started. Collections of MIN_AU_SIZE bytes or fewer are dropped, as
// is everything before the first boundary; a unit that grows to MAX_AU_SIZE is dropped with a
// message and the search starts again.
//
// Threads: single-threaded; fed, subscribed and unsubscribed on one thread, which also runs the
// subscribers. A subscriber must not feed the defragmenter it is called from.
class HevcDefragmenter : public VideoDefragmenter {
public:
    static constexpr std::size_t MAX_AU_SIZE = 0x500000;
    static constexpr std::size_t MIN_AU_SIZE = 32;
    // NAL header (2 bytes) and first payload byte.
    static constexpr std::size_t NAL_BYTE_COUNT = 3;

    enum StartCodeState_e {
        SC_STATE_SC1,
        SC_STATE_SC2,
        SC_STATE_SC3,
        SC_STATE_SC4,
        SC_STATE_3B_SC_NAL_TYPE,
        SC_STATE_4B_SC_NAL_TYPE_0,
        SC_STATE_4B_SC_NAL_TYPE_1,
        SC_STATE_4B_SC_NAL_TYPE_2,
    };

    enum CollectState_e {
        COLLECT_STATE_SYNC = 0,
        COLLECT_STATE_PREFIX_NAL = 1,
        COLLECT_STATE_PIC_NAL = 2,
    };

    HevcDefragmenter();

    void PutFragment(const Fragment& fragment) override;

private:
    void PutByte(unsigned char byte);
    void ScanByte(unsigned char byte);
    void Process3ByteSc();
    void Process4ByteSc();
    void StartNewAu();
    void AppendPosition(std::size_t startCodeAndNalLength);
    unsigned int GetNalType() const { return (m_NalByte[0] >> 1) & 0x3F; }

    StartCodeState_e m_ScState;
    CollectState_e m_CollectState;
    XP::CBuffer m_AuBuf;
    std::size_t m_AuSize;
    Pcr m_CurrentAuPts;
    Pcr m_NextAuPts;
    std::vector<unsigned int> m_ScPositions;
    unsigned char m_NalByte[NAL_BYTE_COUNT];
};

}  // namespace Cmf
