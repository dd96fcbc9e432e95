// The C functions of the platform interface, served by the installed fake Platform.

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/Platform.h"
#include "stb/stb_module.h"
#include "xptools/Print.h"

namespace Kestrel {
namespace Fake {

// The one way the C functions reach a Platform's insides.
struct Access {
    // What one call brings in, for the journal.
    struct In {
        std::vector<int64_t> args;
        std::vector<std::string> texts;
        const void* record = nullptr;
        std::size_t recordSize = 0;
    };

    // Serves one call of `function`: picks its result (programmed, or what `work` returns when
    // it is to do its work), journals it, and prints the complaint `work` left, if any, once
    // the lock is released. `work(script, complaint)` runs under the lock.
    template <typename Work>
    static int64_t Serve(const char* function, In in, Work&& work) {
        Platform& p = Platform::Current();
        std::string complaint;
        bool journalFull = false;
        int64_t result;
        {
            std::lock_guard<std::mutex> lock(p.m_Mutex);
            unsigned n = ++p.m_CallCounts[function];
            bool programmed = false;
            int64_t value = 0;
            auto onCall = p.m_ResultsOnCall.find(function);
            if (onCall != p.m_ResultsOnCall.end()) {
                auto it = onCall->second.find(n);
                if (it != onCall->second.end()) {
                    programmed = true;
                    value = it->second;
                }
            }
            if (!programmed) {
                auto always = p.m_Results.find(function);
                if (always != p.m_Results.end()) {
                    programmed = true;
                    value = always->second;
                }
            }
            result = (programmed && value != 0) ? value : work(p.m_Script, complaint);

            if (p.m_Journal.size() < Platform::JOURNAL_CEILING) {
                Call call;
                call.seq = ++p.m_Seq;
                call.function = function;
                call.args = std::move(in.args);
                call.texts = std::move(in.texts);
                if (in.record != nullptr) {
                    const auto* bytes = static_cast<const uint8_t*>(in.record);
                    call.record.assign(bytes, bytes + in.recordSize);
                }
                call.result = result;
                call.thread = std::this_thread::get_id();
                p.m_Journal.push_back(std::move(call));
            } else {
                journalFull = (p.m_Dropped++ == 0);
            }
        }
        if (!complaint.empty()) {
            XP::MyPrintf("fake platform: %s: %s", function, complaint.c_str());
        }
        if (journalFull) {
            XP::MyPrintf("fake platform: journal full (%zu calls); later calls are not recorded",
                         Platform::JOURNAL_CEILING);
        }
        return result;
    }

    // A call with only scalar arguments that does nothing but succeed.
    static STB_STATUS Plain(const char* function, std::vector<int64_t> args) {
        return static_cast<STB_STATUS>(
            Serve(function, In{std::move(args), {}, nullptr, 0},
                  [](Platform::Script&, std::string&) -> int64_t { return 0; }));
    }

    // A call that passes one record in and otherwise just succeeds.
    template <typename T>
    static STB_STATUS RecordIn(const char* function, std::vector<int64_t> args, const T* record) {
        return static_cast<STB_STATUS>(
            Serve(function, In{std::move(args), {}, record, record ? sizeof(T) : 0},
                  [record](Platform::Script&, std::string& complaint) -> int64_t {
                      if (record == nullptr) {
                          complaint = "null record";
                          return Platform::ERR_NULL_POINTER;
                      }
                      return 0;
                  }));
    }

    // A call that writes the handle the script gives for `function` to `pHandle`.
    static STB_STATUS HandleOut(const char* function, In in, HANDLE* pHandle) {
        return static_cast<STB_STATUS>(
            Serve(function, std::move(in),
                  [function, pHandle](Platform::Script& s, std::string& complaint) -> int64_t {
                      if (pHandle == nullptr) {
                          complaint = "null handle pointer";
                          return Platform::ERR_NULL_POINTER;
                      }
                      *pHandle = s.handles[function];
                      return 0;
                  }));
    }

    // A call that copies the part of the script `source` selects out to `out`.
    template <typename T, typename Select>
    static STB_STATUS CopyOut(const char* function, std::vector<int64_t> args, T* out,
                              Select source) {
        return static_cast<STB_STATUS>(
            Serve(function, In{std::move(args), {}, nullptr, 0},
                  [out, source](Platform::Script& s, std::string& complaint) -> int64_t {
                      if (out == nullptr) {
                          complaint = "null record pointer";
                          return Platform::ERR_NULL_POINTER;
                      }
                      *out = source(s);
                      return 0;
                  }));
    }

    // A call that keeps the record passed in as the part of the script `target` selects.
    template <typename T, typename Select>
    static STB_STATUS CopyIn(const char* function, std::vector<int64_t> args, const T* in,
                             Select target) {
        return static_cast<STB_STATUS>(
            Serve(function, In{std::move(args), {}, in, in ? sizeof(T) : 0},
                  [in, target](Platform::Script& s, std::string& complaint) -> int64_t {
                      if (in == nullptr) {
                          complaint = "null record";
                          return Platform::ERR_NULL_POINTER;
                      }
                      target(s) = *in;
                      return 0;
                  }));
    }

    // Waits up to `ms` of real time for PCM to be queued.
    static void WaitForPcm(unsigned ms) {
        Platform& p = Platform::Current();
        std::unique_lock<std::mutex> lock(p.m_Mutex);
        p.m_PcmArrived.wait_for(lock, std::chrono::milliseconds(ms),
                                [&p] { return !p.m_Script.pcm.empty(); });
    }
};

namespace {

std::string Text(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

int64_t H(HANDLE handle) {
    return static_cast<int64_t>(handle);
}

}  // namespace

}  // namespace Fake
}  // namespace Kestrel

using Kestrel::Fake::Access;
using Kestrel::Fake::H;
using Kestrel::Fake::Platform;
using Kestrel::Fake::Text;

extern "C" {

// ---- Library and system ------------------------------------------------------------------------

STB_STATUS system_init(void) {
    return Access::Plain("system_init", {});
}

STB_STATUS system_deinit(void) {
    return Access::Plain("system_deinit", {});
}

STB_STATUS system_get_property(const char* pszKey, char* pszValue, const char* pszDefault) {
    return static_cast<STB_STATUS>(Access::Serve(
        "system_get_property", Access::In{{}, {Text(pszKey), Text(pszDefault)}, nullptr, 0},
        [=](auto& s, std::string& complaint) -> int64_t {
            if (pszKey == nullptr || pszValue == nullptr) {
                complaint = "null key or value pointer";
                return Platform::ERR_NULL_POINTER;
            }
            auto it = s.properties.find(pszKey);
            std::string value = it != s.properties.end() ? it->second : Text(pszDefault);
            std::size_t length = std::min(value.size(), std::size_t{SYSTEM_PROPERTY_VALUE_MAX - 1});
            std::memcpy(pszValue, value.data(), length);
            pszValue[length] = '\0';
            return 0;
        }));
}

STB_STATUS system_set_static_network(const char* pszAddress, const char* pszNetmask,
                                     const char* pszGateway) {
    return static_cast<STB_STATUS>(Access::Serve(
        "system_set_static_network",
        Access::In{{}, {Text(pszAddress), Text(pszNetmask), Text(pszGateway)}, nullptr, 0},
        [](auto&, std::string&) { return 0; }));
}

STB_STATUS system_upgrade(const char* pszPath) {
    return static_cast<STB_STATUS>(Access::Serve("system_upgrade",
                                                 Access::In{{}, {Text(pszPath)}, nullptr, 0},
                                                 [](auto&, std::string&) { return 0; }));
}

// ---- AV player ---------------------------------------------------------------------------------

STB_STATUS av_init(const AV_INIT_S* pstInit) {
    return Access::RecordIn("av_init", {}, pstInit);
}

STB_STATUS av_create(HANDLE* phAv, const AV_CREATE_S* pstCreate) {
    return Access::HandleOut(
        "av_create", Access::In{{}, {}, pstCreate, pstCreate ? sizeof(*pstCreate) : 0}, phAv);
}

STB_STATUS av_prepare(const AV_PREPARE_S* pstPrepare) {
    return Access::RecordIn("av_prepare", {}, pstPrepare);
}

STB_STATUS av_destory(HANDLE hAv) {
    return Access::Plain("av_destory", {H(hAv)});
}

STB_STATUS av_deinit(void) {
    return Access::Plain("av_deinit", {});
}

STB_STATUS av_set_config(HANDLE hAv, const AV_SETTING_S* pstSetting) {
    return Access::CopyIn(
        "av_set_config", {H(hAv)}, pstSetting, [](auto& s) -> auto& { return s.config; });
}

STB_STATUS av_get_config(HANDLE hAv, AV_SETTING_S* pstSetting) {
    return Access::CopyOut(
        "av_get_config", {H(hAv)}, pstSetting, [](auto& s) -> auto& { return s.config; });
}

STB_STATUS av_start(HANDLE hAv) {
    return Access::Plain("av_start", {H(hAv)});
}

STB_STATUS av_stop(HANDLE hAv) {
    return Access::Plain("av_stop", {H(hAv)});
}

STB_STATUS av_stop_audio(HANDLE hAv) {
    return Access::Plain("av_stop_audio", {H(hAv)});
}

STB_STATUS av_stop_video(HANDLE hAv) {
    return Access::Plain("av_stop_video", {H(hAv)});
}

STB_STATUS av_reset(HANDLE hAv, uint32_t u32ResetMode) {
    return Access::Plain("av_reset", {H(hAv), u32ResetMode});
}

STB_STATUS av_get_sync(HANDLE hAv, AV_SYNC_ATTR_S* pstSyncAttr) {
    return Access::CopyOut(
        "av_get_sync", {H(hAv)}, pstSyncAttr, [](auto& s) -> auto& { return s.syncAttr; });
}

STB_STATUS av_set_sync(HANDLE hAv, const AV_SYNC_ATTR_S* pstSyncAttr) {
    return Access::CopyIn(
        "av_set_sync", {H(hAv)}, pstSyncAttr, [](auto& s) -> auto& { return s.syncAttr; });
}

STB_STATUS av_set_inject_packet_num(uint32_t u32PacketNum) {
    return Access::Plain("av_set_inject_packet_num", {u32PacketNum});
}

STB_STATUS av_set_event_config(HANDLE hAv, const AV_EVENT_CONFIG_PARAMS_S* pstEventConfig) {
    return static_cast<STB_STATUS>(Access::Serve(
        "av_set_event_config",
        Access::In{{H(hAv)}, {}, pstEventConfig, pstEventConfig ? sizeof(*pstEventConfig) : 0},
        [=](auto& s, std::string& complaint) -> int64_t {
            if (pstEventConfig == nullptr) {
                complaint = "null record";
                return Platform::ERR_NULL_POINTER;
            }
            s.callbacks[hAv] = *pstEventConfig;
            return 0;
        }));
}

STB_STATUS av_get_status_info(HANDLE hAv, AV_STATUS_S* pstStatus) {
    return Access::CopyOut(
        "av_get_status_info", {H(hAv)}, pstStatus, [](auto& s) -> auto& { return s.status; });
}

STB_STATUS av_get_current_pts(HANDLE hAv, AV_SYNC_PTS_CHAN_E enChannel, int64_t* ps64Pts) {
    return static_cast<STB_STATUS>(Access::Serve(
        "av_get_current_pts", Access::In{{H(hAv), enChannel}, {}, nullptr, 0},
        [=](auto& s, std::string& complaint) -> int64_t {
            if (ps64Pts == nullptr) {
                complaint = "null PTS pointer";
                return Platform::ERR_NULL_POINTER;
            }
            if (enChannel < AV_SYNC_PTS_CHAN_VID || enChannel >= AV_SYNC_PTS_CHAN_BUTT) {
                complaint = "no PTS channel " + std::to_string(enChannel);
                return Platform::ERR_INVALID_ARGUMENT;
            }
            *ps64Pts = s.pts[enChannel];
            return 0;
        }));
}

STB_STATUS av_get_stream_info(HANDLE hAv, AV_STREAM_INFO_S* pstStreamInfo) {
    return Access::CopyOut(
        "av_get_stream_info", {H(hAv)}, pstStreamInfo,
        [](auto& s) -> auto& { return s.streamInfo; });
}

STB_STATUS av_get_buffer_stat(HANDLE hAv, AV_BUFFER_STAT_S* pstBufferStat, bool* pbVideoStarted,
                              bool* pbAudioStarted) {
    return static_cast<STB_STATUS>(
        Access::Serve("av_get_buffer_stat", Access::In{{H(hAv)}, {}, nullptr, 0},
                      [=](auto& s, std::string& complaint) -> int64_t {
                          if (pstBufferStat == nullptr || pbVideoStarted == nullptr ||
                              pbAudioStarted == nullptr) {
                              complaint = "null out pointer";
                              return Platform::ERR_NULL_POINTER;
                          }
                          *pstBufferStat = s.bufferStat;
                          *pbVideoStarted = s.videoStarted;
                          *pbAudioStarted = s.audioStarted;
                          return 0;
                      }));
}

STB_STATUS av_set_pause_time(HANDLE hAv, uint32_t u32PauseUs) {
    return Access::Plain("av_set_pause_time", {H(hAv), u32PauseUs});
}

int32_t av_get_ts_buffer(HANDLE hAv, uint8_t* pu8Buffer, uint32_t u32Size) {
    return static_cast<int32_t>(
        Access::Serve("av_get_ts_buffer", Access::In{{H(hAv), u32Size}, {}, nullptr, 0},
                      [=](auto& s, std::string& complaint) -> int64_t {
                          if (pu8Buffer == nullptr) {
                              complaint = "null buffer";
                              return -1;
                          }
                          if (s.tsChunks.empty()) {
                              return 0;
                          }
                          const std::vector<uint8_t>& chunk = s.tsChunks.front();
                          std::size_t length = std::min<std::size_t>(chunk.size(), u32Size);
                          std::memcpy(pu8Buffer, chunk.data(), length);
                          s.tsChunks.pop_front();
                          return static_cast<int64_t>(length);
                      }));
}

// ---- Video output ------------------------------------------------------------------------------

STB_STATUS vout_init(const VOUT_INIT_S* pstInit) {
    return Access::RecordIn("vout_init", {}, pstInit);
}

STB_STATUS vout_open_channel(HANDLE* phVout, const VOUT_OPEN_S* pstOpen) {
    return Access::HandleOut("vout_open_channel",
                             Access::In{{}, {}, pstOpen, pstOpen ? sizeof(*pstOpen) : 0}, phVout);
}

STB_STATUS vout_display_get(HANDLE hVout, VOUT_DISPSETTING_S* pstSettings) {
    return Access::CopyOut(
        "vout_display_get", {H(hVout)}, pstSettings, [](auto& s) -> auto& { return s.display; });
}

STB_STATUS vout_display_set(HANDLE hVout, const VOUT_DISPSETTING_S* pstSettings) {
    return Access::CopyIn(
        "vout_display_set", {H(hVout)}, pstSettings, [](auto& s) -> auto& { return s.display; });
}

STB_STATUS vout_window_create(HANDLE hVout, HANDLE* phWindow, uint32_t u32Reserved) {
    return Access::HandleOut("vout_window_create",
                             Access::In{{H(hVout), u32Reserved}, {}, nullptr, 0}, phWindow);
}

STB_STATUS vout_window_attach_input(HANDLE hWindow, uint32_t u32Reserved, HANDLE hSource) {
    return Access::Plain("vout_window_attach_input", {H(hWindow), u32Reserved, H(hSource)});
}

STB_STATUS vout_window_detach_input(HANDLE hWindow, uint32_t u32Reserved, HANDLE hSource) {
    return Access::Plain("vout_window_detach_input", {H(hWindow), u32Reserved, H(hSource)});
}

STB_STATUS vout_window_open(HANDLE hWindow) {
    return Access::Plain("vout_window_open", {H(hWindow)});
}

STB_STATUS vout_window_close(HANDLE hWindow) {
    return Access::Plain("vout_window_close", {H(hWindow)});
}

STB_STATUS vout_window_destroy(HANDLE hVout, HANDLE hWindow, uint32_t u32Reserved) {
    return Access::Plain("vout_window_destroy", {H(hVout), H(hWindow), u32Reserved});
}

STB_STATUS vout_close_channel(HANDLE hVout, uint32_t u32Reserved) {
    return Access::Plain("vout_close_channel", {H(hVout), u32Reserved});
}

STB_STATUS vout_deinit(void) {
    return Access::Plain("vout_deinit", {});
}

// ---- Audio output ------------------------------------------------------------------------------

STB_STATUS aout_init(const AOUT_INIT_S* pstInit) {
    return Access::RecordIn("aout_init", {}, pstInit);
}

STB_STATUS aout_open(HANDLE* phAout, const AOUT_OPEN_S* pstOpen) {
    return Access::HandleOut("aout_open",
                             Access::In{{}, {}, pstOpen, pstOpen ? sizeof(*pstOpen) : 0}, phAout);
}

STB_STATUS aout_track_create(HANDLE hAout, HANDLE* phTrack, uint32_t u32Reserved) {
    return Access::HandleOut("aout_track_create",
                             Access::In{{H(hAout), u32Reserved}, {}, nullptr, 0}, phTrack);
}

STB_STATUS aout_track_attach_input(HANDLE hTrack, uint32_t u32Reserved, HANDLE hSource) {
    return Access::Plain("aout_track_attach_input", {H(hTrack), u32Reserved, H(hSource)});
}

STB_STATUS aout_track_detach_input(HANDLE hTrack, uint32_t u32Reserved, HANDLE hSource) {
    return Access::Plain("aout_track_detach_input", {H(hTrack), u32Reserved, H(hSource)});
}

STB_STATUS aout_track_destroy(HANDLE hTrack) {
    return Access::Plain("aout_track_destroy", {H(hTrack)});
}

STB_STATUS aout_close(HANDLE hAout, uint32_t u32Reserved) {
    return Access::Plain("aout_close", {H(hAout), u32Reserved});
}

STB_STATUS aout_deinit(uint32_t u32Reserved) {
    return Access::Plain("aout_deinit", {u32Reserved});
}

STB_STATUS aout_set_volume(HANDLE hAout, AOUT_DEVICE_TYPE_E enDevice, BOOL bLinear,
                           int32_t s32Volume) {
    return Access::Plain("aout_set_volume", {H(hAout), enDevice, bLinear, s32Volume});
}

STB_STATUS aout_set_mute(HANDLE hAout, AOUT_DEVICE_TYPE_E enDevice, BOOL bMute) {
    return Access::Plain("aout_set_mute", {H(hAout), enDevice, bMute});
}

STB_STATUS aout_set_digital_mode(HANDLE hAout, AOUT_DEVICE_TYPE_E enDevice,
                                 AOUT_DIGITAL_OUTPUT_MODE_E enMode) {
    return Access::Plain("aout_set_digital_mode", {H(hAout), enDevice, enMode});
}

STB_STATUS aout_set_channel_mode(HANDLE hAout, AOUT_DEVICE_TYPE_E enDevice,
                                 AOUT_CHANNEL_MODE_E enMode) {
    return Access::Plain("aout_set_channel_mode", {H(hAout), enDevice, enMode});
}

// ---- Captions ----------------------------------------------------------------------------------

STB_STATUS cc_init(const CAPTION_INIT_S* pstInit) {
    return Access::RecordIn("cc_init", {}, pstInit);
}

STB_STATUS cc_creat(const CAPTION_CC_S* pstCaption) {
    return Access::RecordIn("cc_creat", {}, pstCaption);
}

STB_STATUS cc_set_window(uint32_t u32X, uint32_t u32Y, uint32_t u32Width, uint32_t u32Height) {
    return Access::Plain("cc_set_window", {u32X, u32Y, u32Width, u32Height});
}

STB_STATUS cc_start(void) {
    return Access::Plain("cc_start", {});
}

STB_STATUS cc_getAttr(CAPTION_CC_ATTR_S* pstAttr) {
    return Access::CopyOut(
        "cc_getAttr", {}, pstAttr, [](auto& s) -> auto& { return s.captionAttr; });
}

STB_STATUS cc_setAttr(const CAPTION_CC_ATTR_S* pstAttr) {
    return Access::CopyIn(
        "cc_setAttr", {}, pstAttr, [](auto& s) -> auto& { return s.captionAttr; });
}

STB_STATUS cc_stop(void) {
    return Access::Plain("cc_stop", {});
}

STB_STATUS cc_destroy(void) {
    return Access::Plain("cc_destroy", {});
}

STB_STATUS cc_deinit(void) {
    return Access::Plain("cc_deinit", {});
}

STB_STATUS cc_show_subtitle_enable(BOOL bEnable) {
    return Access::Plain("cc_show_subtitle_enable", {bEnable});
}

STB_STATUS cc_send_VBI_enable(BOOL bEnable) {
    return Access::Plain("cc_send_VBI_enable", {bEnable});
}

// ---- Subtitles ---------------------------------------------------------------------------------

STB_STATUS subtitle_init(void) {
    return Access::Plain("subtitle_init", {});
}

STB_STATUS subtitle_create(const SUBTITLE_CREATE_PARAM_S* pstCreate, HANDLE* phSubtitle) {
    return Access::HandleOut("subtitle_create",
                             Access::In{{}, {}, pstCreate, pstCreate ? sizeof(*pstCreate) : 0},
                             phSubtitle);
}

STB_STATUS subtitle_set_params(HANDLE hSubtitle, const SUBTITLE_PARAM_S* pstParam) {
    return Access::RecordIn("subtitle_set_params", {H(hSubtitle)}, pstParam);
}

STB_STATUS subtitle_start_decoding(HANDLE hSubtitle, uint32_t u32Pid) {
    return Access::Plain("subtitle_start_decoding", {H(hSubtitle), u32Pid});
}

STB_STATUS subtitle_show(HANDLE hSubtitle) {
    return Access::Plain("subtitle_show", {H(hSubtitle)});
}

STB_STATUS subtitle_hide(HANDLE hSubtitle) {
    return Access::Plain("subtitle_hide", {H(hSubtitle)});
}

STB_STATUS subtitle_stop_decoding(HANDLE hSubtitle) {
    return Access::Plain("subtitle_stop_decoding", {H(hSubtitle)});
}

STB_STATUS subtitle_destory(HANDLE hSubtitle) {
    return Access::Plain("subtitle_destory", {H(hSubtitle)});
}

STB_STATUS subtitle_deinit(void) {
    return Access::Plain("subtitle_deinit", {});
}

// ---- Second audio ------------------------------------------------------------------------------

int32_t second_audio_decoder_init(void) {
    return static_cast<int32_t>(Access::Plain("second_audio_decoder_init", {}));
}

int32_t second_audio_decoder_service_init(void) {
    return static_cast<int32_t>(Access::Plain("second_audio_decoder_service_init", {}));
}

int32_t second_audio_decoder_service(uint8_t** ppu8Pcm, uint32_t* pu32Length, uint32_t* pu32Pts) {
    Access::WaitForPcm(Platform::SERVICE_WAIT_MS);
    return static_cast<int32_t>(
        Access::Serve("second_audio_decoder_service", Access::In{},
                      [=](auto& s, std::string& complaint) -> int64_t {
                          if (ppu8Pcm == nullptr || *ppu8Pcm == nullptr || pu32Length == nullptr ||
                              pu32Pts == nullptr) {
                              complaint = "null buffer, length or PTS pointer";
                              return -1;
                          }
                          if (s.pcm.empty()) {
                              return -1;
                          }
                          const auto& block = s.pcm.front();
                          std::memcpy(*ppu8Pcm, block.bytes.data(), block.bytes.size());
                          *pu32Length = static_cast<uint32_t>(block.bytes.size());
                          *pu32Pts = block.pts;
                          s.pcm.pop_front();
                          return 0;
                      }));
}

int32_t second_audio_decoder_check_avail(void) {
    return static_cast<int32_t>(Access::Serve(
        "second_audio_decoder_check_avail", Access::In{},
        [](auto& s, std::string&) -> int64_t { return s.secondAudioAvail != 0 ? 1 : 0; }));
}

int32_t second_audio_decoder_free(void) {
    return static_cast<int32_t>(Access::Plain("second_audio_decoder_free", {}));
}

int32_t second_audio_decoder_set_audio_pid(uint32_t u32Pid) {
    return static_cast<int32_t>(Access::Plain("second_audio_decoder_set_audio_pid", {u32Pid}));
}

int32_t second_audio_decoder_set_audio_volume(uint32_t u32Volume) {
    return static_cast<int32_t>(
        Access::Plain("second_audio_decoder_set_audio_volume", {u32Volume}));
}

int32_t second_audio_decoder_set_audio_output_state(uint32_t u32State) {
    return static_cast<int32_t>(
        Access::Plain("second_audio_decoder_set_audio_output_state", {u32State}));
}

int32_t second_audio_decoder_set_video_type(AV_VID_STREAM_TYPE_E enVideoType) {
    return static_cast<int32_t>(
        Access::Plain("second_audio_decoder_set_video_type", {enVideoType}));
}

int32_t second_audio_decoder_set_avail(uint32_t u32Avail) {
    return static_cast<int32_t>(Access::Serve("second_audio_decoder_set_avail",
                                              Access::In{{u32Avail}, {}, nullptr, 0},
                                              [=](auto& s, std::string&) -> int64_t {
                                                  s.secondAudioAvail = u32Avail;
                                                  return 0;
                                              }));
}

}  // extern "C"
