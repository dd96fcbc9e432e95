#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "hisi_av/application/cmf/clock/Pcr.h"
#include "hisi_av/application/cmf/codec/VideoDefragmenter.h"
#include "xptools/Slice.h"

namespace Cmf {

// Cuts an H.262 elementary stream into access units. Bytes are copied once into a buffer of
// MAX_AU_SIZE; a per-byte state machine finds the 00 00 01 start codes. Slices are the picture
// part; every other header (sequence, group, picture, extension, user data, sequence end) is a
// prefix: the first prefix header after slices starts a new access unit, so a unit holds the
// headers that lead up to a picture and the picture's slices.
//
// Each access unit goes to the subscribers as an Mpeg2VideoAu viewing the buffer, during
// PutFragment; a subscriber that keeps one clones it. It carries the PTS of the last fragment
// with a PTS that arrived before the unit was started. Collections of MIN_AU_SIZE bytes or fewer
// are dropped, as is everything before the first boundary; a unit that grows to MAX_AU_SIZE is
// dropped with a message and the search starts again.
//
// Threads: single-threaded; fed, subscribed and unsubscribed on one thread, which also runs the
// subscribers. A subscriber must not feed the defragmenter it is called from.
class Mpeg2VideoDefragmenter : public VideoDefragmenter {
public:
    static constexpr std::size_t MAX_AU_SIZE = 0x500000;
    static constexpr std::size_t MIN_AU_SIZE = 200;

    enum StartCodeState_e {
        SC_STATE_SC1,
        SC_STATE_SC2,
        SC_STATE_SC3,
        SC_STATE_FOUND_SC,
    };

    enum CollectState_e {
        COLLECT_STATE_SYNC = 0,
        COLLECT_STATE_PREFIX_HEADER = 1,
        COLLECT_STATE_PIC_HEADER = 2,
    };

    Mpeg2VideoDefragmenter();

    void PutFragment(const Fragment& fragment) override;

private:
    void PutByte(unsigned char byte);
    void ScanByte(unsigned char byte);
    void ProcessSc();
    void StartNewAu();
    void ResetAfterOverflow();

    StartCodeState_e m_ScState;
    CollectState_e m_CollectState;
    XP::CBuffer m_AuBuf;
    std::size_t m_AuSize;
    Pcr m_CurrentAuPts;
    Pcr m_NextAuPts;
    std::vector<unsigned int> m_ScPositions;
    uint8_t m_ScTypeVal;
};

}  // namespace Cmf
