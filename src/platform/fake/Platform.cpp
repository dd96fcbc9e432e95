#include "platform/fake/Platform.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>

#include "xptools/Print.h"

namespace Kestrel {
namespace Fake {

namespace {

// Every operation of the interface, by the name the journal uses.
const char* const kFunctions[] = {
    "system_init",
    "system_deinit",
    "system_get_property",
    "system_set_static_network",
    "system_upgrade",
    "av_init",
    "av_create",
    "av_prepare",
    "av_destory",
    "av_deinit",
    "av_set_config",
    "av_get_config",
    "av_start",
    "av_stop",
    "av_stop_audio",
    "av_stop_video",
    "av_reset",
    "av_get_sync",
    "av_set_sync",
    "av_set_inject_packet_num",
    "av_set_event_config",
    "av_get_status_info",
    "av_get_current_pts",
    "av_get_stream_info",
    "av_get_buffer_stat",
    "av_set_pause_time",
    "av_get_ts_buffer",
    "vout_init",
    "vout_open_channel",
    "vout_display_get",
    "vout_display_set",
    "vout_window_create",
    "vout_window_attach_input",
    "vout_window_detach_input",
    "vout_window_open",
    "vout_window_close",
    "vout_window_destroy",
    "vout_close_channel",
    "vout_deinit",
    "aout_init",
    "aout_open",
    "aout_track_create",
    "aout_track_attach_input",
    "aout_track_detach_input",
    "aout_track_destroy",
    "aout_close",
    "aout_deinit",
    "aout_set_volume",
    "aout_set_mute",
    "aout_set_digital_mode",
    "aout_set_channel_mode",
    "cc_init",
    "cc_creat",
    "cc_set_window",
    "cc_start",
    "cc_getAttr",
    "cc_setAttr",
    "cc_stop",
    "cc_destroy",
    "cc_deinit",
    "cc_show_subtitle_enable",
    "cc_send_VBI_enable",
    "subtitle_init",
    "subtitle_create",
    "subtitle_set_params",
    "subtitle_start_decoding",
    "subtitle_show",
    "subtitle_hide",
    "subtitle_stop_decoding",
    "subtitle_destory",
    "subtitle_deinit",
    "second_audio_decoder_init",
    "second_audio_decoder_service_init",
    "second_audio_decoder_service",
    "second_audio_decoder_check_avail",
    "second_audio_decoder_free",
    "second_audio_decoder_set_audio_pid",
    "second_audio_decoder_set_audio_volume",
    "second_audio_decoder_set_audio_output_state",
    "second_audio_decoder_set_video_type",
    "second_audio_decoder_set_avail",
};

// Functions that hand out a handle, with the handle they give by default.
const std::pair<const char*, HANDLE> kDefaultHandles[] = {
    {"av_create", 0x100}, {"vout_open_channel", 0x200}, {"vout_window_create", 0x300},
    {"aout_open", 0x400}, {"aout_track_create", 0x500}, {"subtitle_create", 0x600},
};

std::atomic<Platform*> g_Installed{nullptr};

}  // namespace

Platform::Script::Script()
    : status(),
      config(),
      syncAttr(),
      streamInfo(),
      bufferStat(),
      videoStarted(false),
      audioStarted(false),
      pts(),
      display(),
      captionAttr(),
      secondAudioAvail(0) {
    for (const auto& entry : kDefaultHandles) {
        handles[entry.first] = entry.second;
    }
}

Platform::Platform() : m_Installed(false) {
    Platform* expected = nullptr;
    if (!g_Installed.compare_exchange_strong(expected, this)) {
        throw std::logic_error("fake platform: another Platform is installed already");
    }
    m_Installed = true;
}

Platform::Platform(BuiltIn) : m_Installed(false) {}

Platform::~Platform() {
    if (m_Installed) {
        g_Installed.store(nullptr);
    }
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_StopEvents = true;
    }
    m_EventsChanged.notify_all();
    if (m_EventThread.joinable()) {
        m_EventThread.join();
    }
}

Platform& Platform::Current() {
    Platform* installed = g_Installed.load();
    if (installed != nullptr) {
        return *installed;
    }
    static Platform builtIn{BuiltIn{}};
    return builtIn;
}

void Platform::Reset() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Script = Script();
    m_Results.clear();
    m_ResultsOnCall.clear();
    m_CallCounts.clear();
    m_Journal.clear();
    m_Seq = 0;
    m_Dropped = 0;
}

std::vector<Call> Platform::Journal() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Journal;
}

std::vector<Call> Platform::Calls(const std::string& function) const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    std::vector<Call> calls;
    for (const Call& call : m_Journal) {
        if (call.function == function) {
            calls.push_back(call);
        }
    }
    return calls;
}

Call Platform::Last(const std::string& function) const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    auto it = std::find_if(m_Journal.rbegin(), m_Journal.rend(),
                           [&](const Call& call) { return call.function == function; });
    if (it == m_Journal.rend()) {
        throw std::logic_error("fake platform: no call of " + function + " in the journal");
    }
    return *it;
}

std::size_t Platform::Count(const std::string& function) const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return static_cast<std::size_t>(
        std::count_if(m_Journal.begin(), m_Journal.end(),
                      [&](const Call& call) { return call.function == function; }));
}

std::vector<std::string> Platform::Functions() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    std::vector<std::string> names;
    names.reserve(m_Journal.size());
    for (const Call& call : m_Journal) {
        names.push_back(call.function);
    }
    return names;
}

void Platform::ClearJournal() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Journal.clear();
}

uint64_t Platform::DroppedCalls() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Dropped;
}

void Platform::CheckKnown(const std::string& function) const {
    for (const char* known : kFunctions) {
        if (function == known) {
            return;
        }
    }
    throw std::invalid_argument("fake platform: no operation named \"" + function + "\"");
}

void Platform::SetResult(const std::string& function, int64_t result) {
    CheckKnown(function);
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Results[function] = result;
}

void Platform::SetResultOnCall(const std::string& function, unsigned n, int64_t result) {
    CheckKnown(function);
    if (n == 0) {
        throw std::invalid_argument("fake platform: calls are counted from 1");
    }
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_ResultsOnCall[function][n] = result;
}

void Platform::SetHandle(const std::string& function, HANDLE handle) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    auto it = m_Script.handles.find(function);
    if (it == m_Script.handles.end()) {
        throw std::invalid_argument("fake platform: " + function + " hands out no handle");
    }
    it->second = handle;
}

HANDLE Platform::Handle(const std::string& function) const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    auto it = m_Script.handles.find(function);
    if (it == m_Script.handles.end()) {
        throw std::invalid_argument("fake platform: " + function + " hands out no handle");
    }
    return it->second;
}

void Platform::SetStatus(const AV_STATUS_S& status) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Script.status = status;
}

void Platform::SetConfig(const AV_SETTING_S& config) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Script.config = config;
}

void Platform::SetSyncAttr(const AV_SYNC_ATTR_S& attr) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Script.syncAttr = attr;
}

void Platform::SetStreamInfo(const AV_STREAM_INFO_S& info) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Script.streamInfo = info;
}

void Platform::SetBufferStat(const AV_BUFFER_STAT_S& stat, bool videoStarted, bool audioStarted) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Script.bufferStat = stat;
    m_Script.videoStarted = videoStarted;
    m_Script.audioStarted = audioStarted;
}

void Platform::SetPts(AV_SYNC_PTS_CHAN_E channel, int64_t pts) {
    if (channel < AV_SYNC_PTS_CHAN_VID || channel >= AV_SYNC_PTS_CHAN_BUTT) {
        throw std::invalid_argument("fake platform: no PTS channel " + std::to_string(channel));
    }
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Script.pts[channel] = pts;
}

void Platform::SetDisplaySettings(const VOUT_DISPSETTING_S& settings) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Script.display = settings;
}

void Platform::SetCaptionAttr(const CAPTION_CC_ATTR_S& attr) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Script.captionAttr = attr;
}

void Platform::SetProperty(const std::string& key, const std::string& value) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Script.properties[key] = value;
}

bool Platform::PushTsChunk(std::vector<uint8_t> bytes) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_Script.tsChunks.size() >= QUEUE_CEILING) {
        return false;
    }
    m_Script.tsChunks.push_back(std::move(bytes));
    return true;
}

bool Platform::PushPcm(std::vector<uint8_t> pcm, uint32_t pts) {
    if (pcm.size() > SECOND_AUDIO_PCM_MAX_BYTES) {
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_Script.pcm.size() >= QUEUE_CEILING) {
            return false;
        }
        m_Script.pcm.push_back(PcmBlock{std::move(pcm), pts});
    }
    m_PcmArrived.notify_all();
    return true;
}

std::size_t Platform::PendingTsChunks() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Script.tsChunks.size();
}

std::size_t Platform::PendingPcm() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Script.pcm.size();
}

bool Platform::FireEvent(HANDLE hAv, AV_EVENT_E event, const AV_VID_FRAMEINFO_S& frameInfo) {
    if (std::this_thread::get_id() == EventThreadId()) {
        XP::MyPrintf("fake platform: FireEvent from an event callback would wait for itself");
        return false;
    }
    auto delivered = std::make_shared<std::promise<bool>>();
    std::future<bool> done = delivered->get_future();
    Post(PendingEvent{hAv, event, frameInfo, delivered});
    return done.get();
}

void Platform::PostEvent(HANDLE hAv, AV_EVENT_E event, const AV_VID_FRAMEINFO_S& frameInfo) {
    Post(PendingEvent{hAv, event, frameInfo, nullptr});
}

void Platform::WaitForEvents() {
    std::unique_lock<std::mutex> lock(m_Mutex);
    m_EventsChanged.wait(lock, [this] { return m_EventsDone == m_EventsPosted; });
}

std::thread::id Platform::EventThreadId() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_EventThreadId;
}

void Platform::Post(PendingEvent event) {
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (!m_EventThread.joinable()) {
            m_EventThread = std::thread(&Platform::EventLoop, this);
            m_EventThreadId = m_EventThread.get_id();
        }
        m_Events.push_back(std::move(event));
        ++m_EventsPosted;
    }
    m_EventsChanged.notify_all();
}

void Platform::EventLoop() {
    pthread_setname_np(pthread_self(), "FakeStbEvents");
    std::unique_lock<std::mutex> lock(m_Mutex);
    for (;;) {
        m_EventsChanged.wait(lock, [this] { return m_StopEvents || !m_Events.empty(); });
        if (m_Events.empty()) {
            return;  // stopping, and everything posted was delivered
        }
        PendingEvent event = std::move(m_Events.front());
        m_Events.pop_front();
        AV_CALLBACK_PFN_T callback = nullptr;
        auto it = m_Script.callbacks.find(event.hAv);
        if (it != m_Script.callbacks.end() && it->second.bEnableCallback) {
            callback = it->second.pfnCallback;
        }
        lock.unlock();
        if (callback != nullptr) {
            callback(event.hAv, event.event, &event.frameInfo);
        } else {
            XP::MyPrintf("fake platform: no event callback registered for handle %#x",
                         static_cast<unsigned>(event.hAv));
        }
        if (event.delivered) {
            event.delivered->set_value(callback != nullptr);
        }
        lock.lock();
        ++m_EventsDone;
        m_EventsChanged.notify_all();
    }
}

}  // namespace Fake
}  // namespace Kestrel
