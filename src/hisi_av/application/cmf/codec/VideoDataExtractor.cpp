#include "hisi_av/application/cmf/codec/VideoDataExtractor.h"

#include <memory>

#include "hisi_av/application/cmf/clock/BitrateCalculator.h"
#include "xptools/Mutex.h"
#include "xptools/MutexLock.h"

namespace Cmf {

// The bit-rate state the scheduled event and the extractor share. The extractor's destructor
// releases the calculator and forgets the subscribers under `mutex`; a run that was already under
// way when the event was cancelled then finds nothing to publish.
struct VideoDataExtractor::Bitrate_t {
    XP::CMutex mutex{"VideoDataExtractor bit rate"};
    std::unique_ptr<BitrateCalculator> pCalculator{new BitrateCalculator()};
    XP::CDelegate<void(unsigned long long)> delegate;
};

VideoDataExtractor::VideoDataExtractor(SharedScheduler& scheduler)
    : m_pBitrate(new Bitrate_t()), m_Scheduler(scheduler) {
    // The event holds its own reference to the shared state (an owning functor target).
    const XP::CFunctor<void()> functor(&VideoDataExtractor::RunBitrate,
                                       XP::CSharedPtr<const void>(m_pBitrate));
    m_BitrateEvent = m_Scheduler.ScheduleEvent(functor, BITRATE_POLL_INTERVAL_MS, true);
}

VideoDataExtractor::~VideoDataExtractor() {
    XP::CMutexLock lock(m_pBitrate->mutex);
    m_Scheduler.CancelEvent(m_BitrateEvent);
    m_pBitrate->pCalculator.reset();
    m_pBitrate->delegate = XP::CDelegate<void(unsigned long long)>();
}

void VideoDataExtractor::RunBitrate(const void* pBitrate) {
    Bitrate_t& bitrate = *static_cast<Bitrate_t*>(const_cast<void*>(pBitrate));
    XP::CMutexLock lock(bitrate.mutex);
    if (bitrate.pCalculator) {
        bitrate.delegate(bitrate.pCalculator->CalculateBitrate());
    }
}

void VideoDataExtractor::CalculateBitrate() {
    RunBitrate(m_pBitrate.GetRawPtr());
}

void VideoDataExtractor::CountBitrateBytes(uint64_t bytes) {
    // Only the destructor clears the calculator, and it does not run during PutAu.
    m_pBitrate->pCalculator->AddBytes(bytes);
}

void VideoDataExtractor::Subscribe(const AuFunctor_t& functor) {
    m_Delegate += functor;
}

void VideoDataExtractor::Unsubscribe(const AuFunctor_t& functor) {
    m_Delegate -= functor;
}

void VideoDataExtractor::SubscribeInfo(const InfoFunctor_t& functor) {
    m_InfoDelegate += functor;
}

void VideoDataExtractor::UnsubscribeInfo(const InfoFunctor_t& functor) {
    m_InfoDelegate -= functor;
}

void VideoDataExtractor::SubscribeVideoBitrate(const BitrateFunctor_t& functor) {
    XP::CMutexLock lock(m_pBitrate->mutex);
    m_pBitrate->delegate += functor;
}

void VideoDataExtractor::UnsubscribeVideoBitrate(const BitrateFunctor_t& functor) {
    XP::CMutexLock lock(m_pBitrate->mutex);
    m_pBitrate->delegate -= functor;
}

void VideoDataExtractor::SubscribeCcPacket(const CcPacketFunctor_t& functor) {
    m_CcPacketDelegate += functor;
}

void VideoDataExtractor::UnsubscribeCcPacket(const CcPacketFunctor_t& functor) {
    m_CcPacketDelegate -= functor;
}

}  // namespace Cmf
