#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "stb/stb_module.h"
#include "xptools/Uncopyable.h"

namespace Kestrel {
namespace Fake {

// One call of the platform interface, as the fake saw it.
struct Call {
    uint64_t seq = 0;                // 1, 2, ... in the order the calls were served
    std::string function;            // e.g. "av_reset"
    std::vector<int64_t> args;       // scalar arguments in order: handles, enumerations, flags,
                                     // numbers (out-parameters are not arguments here)
    std::vector<std::string> texts;  // string arguments in order ("" for a null pointer)
    std::vector<uint8_t> record;     // copy of the record passed in, if any
    int64_t result = 0;              // what the call returned
    std::thread::id thread;          // the calling thread

    // The scalar argument at `index`; throws std::out_of_range past the end.
    int64_t Arg(std::size_t index) const { return args.at(index); }

    // The record passed in, as T; throws std::logic_error when the call carried no record of
    // that size.
    template <typename T>
    T Record() const {
        if (record.size() != sizeof(T)) {
            throw std::logic_error(function + ": record of " + std::to_string(record.size()) +
                                   " bytes, asked for " + std::to_string(sizeof(T)));
        }
        T value;
        std::memcpy(&value, record.data(), sizeof(T));
        return value;
    }
};

// A scripted implementation of the platform C interface (stb/stb_module.h) for tests.
//
// Every call of the interface is journalled (function, scalar arguments, strings, a copy of the
// record passed in, result, calling thread) and answered from a script the test programs:
// results per function (always, or for the n-th call), the handles handed out, the records and
// values the getters fill in, transport-stream chunks, decoded PCM and properties. Records the
// daemon sets (program settings, sync attributes, display settings, caption attributes) are
// kept, so a get after a set reads back what was set, as on the board.
//
// Results: a call returns its programmed result when one is programmed and non-zero; it then
// writes no out-parameter and consumes nothing queued. A programmed 0, or none, lets the call
// do its work: 0 for the status operations, the byte count for av_get_ts_buffer, 0 or -1 for
// second_audio_decoder_service. SetResultOnCall beats SetResult, so "fail always, except the
// third call" is two lines.
//
// Installation: a test creates one Platform (usually a fixture member); while it lives the C
// functions reach it. Without one they reach a built-in instance with the default script, so a
// program linked with the fake runs.
//
// Threads: every method and every C function may be called from any thread. m_Mutex guards the
// script, the journal and the event queue; each call is served whole under it, so the journal
// order is the order in which the calls took effect. Event callbacks run on the fake's own event
// thread ("FakeStbEvents", started by the first event, joined by the destructor) with no lock
// held, so a callback may call the platform again. Console messages are printed after the lock
// is released. Destroy the Platform only after every thread that calls the platform is joined.
class Platform : private XP::CUncopyable {
public:
    // Error codes of the fake itself, for calls it cannot serve (null pointers, channels out of
    // range). Programmed results are whatever the test chooses.
    static constexpr uint32_t ERR_NULL_POINTER = 0xFA000001u;
    static constexpr uint32_t ERR_INVALID_ARGUMENT = 0xFA000002u;
    // The journal keeps at most this many calls; later ones are counted in DroppedCalls.
    static constexpr std::size_t JOURNAL_CEILING = 100000;
    // Queued transport-stream chunks and PCM blocks, each.
    static constexpr std::size_t QUEUE_CEILING = 4096;
    // How long second_audio_decoder_service waits for PCM before it answers -1, like a decoder
    // read with a short time-out (the daemon calls it in a tight loop). Real time.
    static constexpr unsigned SERVICE_WAIT_MS = 10;

    // Installs this Platform; throws std::logic_error while another one is installed.
    Platform();
    ~Platform();

    // The installed Platform, else the built-in one.
    static Platform& Current();

    // Forgets the journal, the programmed results and everything handed out: back to the
    // default script. Registered callbacks are forgotten too.
    void Reset();

    // ---- Journal ----
    std::vector<Call> Journal() const;
    std::vector<Call> Calls(const std::string& function) const;
    // The last call of `function`; throws std::logic_error when there was none.
    Call Last(const std::string& function) const;
    std::size_t Count(const std::string& function) const;
    // Function names in call order.
    std::vector<std::string> Functions() const;
    void ClearJournal();
    uint64_t DroppedCalls() const;

    // ---- Results ----
    // Every call of `function` returns `result` (see above for 0). Unknown names throw
    // std::invalid_argument, so a misspelt name cannot pass silently.
    void SetResult(const std::string& function, int64_t result);
    // The n-th call (1-based, counted since construction or Reset) returns `result`.
    void SetResultOnCall(const std::string& function, unsigned n, int64_t result);

    // ---- What the fake hands out ----
    // The handle written by av_create, vout_open_channel, vout_window_create, aout_open,
    // aout_track_create or subtitle_create. Defaults: 0x100, 0x200, 0x300, 0x400, 0x500, 0x600.
    void SetHandle(const std::string& function, HANDLE handle);
    HANDLE Handle(const std::string& function) const;
    void SetStatus(const AV_STATUS_S& status);         // av_get_status_info
    void SetConfig(const AV_SETTING_S& config);        // av_get_config
    void SetSyncAttr(const AV_SYNC_ATTR_S& attr);      // av_get_sync
    void SetStreamInfo(const AV_STREAM_INFO_S& info);  // av_get_stream_info
    void SetBufferStat(const AV_BUFFER_STAT_S& stat, bool videoStarted,
                       bool audioStarted);                               // av_get_buffer_stat
    void SetPts(AV_SYNC_PTS_CHAN_E channel, int64_t pts);                // av_get_current_pts
    void SetDisplaySettings(const VOUT_DISPSETTING_S& settings);         // vout_display_get
    void SetCaptionAttr(const CAPTION_CC_ATTR_S& attr);                  // cc_getAttr
    void SetProperty(const std::string& key, const std::string& value);  // system_get_property
    // One chunk for one av_get_ts_buffer call, which copies as much as the caller has room for
    // and returns that count. False when QUEUE_CEILING chunks are waiting.
    bool PushTsChunk(std::vector<uint8_t> bytes);
    // One decode for second_audio_decoder_service. False when QUEUE_CEILING blocks are
    // waiting or the block exceeds SECOND_AUDIO_PCM_MAX_BYTES.
    bool PushPcm(std::vector<uint8_t> pcm, uint32_t pts);
    std::size_t PendingTsChunks() const;
    std::size_t PendingPcm() const;

    // ---- Events ----
    // Delivers `event` with a copy of `frameInfo` to the callback registered for `hAv` (by
    // av_set_event_config with bEnableCallback set), on the event thread, and waits until the
    // callback has returned. False when no enabled callback is registered for the handle (or
    // when called from a callback, which would wait for itself).
    bool FireEvent(HANDLE hAv, AV_EVENT_E event, const AV_VID_FRAMEINFO_S& frameInfo);
    // The same without waiting; events are delivered in the order posted.
    void PostEvent(HANDLE hAv, AV_EVENT_E event, const AV_VID_FRAMEINFO_S& frameInfo);
    // Waits until every posted event has been delivered.
    void WaitForEvents();
    // The event thread's id (a default id until the first event).
    std::thread::id EventThreadId() const;

private:
    friend struct Access;

    struct PcmBlock {
        std::vector<uint8_t> bytes;
        uint32_t pts;
    };
    // What the calls read and write besides the journal.
    struct Script {
        Script();
        std::map<std::string, HANDLE> handles;
        AV_STATUS_S status;
        AV_SETTING_S config;
        AV_SYNC_ATTR_S syncAttr;
        AV_STREAM_INFO_S streamInfo;
        AV_BUFFER_STAT_S bufferStat;
        bool videoStarted;
        bool audioStarted;
        int64_t pts[AV_SYNC_PTS_CHAN_BUTT];
        VOUT_DISPSETTING_S display;
        CAPTION_CC_ATTR_S captionAttr;
        std::map<std::string, std::string> properties;
        std::deque<std::vector<uint8_t>> tsChunks;
        std::deque<PcmBlock> pcm;
        std::map<HANDLE, AV_EVENT_CONFIG_PARAMS_S> callbacks;
        uint32_t secondAudioAvail;
    };
    struct PendingEvent {
        HANDLE hAv;
        AV_EVENT_E event;
        AV_VID_FRAMEINFO_S frameInfo;
        std::shared_ptr<std::promise<bool>> delivered;  // null for posted events
    };

    struct BuiltIn {};
    explicit Platform(BuiltIn);

    void CheckKnown(const std::string& function) const;
    void Post(PendingEvent event);
    void EventLoop();

    mutable std::mutex m_Mutex;
    Script m_Script;
    std::map<std::string, int64_t> m_Results;
    std::map<std::string, std::map<unsigned, int64_t>> m_ResultsOnCall;
    std::map<std::string, unsigned> m_CallCounts;
    std::vector<Call> m_Journal;
    uint64_t m_Seq = 0;
    uint64_t m_Dropped = 0;
    std::condition_variable m_PcmArrived;

    std::deque<PendingEvent> m_Events;
    uint64_t m_EventsPosted = 0;
    uint64_t m_EventsDone = 0;
    bool m_StopEvents = false;
    std::condition_variable m_EventsChanged;
    std::thread m_EventThread;
    std::thread::id m_EventThreadId;

    bool m_Installed;
};

}  // namespace Fake
}  // namespace Kestrel
