// kestrel-probe [--seconds N] [--loop] [--video-pid PID --video-type avc|hevc|mpeg2]
//               [--audio-pid PID --audio-type mp2|aac|ac3|eac3] INPUT
// Plays INPUT ("file:PATH" or "udp://127.0.0.1:PORT"; a plain path means a file) through the host
// platform with the calls the daemon makes, and after N seconds (default 5) prints what the board
// reports as one JSON object. Without PIDs the first program's first video and audio streams are
// taken from its PMT.

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "platform/host/HostPlatform.h"
#include "platform/host/HostTsTap.h"
#include "probe/ProbeReport.h"
#include "probe/ProgramMap.h"
#include "shared/system/Logging.h"
#include "stb/stb_module.h"
#include "xptools/Clock.h"
#include "xptools/Thread.h"

using namespace Kestrel;

namespace {

int Fail(const std::string& message) {
    std::cerr << "kestrel-probe: " << message << std::endl;
    return 1;
}

bool ParsePid(const char* text, uint16_t& pid) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 0);
    if (end == text || *end != '\0' || value <= 0 || value >= 0x1FFF)
        return false;
    pid = static_cast<uint16_t>(value);
    return true;
}

bool ParseVideoType(const std::string& text, AV_VID_STREAM_TYPE_E& type) {
    if (text == "avc")
        type = AV_VID_STREAM_TYPE_H264;
    else if (text == "hevc")
        type = AV_VID_STREAM_TYPE_HEVC;
    else if (text == "mpeg2")
        type = AV_VID_STREAM_TYPE_MPEG2;
    else
        return false;
    return true;
}

bool ParseAudioType(const std::string& text, AV_AUD_STREAM_TYPE_E& type) {
    if (text == "mp2")
        type = AV_AUD_STREAM_TYPE_MPGE2;
    else if (text == "aac")
        type = AV_AUD_STREAM_TYPE_MPEG2_AAC;
    else if (text == "ac3")
        type = AV_AUD_STREAM_TYPE_AC3;
    else if (text == "eac3")
        type = AV_AUD_STREAM_TYPE_EAC3;
    else
        return false;
    return true;
}

const char* USAGE =
    "usage: kestrel-probe [--seconds N] [--loop] [--video-pid PID --video-type avc|hevc|mpeg2] "
    "[--audio-pid PID --audio-type mp2|aac|ac3|eac3] INPUT";

}  // namespace

int main(int argc, char** argv) {
    unsigned seconds = 5;
    bool loop = false;
    uint16_t videoPid = 0x1FFF, audioPid = 0x1FFF;
    bool videoTypeGiven = false, audioTypeGiven = false;
    AV_VID_STREAM_TYPE_E videoType = AV_VID_STREAM_TYPE_H264;
    AV_AUD_STREAM_TYPE_E audioType = AV_AUD_STREAM_TYPE_MPGE2;
    std::string input;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--seconds" && hasValue) {
            char* end = nullptr;
            long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || value <= 0 || value > 86400)
                return Fail("bad --seconds value");
            seconds = static_cast<unsigned>(value);
        } else if (arg == "--loop") {
            loop = true;
        } else if (arg == "--video-pid" && hasValue) {
            if (!ParsePid(argv[++i], videoPid))
                return Fail("bad --video-pid value");
        } else if (arg == "--audio-pid" && hasValue) {
            if (!ParsePid(argv[++i], audioPid))
                return Fail("bad --audio-pid value");
        } else if (arg == "--video-type" && hasValue) {
            if (!ParseVideoType(argv[++i], videoType))
                return Fail("bad --video-type value");
            videoTypeGiven = true;
        } else if (arg == "--audio-type" && hasValue) {
            if (!ParseAudioType(argv[++i], audioType))
                return Fail("bad --audio-type value");
            audioTypeGiven = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Fail(std::string("unknown option ") + arg + "\n" + USAGE);
        } else if (input.empty()) {
            input = arg;
        } else {
            return Fail(std::string("more than one input\n") + USAGE);
        }
    }
    if (input.empty())
        return Fail(USAGE);
    if ((videoPid != 0x1FFF) != videoTypeGiven)
        return Fail("--video-pid and --video-type go together");
    if ((audioPid != 0x1FFF) != audioTypeGiven)
        return Fail("--audio-pid and --audio-type go together");
    if (input.compare(0, 5, "file:") != 0 && input.compare(0, 6, "udp://") != 0)
        input = "file:" + input;

    Sys::ConfigureDefaultLogging();
    Host::SetHostInput(input, loop);
    Probe::CProgramMap programMap;
    Host::AddTsTap(&programMap);

    HANDLE av = 0;
    AV_INIT_S init{};
    AV_CREATE_S create{};
    create.enStreamType = AV_STREAM_TYPE_TS;
    AV_PREPARE_S prepare{};
    std::snprintf(prepare.multiAddr, sizeof(prepare.multiAddr), "%s", "127.0.0.1");
    if (system_init() != 0 || av_init(&init) != 0 || av_create(&av, &create) != 0) {
        Host::RemoveTsTap(&programMap);
        return Fail("the platform did not start");
    }
    auto finish = [&](int code) {
        av_stop(av);
        av_destory(av);
        av_deinit();
        system_deinit();
        Host::RemoveTsTap(&programMap);
        return code;
    };
    if (av_prepare(&prepare) != 0)
        return finish(Fail("cannot open the input " + input));

    // The program map: needed for the PCR PID always, and for the streams when not given.
    Probe::ProgramStreams_t program;
    uint64_t deadline = XP::Clock::DeadlineAfterMs(5000);
    while (!(program = programMap.Get()).complete && XP::Clock::NowNs() < deadline &&
           Host::IsInputRunning()) {
        XP::CThread::Sleep(10);
    }
    if (!program.complete) {
        if (!Host::IsInputRunning())
            return finish(Fail(input + " ended or is not a transport stream"));
        if (videoPid == 0x1FFF && audioPid == 0x1FFF) {
            return finish(Fail("no program map in the first 5 seconds of " + input));
        }
    }
    AV_SETTING_S setting{};
    setting.enAvSyncMode = AV_SYNC_MODE_PCR;
    setting.u16AudADPid = 0x1FFF;
    setting.u16VidPid = videoTypeGiven ? videoPid : program.videoPid;
    setting.enVidStreamType = videoTypeGiven ? videoType : program.videoType;
    setting.u16AudPid = audioTypeGiven ? audioPid : program.audioPid;
    setting.enAudStreamType = audioTypeGiven ? audioType : program.audioType;
    setting.u16PcrPid = program.complete ? program.pcrPid : setting.u16VidPid;
    setting.u16ServiceID = program.serviceId;
    if (setting.u16VidPid == 0x1FFF && setting.u16AudPid == 0x1FFF) {
        return finish(
            Fail("the first program of " + input + " has no video or audio the board plays"));
    }

    AV_EVENT_CONFIG_PARAMS_S events{};
    events.enEvt = AM_EVT_DTV_SUBTITLE;
    events.bEnableCallback = FALSE;
    if (av_set_event_config(av, &events) != 0 || av_set_config(av, &setting) != 0 ||
        av_start(av) != 0) {
        return finish(Fail("the player did not start"));
    }

    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    uint64_t startNs = XP::Clock::NowNs();
    XP::CThread::Sleep(seconds * 1000);
    uint64_t elapsedNs = XP::Clock::NowNs() - startNs;
    getrusage(RUSAGE_SELF, &after);

    Probe::ProbeReport_t report{};
    av_get_stream_info(av, &report.streamInfo);
    av_get_status_info(av, &report.status);
    bool videoStarted = false, audioStarted = false;
    av_get_buffer_stat(av, &report.buffer, &videoStarted, &audioStarted);
    const AV_SYNC_PTS_CHAN_E channels[3] = {AV_SYNC_PTS_CHAN_VID, AV_SYNC_PTS_CHAN_AUD,
                                            AV_SYNC_PTS_CHAN_PCR};
    for (int i = 0; i < 3; ++i) {
        int64_t pts = 0;
        report.ptsValid[i] = av_get_current_pts(av, channels[i], &pts) == 0;
        report.pts[i] = pts;
    }
    std::cout << Probe::ReportJson(report) << std::endl;

    auto cpuUs = [](const rusage& r) {
        return uint64_t(r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000000 + r.ru_utime.tv_usec +
               r.ru_stime.tv_usec;
    };
    double cpu = double(cpuUs(after) - cpuUs(before)) * 1000.0 / double(elapsedNs) * 100.0;
    std::fprintf(stderr,
                 "kestrel-probe: platform CPU while playing: %.1f%% of one core over %u s\n", cpu,
                 seconds);
    return finish(0);
}
