#include "platform/host/HostOutputs.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <sstream>

#include <log4cpp/Category.hh>

#include "shared/system/RootPrefix.h"
#include "stb/stb_aout.h"
#include "stb/stb_caption.h"
#include "stb/stb_subtitle.h"
#include "stb/stb_vout.h"

namespace Kestrel {
namespace Host {

const char* const OUTPUTS_STATE_PATH = "/host/outputs.state";

namespace {

log4cpp::Category& Log() {
    return log4cpp::Category::getInstance("host.outputs");
}

// Handle values: a kind in the upper bits, so a handle of one kind is never taken for another.
constexpr HANDLE VOUT_HANDLE_BASE = 0x56000000u;
constexpr HANDLE WINDOW_HANDLE_BASE = 0x57000000u;
constexpr HANDLE AOUT_HANDLE_BASE = 0x58000000u;
constexpr HANDLE TRACK_HANDLE_BASE = 0x59000000u;
constexpr HANDLE SUBTITLE_HANDLE_BASE = 0x5A000000u;
constexpr size_t MAX_WINDOWS = 8;
constexpr size_t MAX_TRACKS = 8;
constexpr size_t MAX_SUBTITLES = 4;

const char* const CHANNEL_NAMES[VOUT_DISPLAY_COUNT] = {"HD0", "HD1", "HD2", "SD0", "SD1", "SD2"};
const char* const FORMAT_NAMES[] = {
    "AUTO", "PAL",  "NTSC",    "PALN",     "PALM",     "SECAM",        "480P",         "480I",
    "576P", "576I", "HD_720P", "HD_1080I", "HD_1080P", "HD_3840X2160", "HD_4096X2160", "UNKNOWN"};
const char* const RATE_NAMES[] = {"AUTO", "23_976", "24", "25", "29_97", "30", "50", "59_94", "60"};
const char* const ASPECT_NAMES[] = {"AUTO", "16TO9", "4TO3", "UNKNOWN"};
const char* const AOUT_ID_NAMES[] = {"ID_0", "ID_1", "ID_2", "ID_3"};
const char* const DEVICE_NAMES[] = {"RCA", "SPDIF", "HDMI", "SPEAKER", "ARC"};
constexpr size_t DEVICE_COUNT = 5;
const char* const DIGITAL_NAMES[] = {"PCM", "RAW", "AUTO"};
const char* const CHANNEL_MODE_NAMES[] = {"MONO", "RIGHT", "LEFT", "STEREO"};
const char* const CAPTION_TYPE_NAMES[] = {"SUBT", "TTX", "CC"};
const char* const CC_DATA_NAMES[] = {"608", "708", "ARIB"};
const char* const CC_DF_NAMES[] = {"720X480", "720X576", "960X540", "1280X720", "1920X1080"};
const char* const SUBTITLE_TYPE_NAMES[] = {"DVB", "SCTE27", "CC", "TELETEXT"};

template <size_t N>
std::string Name(const char* const (&names)[N], long long value) {
    if (value >= 0 && static_cast<size_t>(value) < N) {
        return names[value];
    }
    return std::to_string(value);
}

// Index of the single bit set in `value` among the first `count` bits, -1 otherwise.
int SingleBit(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        if (value == (1u << i)) {
            return i;
        }
    }
    return -1;
}

std::string FrameRateName(uint32_t rate) {
    if (rate == VOUT_VID_FRAME_RATE_UNKNOWN) {
        return "UNKNOWN";
    }
    const int bit = SingleBit(rate, 9);
    return bit >= 0 ? RATE_NAMES[bit] : std::to_string(rate);
}

bool ValidFrameRate(uint32_t rate) {
    return rate == 0 || SingleBit(rate, 9) >= 0;
}

struct VoutChannel {
    bool open = false;
    VOUT_OUTPUT_TYPE_E outputType = VOUT_OUTPUT_TYPE_NONE;
    VOUT_DISPSETTING_S settings;
};
struct Window {
    int channel = 0;
    bool open = false;
    HANDLE input = 0;
};
struct DeviceState {
    bool linear = true;
    int32_t volume = 100;
    bool mute = false;
    AOUT_DIGITAL_OUTPUT_MODE_E digital = AOUT_DIGITAL_OUTPUT_MODE_PCM;
    AOUT_CHANNEL_MODE_E channelMode = AOUT_CHANNEL_STER;
};
struct AudioOutput {
    bool open = false;
    uint32_t device = 0;
    DeviceState devices[DEVICE_COUNT];
};
struct Track {
    int output = 0;
    HANDLE input = 0;
};
struct Subtitle {
    HANDLE source = 0;
    SUBTITLE_PARAM_S params;
    bool decoding = false;
    uint32_t decodingPid = 0;
    bool visible = false;
};

// The whole output state of the board. Guarded by `mutex`.
struct Outputs {
    std::mutex mutex;

    bool voutInit = false;
    bool displayEnable = false;
    VOUT_DISPSETTING_S initSettings[VOUT_DISPLAY_COUNT];
    VoutChannel channels[VOUT_DISPLAY_COUNT];
    std::map<HANDLE, Window> windows;
    HANDLE nextWindow = 1;

    bool aoutInit = false;
    AudioOutput aouts[4];
    std::map<HANDLE, Track> tracks;
    HANDLE nextTrack = 1;

    bool ccInit = false;
    CAPTION_TYPE_E ccType = CAPTION_TYPE_CC;
    bool ccCreated = false;
    CAPTION_CC_DATA_E ccData = CAPTION_CC_DATA_708;
    uint32_t ccWindow[4] = {0, 0, 0, 0};
    bool ccStarted = false;
    bool ccOverlay = false;
    bool ccVbi = false;
    CAPTION_CC_ATTR_S ccAttr;

    bool subtitleInit = false;
    std::map<HANDLE, Subtitle> subtitles;
    HANDLE nextSubtitle = 1;

    Outputs() {
        ResetVout();
        ResetCaption();
    }
    void ResetVout() {
        voutInit = false;
        displayEnable = false;
        std::memset(initSettings, 0, sizeof(initSettings));
        for (VoutChannel& c : channels) {
            c = VoutChannel();
            std::memset(&c.settings, 0, sizeof(c.settings));
        }
        windows.clear();
    }
    void ResetAout() {
        aoutInit = false;
        for (AudioOutput& a : aouts) {
            a = AudioOutput();
        }
        tracks.clear();
    }
    void ResetCaption() {
        ccInit = ccCreated = ccStarted = ccOverlay = ccVbi = false;
        ccType = CAPTION_TYPE_CC;
        ccData = CAPTION_CC_DATA_708;
        std::memset(ccWindow, 0, sizeof(ccWindow));
        std::memset(&ccAttr, 0, sizeof(ccAttr));
    }
};

Outputs& State() {
    static Outputs outputs;
    return outputs;
}

std::string RenderLocked(const Outputs& s) {
    std::map<std::string, std::string> kv;
    auto b = [](bool v) { return std::string(v ? "1" : "0"); };
    auto n = [](long long v) { return std::to_string(v); };
    auto h = [](HANDLE v) {
        char text[16];
        std::snprintf(text, sizeof(text), "%#x", v);
        return std::string(text);
    };

    kv["vout.initialized"] = b(s.voutInit);
    kv["vout.display_enable"] = b(s.displayEnable);
    for (size_t i = 0; i < VOUT_DISPLAY_COUNT; ++i) {
        const VoutChannel& c = s.channels[i];
        if (!c.open) {
            continue;
        }
        const std::string k = std::string("vout.") + CHANNEL_NAMES[i] + ".";
        const VOUT_DISPSETTING_S& d = c.settings;
        kv[k + "open"] = "1";
        kv[k + "output_type"] = n(static_cast<int32_t>(c.outputType));
        kv[k + "format"] = Name(FORMAT_NAMES, d.enDispFmt);
        kv[k + "frame_rate"] = FrameRateName(d.enFrameRate);
        kv[k + "auto_format"] = Name(FORMAT_NAMES, d.enAutoDispFmt);
        kv[k + "auto_frame_rate"] = FrameRateName(d.enAutoFrameRate);
        kv[k + "aspect_ratio"] = Name(ASPECT_NAMES, d.enAspectRatio);
        kv[k + "output_enable"] = b(d.bOutputEnable != 0);
        kv[k + "hue"] = n(d.u8Hue);
        kv[k + "brightness"] = n(d.u8Brightness);
        kv[k + "contrast"] = n(d.u8Contrast);
        kv[k + "saturation"] = n(d.u8Saturation);
        kv[k + "3d_depth"] = n(d.u83dDof);
        kv[k + "3d_format"] = n(d.en3dFmt);
        kv[k + "osd_rect"] = n(d.stOSDVirtualRect.s32XOffset) + "," +
                             n(d.stOSDVirtualRect.s32YOffset) + "," +
                             n(d.stOSDVirtualRect.u32Width) + "," + n(d.stOSDVirtualRect.u32Height);
        kv[k + "out_region"] = n(d.stDispOutRegion.u32Left) + "," + n(d.stDispOutRegion.u32Top) +
                               "," + n(d.stDispOutRegion.u32Right) + "," +
                               n(d.stDispOutRegion.u32Bottom);
        kv[k + "clear_logo"] = b(d.bClearLogo != 0);
    }
    for (const auto& w : s.windows) {
        const std::string k = "vout.window." + n(w.first & 0xFFFFFFu) + ".";
        kv[k + "channel"] = CHANNEL_NAMES[w.second.channel];
        kv[k + "open"] = b(w.second.open);
        kv[k + "input"] = h(w.second.input);
    }

    kv["aout.initialized"] = b(s.aoutInit);
    for (size_t i = 0; i < 4; ++i) {
        const AudioOutput& a = s.aouts[i];
        if (!a.open) {
            continue;
        }
        const std::string k = std::string("aout.") + AOUT_ID_NAMES[i] + ".";
        kv[k + "open"] = "1";
        kv[k + "device"] = n(a.device);
        for (size_t d = 0; d < DEVICE_COUNT; ++d) {
            const DeviceState& ds = a.devices[d];
            const std::string kd = k + DEVICE_NAMES[d] + ".";
            kv[kd + "volume"] = n(ds.volume) + (ds.linear ? "%" : "dB");
            kv[kd + "mute"] = b(ds.mute);
            kv[kd + "digital_mode"] = Name(DIGITAL_NAMES, ds.digital);
            kv[kd + "channel_mode"] = Name(CHANNEL_MODE_NAMES, ds.channelMode);
        }
    }
    for (const auto& t : s.tracks) {
        const std::string k = "aout.track." + n(t.first & 0xFFFFFFu) + ".";
        kv[k + "output"] = AOUT_ID_NAMES[t.second.output];
        kv[k + "input"] = h(t.second.input);
    }

    kv["cc.initialized"] = b(s.ccInit);
    kv["cc.type"] = Name(CAPTION_TYPE_NAMES, s.ccType);
    kv["cc.created"] = b(s.ccCreated);
    kv["cc.data"] = Name(CC_DATA_NAMES, s.ccData);
    kv["cc.window"] =
        n(s.ccWindow[0]) + "," + n(s.ccWindow[1]) + "," + n(s.ccWindow[2]) + "," + n(s.ccWindow[3]);
    kv["cc.started"] = b(s.ccStarted);
    kv["cc.overlay"] = b(s.ccOverlay);
    kv["cc.vbi"] = b(s.ccVbi);
    if (s.ccAttr.enCCDataType == CAPTION_CC_DATA_608) {
        const CAPTION_CC608_ATTR_S& a = s.ccAttr.unCCConfig.stCC608;
        kv["cc.608.channel"] = a.enCC608DataType < CAPTION_CC_608_DATATYPE_TEXT1
                                   ? "CC" + n(a.enCC608DataType + 1)
                                   : "TEXT" + n(a.enCC608DataType - 3);
        kv["cc.608.display_format"] = Name(CC_DF_NAMES, a.enCC608DispFormat);
    } else if (s.ccAttr.enCCDataType == CAPTION_CC_DATA_708) {
        const CAPTION_CC708_ATTR_S& a = s.ccAttr.unCCConfig.stCC708;
        kv["cc.708.service"] = n(a.enCC708ServiceNum);
        kv["cc.708.display_format"] = Name(CC_DF_NAMES, a.enCC708DispFormat);
        kv["cc.708.font_size"] = n(a.enCC708FontSize);
    }

    kv["subtitle.initialized"] = b(s.subtitleInit);
    for (const auto& e : s.subtitles) {
        const Subtitle& t = e.second;
        const std::string k = "subtitle." + n(e.first & 0xFFFFFFu) + ".";
        kv[k + "source"] = h(t.source);
        kv[k + "type"] = Name(SUBTITLE_TYPE_NAMES, t.params.enSubtileType);
        kv[k + "pid"] = n(t.params.stSubtParam.u32SubtPID);
        kv[k + "page"] = n(t.params.stSubtParam.u16PageID);
        kv[k + "ancillary"] = n(t.params.stSubtParam.u16AncillaryID);
        kv[k + "cc_video_format"] = n(t.params.stCCParam.enVideoFormat);
        kv[k + "cc_input"] = n(t.params.stCCParam.enCCinputType);
        kv[k + "cc_service"] = n(t.params.stCCParam.enCCServiceCh);
        kv[k + "decoding"] = b(t.decoding);
        kv[k + "decoding_pid"] = n(t.decodingPid);
        kv[k + "visible"] = b(t.visible);
    }

    std::ostringstream out;
    out << "# kestrel host board outputs (rewritten on every change)\n";
    for (const auto& e : kv) {
        out << e.first << '=' << e.second << '\n';
    }
    return out.str();
}

// Writes the state file; called with the lock held after every change.
void WriteLocked(const Outputs& s) {
    const std::string text = RenderLocked(s);
    Sys::MakeRootDirectories("/host");
    const std::string path = Sys::RootPath(OUTPUTS_STATE_PATH);
    const std::string temp = path + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "w");
    if (f == nullptr) {
        Log().error("cannot write the outputs state file %s", temp.c_str());
        return;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
        Log().error("cannot write the outputs state file %s", path.c_str());
        std::remove(temp.c_str());
    }
}

// Runs `change` under the lock and writes the file when it succeeded.
template <typename F>
STB_STATUS Change(const char* call, F change) {
    Outputs& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const STB_STATUS rc = change(s);
    if (rc == STB_SUCCESS) {
        WriteLocked(s);
    } else {
        Log().warn("%s refused: %#x", call, rc);
    }
    return rc;
}

// Read-only calls: nothing to write.
template <typename F>
STB_STATUS Read(const char* call, F read) {
    Outputs& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const STB_STATUS rc = read(s);
    if (rc != STB_SUCCESS) {
        Log().warn("%s refused: %#x", call, rc);
    }
    return rc;
}

int VoutChannelOf(const Outputs& s, HANDLE h) {
    if ((h & 0xFF000000u) != VOUT_HANDLE_BASE) {
        return -1;
    }
    const uint32_t i = h & 0xFFu;
    return (i < VOUT_DISPLAY_COUNT && s.channels[i].open) ? static_cast<int>(i) : -1;
}

int AoutOf(const Outputs& s, HANDLE h) {
    if ((h & 0xFF000000u) != AOUT_HANDLE_BASE) {
        return -1;
    }
    const uint32_t i = h & 0xFFu;
    return (i < 4 && s.aouts[i].open) ? static_cast<int>(i) : -1;
}

// The device indices a device value addresses; 0 for an invalid value.
uint32_t DeviceMask(AOUT_DEVICE_TYPE_E device) {
    const uint32_t value = static_cast<uint32_t>(device);
    const uint32_t known = (1u << DEVICE_COUNT) - 1;
    if (value == 0xFFFFFFFFu) {
        return known;
    }
    return (value != 0 && (value & ~known) == 0) ? value : 0;
}

template <typename F>
STB_STATUS ForDevices(const char* call, HANDLE aout, AOUT_DEVICE_TYPE_E device, F apply) {
    return Change(call, [&](Outputs& s) {
        const int i = AoutOf(s, aout);
        if (i < 0) {
            return OUTPUT_ERR_HANDLE;
        }
        const uint32_t mask = DeviceMask(device);
        if (mask == 0) {
            return OUTPUT_ERR_ARGUMENT;
        }
        for (size_t d = 0; d < DEVICE_COUNT; ++d) {
            if ((mask & (1u << d)) != 0) {
                apply(s.aouts[i].devices[d]);
            }
        }
        return STB_SUCCESS;
    });
}

bool ValidDisplaySettings(const VOUT_DISPSETTING_S& d) {
    return d.enDispFmt >= 0 && d.enDispFmt < VOUT_FORMAT_BUTT && d.enAutoDispFmt >= 0 &&
           d.enAutoDispFmt < VOUT_FORMAT_BUTT && ValidFrameRate(d.enFrameRate) &&
           ValidFrameRate(d.enAutoFrameRate) && d.enAspectRatio >= 0 &&
           d.enAspectRatio < VOUT_NB_OF_ASPECT_RATIO && d.en3dFmt >= 0 &&
           d.en3dFmt < VOUT_3D_FORMAT_BUTT;
}

STB_STATUS SetWindowOpen(const char* call, HANDLE hWindow, bool open) {
    return Change(call, [&](Outputs& s) {
        auto w = s.windows.find(hWindow);
        if (w == s.windows.end()) {
            return OUTPUT_ERR_HANDLE;
        }
        w->second.open = open;
        return STB_SUCCESS;
    });
}

template <typename F>
STB_STATUS WithSubtitle(const char* call, HANDLE h, F apply) {
    return Change(call, [&](Outputs& s) {
        auto t = s.subtitles.find(h);
        return t == s.subtitles.end() ? OUTPUT_ERR_HANDLE : apply(t->second);
    });
}

}  // namespace

std::string RenderOutputsState() {
    Outputs& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return RenderLocked(s);
}

}  // namespace Host
}  // namespace Kestrel

using namespace Kestrel::Host;

extern "C" {

// ---- Video output ---------------------------------------------------------------------------

STB_STATUS vout_init(const VOUT_INIT_S* pstInit) {
    return Change("vout_init", [&](Outputs& s) {
        if (pstInit == nullptr) {
            return OUTPUT_ERR_NULL;
        }
        s.ResetVout();
        s.voutInit = true;
        s.displayEnable = pstInit->bDispEnable != 0;
        std::memcpy(s.initSettings, pstInit->astDispSettings, sizeof(s.initSettings));
        return STB_SUCCESS;
    });
}

STB_STATUS vout_open_channel(HANDLE* phVout, const VOUT_OPEN_S* pstOpen) {
    return Change("vout_open_channel", [&](Outputs& s) {
        if (phVout == nullptr || pstOpen == nullptr) {
            return OUTPUT_ERR_NULL;
        }
        if (!s.voutInit) {
            return OUTPUT_ERR_NOT_INIT;
        }
        const int i = SingleBit(static_cast<uint32_t>(pstOpen->enDispChan), VOUT_DISPLAY_COUNT);
        if (i < 0) {
            return OUTPUT_ERR_ARGUMENT;
        }
        VoutChannel& c = s.channels[i];
        if (!c.open) {
            c.open = true;
            c.settings = s.initSettings[i];
        }
        c.outputType = pstOpen->enOutputType;
        *phVout = VOUT_HANDLE_BASE | static_cast<HANDLE>(i);
        return STB_SUCCESS;
    });
}

STB_STATUS vout_display_get(HANDLE hVout, VOUT_DISPSETTING_S* pstSettings) {
    return Read("vout_display_get", [&](Outputs& s) {
        if (pstSettings == nullptr) {
            return OUTPUT_ERR_NULL;
        }
        const int i = VoutChannelOf(s, hVout);
        if (i < 0) {
            return OUTPUT_ERR_HANDLE;
        }
        *pstSettings = s.channels[i].settings;
        return STB_SUCCESS;
    });
}

STB_STATUS vout_display_set(HANDLE hVout, const VOUT_DISPSETTING_S* pstSettings) {
    return Change("vout_display_set", [&](Outputs& s) {
        if (pstSettings == nullptr) {
            return OUTPUT_ERR_NULL;
        }
        const int i = VoutChannelOf(s, hVout);
        if (i < 0) {
            return OUTPUT_ERR_HANDLE;
        }
        if (!ValidDisplaySettings(*pstSettings)) {
            Log().warn("vout_display_set: format %d, frame rate %d, aspect %d not supported",
                       pstSettings->enDispFmt, pstSettings->enFrameRate,
                       pstSettings->enAspectRatio);
            return OUTPUT_ERR_ARGUMENT;
        }
        s.channels[i].settings = *pstSettings;
        return STB_SUCCESS;
    });
}

STB_STATUS vout_window_create(HANDLE hVout, HANDLE* phWindow, uint32_t /*u32Reserved*/) {
    return Change("vout_window_create", [&](Outputs& s) {
        if (phWindow == nullptr) {
            return OUTPUT_ERR_NULL;
        }
        const int i = VoutChannelOf(s, hVout);
        if (i < 0) {
            return OUTPUT_ERR_HANDLE;
        }
        if (s.windows.size() >= MAX_WINDOWS) {
            return OUTPUT_ERR_NO_RESOURCE;
        }
        const HANDLE h = WINDOW_HANDLE_BASE | (s.nextWindow++ & 0xFFFFFFu);
        s.windows[h].channel = i;
        *phWindow = h;
        return STB_SUCCESS;
    });
}

STB_STATUS vout_window_attach_input(HANDLE hWindow, uint32_t /*u32Reserved*/, HANDLE hSource) {
    return Change("vout_window_attach_input", [&](Outputs& s) {
        auto w = s.windows.find(hWindow);
        if (w == s.windows.end()) {
            return OUTPUT_ERR_HANDLE;
        }
        if (hSource == 0) {
            return OUTPUT_ERR_ARGUMENT;
        }
        w->second.input = hSource;
        return STB_SUCCESS;
    });
}

STB_STATUS vout_window_detach_input(HANDLE hWindow, uint32_t /*u32Reserved*/, HANDLE hSource) {
    return Change("vout_window_detach_input", [&](Outputs& s) {
        auto w = s.windows.find(hWindow);
        if (w == s.windows.end()) {
            return OUTPUT_ERR_HANDLE;
        }
        if (w->second.input != hSource) {
            return OUTPUT_ERR_STATE;
        }
        w->second.input = 0;
        return STB_SUCCESS;
    });
}

STB_STATUS vout_window_open(HANDLE hWindow) {
    return SetWindowOpen("vout_window_open", hWindow, true);
}

STB_STATUS vout_window_close(HANDLE hWindow) {
    return SetWindowOpen("vout_window_close", hWindow, false);
}

STB_STATUS vout_window_destroy(HANDLE hVout, HANDLE hWindow, uint32_t /*u32Reserved*/) {
    return Change("vout_window_destroy", [&](Outputs& s) {
        auto w = s.windows.find(hWindow);
        if (w == s.windows.end() || VoutChannelOf(s, hVout) != w->second.channel) {
            return OUTPUT_ERR_HANDLE;
        }
        s.windows.erase(w);
        return STB_SUCCESS;
    });
}

STB_STATUS vout_close_channel(HANDLE hVout, uint32_t /*u32Reserved*/) {
    return Change("vout_close_channel", [&](Outputs& s) {
        const int i = VoutChannelOf(s, hVout);
        if (i < 0) {
            return OUTPUT_ERR_HANDLE;
        }
        for (auto w = s.windows.begin(); w != s.windows.end();) {
            w = w->second.channel == i ? s.windows.erase(w) : std::next(w);
        }
        s.channels[i].open = false;
        return STB_SUCCESS;
    });
}

STB_STATUS vout_deinit(void) {
    return Change("vout_deinit", [](Outputs& s) {
        s.ResetVout();
        return STB_SUCCESS;
    });
}

// ---- Audio output ---------------------------------------------------------------------------

STB_STATUS aout_init(const AOUT_INIT_S* pstInit) {
    return Change("aout_init", [&](Outputs& s) {
        if (pstInit == nullptr) {
            return OUTPUT_ERR_NULL;
        }
        s.ResetAout();
        s.aoutInit = true;
        return STB_SUCCESS;
    });
}

STB_STATUS aout_open(HANDLE* phAout, const AOUT_OPEN_S* pstOpen) {
    return Change("aout_open", [&](Outputs& s) {
        if (phAout == nullptr || pstOpen == nullptr) {
            return OUTPUT_ERR_NULL;
        }
        if (!s.aoutInit) {
            return OUTPUT_ERR_NOT_INIT;
        }
        const int i = SingleBit(static_cast<uint32_t>(pstOpen->enId), 4);
        if (i < 0) {
            return OUTPUT_ERR_ARGUMENT;
        }
        AudioOutput& a = s.aouts[i];
        if (!a.open) {
            a = AudioOutput();
            a.open = true;
        }
        a.device = static_cast<uint32_t>(pstOpen->stSettings.enOutputDevice);
        *phAout = AOUT_HANDLE_BASE | static_cast<HANDLE>(i);
        return STB_SUCCESS;
    });
}

STB_STATUS aout_track_create(HANDLE hAout, HANDLE* phTrack, uint32_t /*u32Reserved*/) {
    return Change("aout_track_create", [&](Outputs& s) {
        if (phTrack == nullptr) {
            return OUTPUT_ERR_NULL;
        }
        const int i = AoutOf(s, hAout);
        if (i < 0) {
            return OUTPUT_ERR_HANDLE;
        }
        if (s.tracks.size() >= MAX_TRACKS) {
            return OUTPUT_ERR_NO_RESOURCE;
        }
        const HANDLE h = TRACK_HANDLE_BASE | (s.nextTrack++ & 0xFFFFFFu);
        s.tracks[h].output = i;
        *phTrack = h;
        return STB_SUCCESS;
    });
}

STB_STATUS aout_track_attach_input(HANDLE hTrack, uint32_t /*u32Reserved*/, HANDLE hSource) {
    return Change("aout_track_attach_input", [&](Outputs& s) {
        auto t = s.tracks.find(hTrack);
        if (t == s.tracks.end()) {
            return OUTPUT_ERR_HANDLE;
        }
        if (hSource == 0) {
            return OUTPUT_ERR_ARGUMENT;
        }
        t->second.input = hSource;
        return STB_SUCCESS;
    });
}

STB_STATUS aout_track_detach_input(HANDLE hTrack, uint32_t /*u32Reserved*/, HANDLE hSource) {
    return Change("aout_track_detach_input", [&](Outputs& s) {
        auto t = s.tracks.find(hTrack);
        if (t == s.tracks.end()) {
            return OUTPUT_ERR_HANDLE;
        }
        if (t->second.input != hSource) {
            return OUTPUT_ERR_STATE;
        }
        t->second.input = 0;
        return STB_SUCCESS;
    });
}

STB_STATUS aout_track_destroy(HANDLE hTrack) {
    return Change("aout_track_destroy", [&](Outputs& s) {
        return s.tracks.erase(hTrack) != 0 ? STB_SUCCESS : OUTPUT_ERR_HANDLE;
    });
}

STB_STATUS aout_close(HANDLE hAout, uint32_t /*u32Reserved*/) {
    return Change("aout_close", [&](Outputs& s) {
        const int i = AoutOf(s, hAout);
        if (i < 0) {
            return OUTPUT_ERR_HANDLE;
        }
        for (auto t = s.tracks.begin(); t != s.tracks.end();) {
            t = t->second.output == i ? s.tracks.erase(t) : std::next(t);
        }
        s.aouts[i] = AudioOutput();
        return STB_SUCCESS;
    });
}

STB_STATUS aout_deinit(uint32_t /*u32Reserved*/) {
    return Change("aout_deinit", [](Outputs& s) {
        s.ResetAout();
        return STB_SUCCESS;
    });
}

STB_STATUS aout_set_volume(HANDLE hAout, AOUT_DEVICE_TYPE_E enDevice, BOOL bLinear,
                           int32_t s32Volume) {
    // Linear: percent; otherwise dB below full level, down to where the output is silent.
    const bool valid =
        bLinear ? (s32Volume >= 0 && s32Volume <= 100) : (s32Volume <= 0 && s32Volume >= -100);
    if (!valid) {
        Log().warn("aout_set_volume: %d %s out of range", s32Volume, bLinear ? "%" : "dB");
        return OUTPUT_ERR_ARGUMENT;
    }
    return ForDevices("aout_set_volume", hAout, enDevice, [&](DeviceState& d) {
        d.linear = bLinear != 0;
        d.volume = s32Volume;
    });
}

STB_STATUS aout_set_mute(HANDLE hAout, AOUT_DEVICE_TYPE_E enDevice, BOOL bMute) {
    return ForDevices("aout_set_mute", hAout, enDevice,
                      [&](DeviceState& d) { d.mute = bMute != 0; });
}

STB_STATUS aout_set_digital_mode(HANDLE hAout, AOUT_DEVICE_TYPE_E enDevice,
                                 AOUT_DIGITAL_OUTPUT_MODE_E enMode) {
    if (enMode < AOUT_DIGITAL_OUTPUT_MODE_PCM || enMode > AOUT_DIGITAL_OUTPUT_MODE_AUTO) {
        Log().warn("aout_set_digital_mode: mode %d out of range", enMode);
        return OUTPUT_ERR_ARGUMENT;
    }
    return ForDevices("aout_set_digital_mode", hAout, enDevice,
                      [&](DeviceState& d) { d.digital = enMode; });
}

STB_STATUS aout_set_channel_mode(HANDLE hAout, AOUT_DEVICE_TYPE_E enDevice,
                                 AOUT_CHANNEL_MODE_E enMode) {
    if (enMode < AOUT_CHANNEL_MONO || enMode >= AOUT_CHANNEL_BUTT) {
        Log().warn("aout_set_channel_mode: mode %d out of range", enMode);
        return OUTPUT_ERR_ARGUMENT;
    }
    return ForDevices("aout_set_channel_mode", hAout, enDevice,
                      [&](DeviceState& d) { d.channelMode = enMode; });
}

// ---- Captions -------------------------------------------------------------------------------

STB_STATUS cc_init(const CAPTION_INIT_S* pstInit) {
    return Change("cc_init", [&](Outputs& s) {
        if (pstInit == nullptr) {
            return OUTPUT_ERR_NULL;
        }
        if (pstInit->enCaptionType < 0 || pstInit->enCaptionType >= CAPTION_TYPE_BUTT) {
            return OUTPUT_ERR_ARGUMENT;
        }
        s.ccInit = true;
        s.ccType = pstInit->enCaptionType;
        return STB_SUCCESS;
    });
}

STB_STATUS cc_creat(const CAPTION_CC_S* pstCaption) {
    return Change("cc_creat", [&](Outputs& s) {
        if (pstCaption == nullptr) {
            return OUTPUT_ERR_NULL;
        }
        if (!s.ccInit) {
            return OUTPUT_ERR_NOT_INIT;
        }
        if (pstCaption->enCCDataType < 0 || pstCaption->enCCDataType >= CAPTION_CC_DATA_BUTT) {
            return OUTPUT_ERR_ARGUMENT;
        }
        s.ccCreated = true;
        s.ccData = pstCaption->enCCDataType;
        std::memset(&s.ccAttr, 0, sizeof(s.ccAttr));
        s.ccAttr.enCCDataType = s.ccData;
        return STB_SUCCESS;
    });
}

STB_STATUS cc_set_window(uint32_t u32X, uint32_t u32Y, uint32_t u32Width, uint32_t u32Height) {
    return Change("cc_set_window", [&](Outputs& s) {
        if (!s.ccCreated) {
            return OUTPUT_ERR_STATE;
        }
        s.ccWindow[0] = u32X;
        s.ccWindow[1] = u32Y;
        s.ccWindow[2] = u32Width;
        s.ccWindow[3] = u32Height;
        return STB_SUCCESS;
    });
}

STB_STATUS cc_start(void) {
    return Change("cc_start", [](Outputs& s) {
        if (!s.ccCreated) {
            return OUTPUT_ERR_STATE;
        }
        s.ccStarted = true;
        return STB_SUCCESS;
    });
}

STB_STATUS cc_getAttr(CAPTION_CC_ATTR_S* pstAttr) {
    return Read("cc_getAttr", [&](Outputs& s) {
        if (pstAttr == nullptr) {
            return OUTPUT_ERR_NULL;
        }
        if (!s.ccCreated) {
            return OUTPUT_ERR_STATE;
        }
        *pstAttr = s.ccAttr;
        return STB_SUCCESS;
    });
}

STB_STATUS cc_setAttr(const CAPTION_CC_ATTR_S* pstAttr) {
    return Change("cc_setAttr", [&](Outputs& s) {
        if (pstAttr == nullptr) {
            return OUTPUT_ERR_NULL;
        }
        if (!s.ccCreated) {
            return OUTPUT_ERR_STATE;
        }
        const CAPTION_CC_ATTR_S& a = *pstAttr;
        bool valid = false;
        if (a.enCCDataType == CAPTION_CC_DATA_608) {
            const CAPTION_CC608_ATTR_S& c = a.unCCConfig.stCC608;
            valid = c.enCC608DataType >= 0 && c.enCC608DataType < CAPTION_CC_608_DATATYPE_BUTT &&
                    c.enCC608DispFormat >= 0 && c.enCC608DispFormat < CAPTION_CC_DF_BUTT;
        } else if (a.enCCDataType == CAPTION_CC_DATA_708) {
            const CAPTION_CC708_ATTR_S& c = a.unCCConfig.stCC708;
            valid = ((c.enCC708ServiceNum >= CAPTION_CC_708_SERVICE1 &&
                      c.enCC708ServiceNum <= CAPTION_CC_708_SERVICE6) ||
                     (c.enCC708ServiceNum >= CAPTION_CC_708_LINE21_DATA_SERVICE1 &&
                      c.enCC708ServiceNum <= CAPTION_CC_708_LINE21_DATA_SERVICE4)) &&
                    c.enCC708DispFormat >= 0 && c.enCC708DispFormat < CAPTION_CC_DF_BUTT;
        } else if (a.enCCDataType == CAPTION_CC_DATA_ARIB) {
            valid = true;
        }
        if (!valid) {
            return OUTPUT_ERR_ARGUMENT;
        }
        s.ccAttr = a;
        s.ccData = a.enCCDataType;
        return STB_SUCCESS;
    });
}

STB_STATUS cc_stop(void) {
    return Change("cc_stop", [](Outputs& s) {
        s.ccStarted = false;
        return STB_SUCCESS;
    });
}

STB_STATUS cc_destroy(void) {
    return Change("cc_destroy", [](Outputs& s) {
        s.ccStarted = false;
        s.ccCreated = false;
        return STB_SUCCESS;
    });
}

STB_STATUS cc_deinit(void) {
    // The renderer may be de-initialised before it is stopped and destroyed; those calls still
    // succeed afterwards.
    return Change("cc_deinit", [](Outputs& s) {
        s.ccInit = false;
        return STB_SUCCESS;
    });
}

STB_STATUS cc_show_subtitle_enable(BOOL bEnable) {
    return Change("cc_show_subtitle_enable", [&](Outputs& s) {
        s.ccOverlay = bEnable != 0;
        return STB_SUCCESS;
    });
}

STB_STATUS cc_send_VBI_enable(BOOL bEnable) {
    return Change("cc_send_VBI_enable", [&](Outputs& s) {
        s.ccVbi = bEnable != 0;
        return STB_SUCCESS;
    });
}

// ---- Subtitles ------------------------------------------------------------------------------

STB_STATUS subtitle_init(void) {
    return Change("subtitle_init", [](Outputs& s) {
        s.subtitleInit = true;
        return STB_SUCCESS;
    });
}

STB_STATUS subtitle_create(const SUBTITLE_CREATE_PARAM_S* pstCreate, HANDLE* phSubtitle) {
    return Change("subtitle_create", [&](Outputs& s) {
        if (pstCreate == nullptr || phSubtitle == nullptr) {
            return OUTPUT_ERR_NULL;
        }
        if (!s.subtitleInit) {
            return OUTPUT_ERR_NOT_INIT;
        }
        if (s.subtitles.size() >= MAX_SUBTITLES) {
            return OUTPUT_ERR_NO_RESOURCE;
        }
        const HANDLE h = SUBTITLE_HANDLE_BASE | (s.nextSubtitle++ & 0xFFFFFFu);
        Subtitle& t = s.subtitles[h];
        t.source = pstCreate->hSource;
        std::memset(&t.params, 0, sizeof(t.params));
        *phSubtitle = h;
        return STB_SUCCESS;
    });
}

STB_STATUS subtitle_set_params(HANDLE hSubtitle, const SUBTITLE_PARAM_S* pstParam) {
    return WithSubtitle("subtitle_set_params", hSubtitle, [&](Subtitle& t) {
        if (pstParam == nullptr) {
            return OUTPUT_ERR_NULL;
        }
        if (pstParam->enSubtileType < 0 || pstParam->enSubtileType >= SUBTITLE_TYPE_BUTT ||
            pstParam->stSubtParam.u32SubtPID > 0x1FFF) {
            return OUTPUT_ERR_ARGUMENT;
        }
        t.params = *pstParam;
        return STB_SUCCESS;
    });
}

STB_STATUS subtitle_start_decoding(HANDLE hSubtitle, uint32_t u32Pid) {
    return WithSubtitle("subtitle_start_decoding", hSubtitle, [&](Subtitle& t) {
        if (u32Pid == 0 || u32Pid > 0x1FFF) {
            return OUTPUT_ERR_ARGUMENT;
        }
        t.decoding = true;
        t.decodingPid = u32Pid;
        return STB_SUCCESS;
    });
}

STB_STATUS subtitle_show(HANDLE hSubtitle) {
    return WithSubtitle("subtitle_show", hSubtitle, [](Subtitle& t) {
        t.visible = true;
        return STB_SUCCESS;
    });
}

STB_STATUS subtitle_hide(HANDLE hSubtitle) {
    return WithSubtitle("subtitle_hide", hSubtitle, [](Subtitle& t) {
        t.visible = false;
        return STB_SUCCESS;
    });
}

STB_STATUS subtitle_stop_decoding(HANDLE hSubtitle) {
    return WithSubtitle("subtitle_stop_decoding", hSubtitle, [](Subtitle& t) {
        t.decoding = false;
        t.decodingPid = 0;
        return STB_SUCCESS;
    });
}

STB_STATUS subtitle_destory(HANDLE hSubtitle) {
    return Change("subtitle_destory", [&](Outputs& s) {
        return s.subtitles.erase(hSubtitle) != 0 ? STB_SUCCESS : OUTPUT_ERR_HANDLE;
    });
}

STB_STATUS subtitle_deinit(void) {
    return Change("subtitle_deinit", [](Outputs& s) {
        s.subtitleInit = false;
        s.subtitles.clear();
        return STB_SUCCESS;
    });
}

}  // extern "C"
