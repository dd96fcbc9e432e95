#pragma once

#include <cstdint>

#include "hisi_av/application/cmf/anc/data/CcPacket.h"
#include "hisi_av/application/cmf/codec/AccessUnit.h"
#include "hisi_av/application/cmf/codec/VideoAccessUnit.h"
#include "hisi_av/application/cmf/internal/SharedScheduler.h"
#include "hisi_av/application/cmf/picture/VideoCodecInfo.h"
#include "xptools/Delegate.h"
#include "xptools/Functor.h"
#include "xptools/Schedule.h"
#include "xptools/SharedPtr.h"
#include "xptools/Uncopyable.h"

namespace Cmf {

// The last stage of the video chain: takes each access unit from a defragmenter, parses the
// sequence and picture syntax it needs and publishes four streams to its subscribers:
//   - the codec information, only when it changes;
//   - caption packets taken from the stream's user data;
//   - every access unit, annotated with the current codec information and its frame type;
//   - the video bit rate, every BITRATE_POLL_INTERVAL_MS.
// One derived class per codec implements PutAu; this base holds the subscriber lists and the
// bit-rate reporting.
//
// Lifetime of what is published: an access unit and the bytes of a caption packet view the
// defragmenter's buffer and are valid only during the call; a subscriber that keeps one clones
// it (CcPacket_t::Clone, AvcAu::Clone and siblings).
//
// Threads: PutAu and the access-unit, information and caption subscriptions belong to one thread
// (the caption pipeline's processing thread), which also runs those subscribers. The bit rate is
// calculated and published on the scheduler's thread ("CMF-SharedSched"): the bit-rate mutex
// (in Bitrate_t, with the calculator and the bit-rate subscribers) serialises that run with the
// bit-rate subscriptions, which may come from any thread, and with the destructor, so no bit-rate
// subscriber is called once the destructor has returned. The calculator's byte count is atomic:
// PutAu adds to it without the mutex. A bit-rate subscriber must not destroy the extractor or
// change bit-rate subscriptions from its call.
class VideoDataExtractor : private XP::CUncopyable {
public:
    static constexpr unsigned int BITRATE_POLL_INTERVAL_MS = 2000;

    using AuFunctor_t = XP::CFunctor<void(const VideoAccessUnit&)>;
    using InfoFunctor_t = XP::CFunctor<void(const VideoCodecInfo_t&)>;
    using BitrateFunctor_t = XP::CFunctor<void(unsigned long long)>;
    using CcPacketFunctor_t = XP::CFunctor<void(const CcPacket_t&)>;

    // Starts the bit-rate publication on `scheduler`, which must outlive the extractor.
    explicit VideoDataExtractor(SharedScheduler& scheduler = SharedScheduler::Instance());
    // Stops the bit-rate publication; a calculation in progress completes first.
    virtual ~VideoDataExtractor();

    // Processes one access unit; every publication happens before the call returns.
    virtual void PutAu(const AccessUnit& au) = 0;

    virtual void Subscribe(const AuFunctor_t& functor);
    virtual void Unsubscribe(const AuFunctor_t& functor);
    virtual void SubscribeInfo(const InfoFunctor_t& functor);
    virtual void UnsubscribeInfo(const InfoFunctor_t& functor);
    virtual void SubscribeVideoBitrate(const BitrateFunctor_t& functor);
    virtual void UnsubscribeVideoBitrate(const BitrateFunctor_t& functor);
    virtual void SubscribeCcPacket(const CcPacketFunctor_t& functor);
    virtual void UnsubscribeCcPacket(const CcPacketFunctor_t& functor);

    // Publishes the bits per second counted since the previous calculation to the bit-rate
    // subscribers (every time, changed or not). The scheduler runs it every
    // BITRATE_POLL_INTERVAL_MS; it may also be called directly from any thread.
    void CalculateBitrate();

protected:
    // Counts the bytes of an access unit for the bit rate (time is taken when the rate is
    // calculated).
    void CountBitrateBytes(uint64_t bytes);

    XP::CDelegate<void(const VideoAccessUnit&)> m_Delegate;
    XP::CDelegate<void(const VideoCodecInfo_t&)> m_InfoDelegate;
    XP::CDelegate<void(const CcPacket_t&)> m_CcPacketDelegate;

private:
    struct Bitrate_t;

    static void RunBitrate(const void* pBitrate);

    // Shared with the scheduled event, so that a run that already started when the extractor
    // goes finds its state (with the extractor's part cleared) instead of freed memory.
    XP::CSharedPtr<Bitrate_t> m_pBitrate;
    XP::CSchedule::CEvent m_BitrateEvent;
    SharedScheduler& m_Scheduler;
};

}  // namespace Cmf
