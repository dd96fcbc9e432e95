#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/host/HostClock.h"
#include "platform/host/HostTsTap.h"
#include "stb/stb_av.h"
#include "xptools/Thread.h"
#include "xptools/Uncopyable.h"

struct AVCodecParserContext;
struct AVCodecContext;

namespace Kestrel {
namespace Host {

// The decoder model behind one AV handle. It follows the configured PCR, video and audio PIDs
// of the received stream (as a TS tap): a system time clock locks to the PCR (CHostClock), the
// video and audio access units are cut out of their PES packets with FFmpeg's parsers (no
// picture or sample decoding) and queued by PTS, and the presentation thread "outputs" each unit
// when the clock reaches its PTS: that advances the displayed-picture or audio frame count and
// the PTS channel, and for pictures raises AV_VID_EVT_NEW_PICTURE_DECODED with the frame's
// description to the registered callback.
//
// A unit more than a second late, or further than MAX_LEAD ahead of the clock, is dropped and
// counted as not decoded; a clock re-lock or an input discontinuity empties the queues. A stream
// that stops for a second reports its decoder as stopped with zero rate and size until it comes
// back.
//
// Threads: OnTs/OnDiscontinuity run on the input thread, the presentation thread
// (CThread "host.present") runs from construction to destruction and delivers the events, the
// control calls and queries come from any thread. m_Mutex guards all state; the event callback
// is called without it held, in output order.
class CHostPlayer : public ITsTap, private XP::CUncopyable {
public:
    static constexpr uint32_t VIDEO_ES_BUFFER = 16 * 1024 * 1024;
    static constexpr uint32_t AUDIO_ES_BUFFER = 1024 * 1024;
    static constexpr int64_t MAX_LEAD = 10 * PTS_HZ;
    static constexpr size_t MAX_QUEUED_UNITS = 1000;
    // Events not yet delivered when the callback is slow; the oldest go first.
    static constexpr size_t MAX_PENDING_EVENTS = 100;

    explicit CHostPlayer(HANDLE handle);
    ~CHostPlayer() override;

    HANDLE GetHandle() const { return m_Handle; }

    void SetConfig(const AV_SETTING_S& setting);
    AV_SETTING_S GetConfig() const;
    // Starts the streams whose PIDs and types are usable; nonzero when neither is.
    uint32_t Start();
    void Stop();
    void StopAudio();
    void StopVideo();
    // Empties the queues and counts and lets the clock re-lock; started streams stay started.
    void Reset();
    void PauseFor(uint32_t microseconds);
    void SetEventConfig(const AV_EVENT_CONFIG_PARAMS_S& config);

    // The player's part of the status (TS buffer fields are the caller's).
    // The queries first output what is due at this instant, so counts and PTS channels follow
    // the clock exactly, as a display does on its own; only the event waits for the thread.
    void GetStatus(AV_STATUS_S& status);
    // False when the channel has no value yet.
    bool GetPts(AV_SYNC_PTS_CHAN_E channel, int64_t& pts);
    void GetBufferStat(AV_BUFFER_STAT_S& stat, bool& videoStarted, bool& audioStarted);

    void OnTs(const uint8_t* data, size_t size) override;
    void OnDiscontinuity() override;

private:
    struct Unit {
        uint32_t size = 0;
        int width = 0;
        int height = 0;
        int fieldOrder = 0;  // AVFieldOrder
        int format = -1;     // AVPixelFormat
    };

    struct Es {
        bool video = false;
        uint16_t pid = TS_NULL_PID_VALUE;
        bool started = false;
        int codecId = 0;  // AVCodecID, 0 when the type has no parser
        AVCodecParserContext* parser = nullptr;
        AVCodecContext* context = nullptr;
        bool inPes = false;
        bool seenKey = false;  // video: a random access point was found since the last flush
        int64_t pesPts = -1;   // PTS of the PES whose bytes are fed next, -1 once used
        int lastCc = -1;
        std::multimap<int64_t, Unit> queue;  // by unwrapped PTS
        size_t queuedBytes = 0;
        int64_t nextPts = -1;  // extrapolated PTS of a unit without one (unwrapped)
        uint32_t outputCount = 0;
        uint32_t packetCount = 0;
        uint32_t dropped = 0;
        int64_t lastPts = -1;  // 33-bit
        int64_t firstPts = -1;
        int64_t period = 0;  // 90 kHz, of one unit
        uint64_t lastOutputNs = 0;
        bool active = false;
        // Last output unit's description.
        Unit last;
        // Measured bit rate.
        uint64_t rateBytes = 0;
        uint64_t rateStartNs = 0;
        uint32_t bps = 0;
    };

    static constexpr uint16_t TS_NULL_PID_VALUE = 0x1FFF;

    bool PresentStep();
    // Outputs every unit whose time has come, queueing the new-picture events; returns the
    // milliseconds until the next unit is due (at most 10).
    uint64_t PresentDueLocked(uint64_t nowNs);
    void OpenParser(Es& es, int codecId);
    void CloseParser(Es& es);
    void Flush(Es& es);
    void ClearCounts(Es& es);
    void HandlePacket(const uint8_t* p, uint64_t nowNs);
    void FeedEs(Es& es, const uint8_t* data, size_t size, uint64_t nowNs);
    void QueueUnit(Es& es, int64_t rawPts, uint32_t size, uint64_t nowNs);
    void FillFrameInfo(const Es& es, int64_t pts, AV_VID_FRAMEINFO_S& info) const;
    void FrameRate(const Es& es, uint32_t& integer, uint32_t& thousandths) const;
    bool IsActive(const Es& es) const;
    const char* Name(const Es& es) const { return es.video ? "video" : "audio"; }

    const HANDLE m_Handle;
    mutable std::mutex m_Mutex;
    AV_SETTING_S m_Setting{};
    bool m_Playing = false;
    CHostClock m_Clock;
    uint64_t m_LastPcrNs = 0;
    Es m_Video;
    Es m_Audio;
    AV_EVENT_CONFIG_PARAMS_S m_Event{};
    uint32_t m_EventSkipCounter = 0;
    std::vector<AV_VID_FRAMEINFO_S> m_PendingEvents;
    XP::CThread m_Thread;
};

}  // namespace Host
}  // namespace Kestrel
