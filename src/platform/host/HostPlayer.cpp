#include "platform/host/HostPlayer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
#include <libavutil/pixdesc.h>
}

#include <log4cpp/Category.hh>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/host/HostTs.h"
#include "xptools/Clock.h"
#include "xptools/Functor.h"

namespace Kestrel {
namespace Host {

namespace {

log4cpp::Category& Log() {
    return log4cpp::Category::getInstance("host.player");
}

constexpr uint64_t IDLE_NS = 1000000000ULL;  // a stream silent this long counts as stopped
constexpr int64_t LATE_LIMIT = PTS_HZ;       // units later than this are dropped
constexpr size_t MAX_QUEUED_BYTES = 64 * 1024 * 1024;

int VideoCodec(AV_VID_STREAM_TYPE_E type) {
    switch (type) {
        case AV_VID_STREAM_TYPE_MPEG2:
            return AV_CODEC_ID_MPEG2VIDEO;
        case AV_VID_STREAM_TYPE_MPEG4:
            return AV_CODEC_ID_MPEG4;
        case AV_VID_STREAM_TYPE_H264:
            return AV_CODEC_ID_H264;
        case AV_VID_STREAM_TYPE_HEVC:
            return AV_CODEC_ID_HEVC;
        default:
            return AV_CODEC_ID_NONE;
    }
}

int AudioCodec(AV_AUD_STREAM_TYPE_E type) {
    switch (type) {
        case AV_AUD_STREAM_TYPE_MPGE1:
        case AV_AUD_STREAM_TYPE_MPGE2:
            return AV_CODEC_ID_MP2;
        case AV_AUD_STREAM_TYPE_MPEG2_AAC:
        case AV_AUD_STREAM_TYPE_MPEG4_AAC:
            return AV_CODEC_ID_AAC;
        case AV_AUD_STREAM_TYPE_AC3:
            return AV_CODEC_ID_AC3;
        case AV_AUD_STREAM_TYPE_EAC3:
            return AV_CODEC_ID_EAC3;
        default:
            return AV_CODEC_ID_NONE;
    }
}

bool UsablePid(uint16_t pid) {
    return pid != 0 && pid < TS_NULL_PID;
}

AV_VID_FORMAT_E PictureFormat(int format) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(format));
    if (d == nullptr || d->nb_components < 3)
        return AV_VID_FORMAT_YUV_SEMIPLANAR_420;
    if (d->log2_chroma_w == 0 && d->log2_chroma_h == 0)
        return AV_VID_FORMAT_YUV_SEMIPLANAR_444;
    if (d->log2_chroma_w == 1 && d->log2_chroma_h == 0)
        return AV_VID_FORMAT_YUV_SEMIPLANAR_422;
    return AV_VID_FORMAT_YUV_SEMIPLANAR_420;
}

AV_PIXEL_BITWIDTH_E BitWidth(int format) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(format));
    if (d == nullptr)
        return AV_PIXEL_BITWIDTH_8BIT;
    if (d->comp[0].depth >= 12)
        return AV_PIXEL_BITWIDTH_12BIT;
    if (d->comp[0].depth >= 10)
        return AV_PIXEL_BITWIDTH_10BIT;
    return AV_PIXEL_BITWIDTH_8BIT;
}

bool Progressive(int fieldOrder) {
    return fieldOrder == AV_FIELD_PROGRESSIVE || fieldOrder == AV_FIELD_UNKNOWN;
}

uint32_t Gcd(uint32_t a, uint32_t b) {
    while (b != 0) {
        uint32_t t = a % b;
        a = b;
        b = t;
    }
    return a;
}

}  // namespace

CHostPlayer::CHostPlayer(HANDLE handle)
    : m_Handle(handle),
      m_Thread(XP::MakeFunctor<&CHostPlayer::PresentStep>(this), "host.present", 0) {
    // The parsers complain on stderr about every picture that precedes the first parameter sets
    // of a stream joined midway; the player reports what matters through its own log.
    static std::once_flag s_Quiet;
    std::call_once(s_Quiet, [] {
        if (av_log_get_level() >= AV_LOG_ERROR)
            av_log_set_level(AV_LOG_FATAL);
    });
    m_Video.video = true;
    m_Setting.u16PcrPid = m_Setting.u16AudPid = m_Setting.u16VidPid = m_Setting.u16AudADPid =
        TS_NULL_PID;
    m_Thread.Run();
    AddTsTap(this);
}

CHostPlayer::~CHostPlayer() {
    RemoveTsTap(this);
    m_Thread.Cancel();
    CloseParser(m_Video);
    CloseParser(m_Audio);
}

void CHostPlayer::OpenParser(Es& es, int codecId) {
    CloseParser(es);
    es.codecId = codecId;
    if (codecId == AV_CODEC_ID_NONE)
        return;
    es.parser = av_parser_init(codecId);
    es.context = avcodec_alloc_context3(nullptr);
    if (es.parser == nullptr || es.context == nullptr) {
        Log().error("no parser for the %s codec %s", Name(es),
                    avcodec_get_name(static_cast<AVCodecID>(codecId)));
        CloseParser(es);
        es.codecId = AV_CODEC_ID_NONE;
        return;
    }
    es.context->codec_id = static_cast<AVCodecID>(codecId);
    es.context->codec_type = es.video ? AVMEDIA_TYPE_VIDEO : AVMEDIA_TYPE_AUDIO;
    // The AVC and HEVC parsers count the timing information in fields, as their decoders do.
    if (codecId == AV_CODEC_ID_H264 || codecId == AV_CODEC_ID_HEVC)
        es.context->ticks_per_frame = 2;
}

void CHostPlayer::CloseParser(Es& es) {
    if (es.parser != nullptr)
        av_parser_close(es.parser);
    if (es.context != nullptr)
        avcodec_free_context(&es.context);
    es.parser = nullptr;
    es.context = nullptr;
}

void CHostPlayer::Flush(Es& es) {
    es.queue.clear();
    es.queuedBytes = 0;
    es.inPes = false;
    es.pesPts = -1;
    es.nextPts = -1;
    es.lastCc = -1;
    es.seenKey = false;
    // A new parser forgets the bytes of the unit it was assembling.
    if (es.parser != nullptr)
        OpenParser(es, es.codecId);
}

void CHostPlayer::ClearCounts(Es& es) {
    es.outputCount = 0;
    es.packetCount = 0;
    es.dropped = 0;
    es.lastPts = -1;
    es.firstPts = -1;
    es.active = false;
    es.last = Unit();
}

void CHostPlayer::SetConfig(const AV_SETTING_S& setting) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Setting = setting;
    Log().info("AV %#x: PCR PID %#x, video PID %#x type %d, audio PID %#x type %d", m_Handle,
               setting.u16PcrPid, setting.u16VidPid, setting.enVidStreamType, setting.u16AudPid,
               setting.enAudStreamType);
}

AV_SETTING_S CHostPlayer::GetConfig() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Setting;
}

uint32_t CHostPlayer::Start() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    bool any = false;
    Es* streams[2] = {&m_Video, &m_Audio};
    for (Es* es : streams) {
        uint16_t pid = es->video ? m_Setting.u16VidPid : m_Setting.u16AudPid;
        int codec = es->video ? VideoCodec(m_Setting.enVidStreamType)
                              : AudioCodec(m_Setting.enAudStreamType);
        if (!UsablePid(pid))
            continue;
        if (codec == AV_CODEC_ID_NONE) {
            Log().warn("AV %#x: %s stream type %d is not supported; %s not started", m_Handle,
                       Name(*es),
                       es->video ? int(m_Setting.enVidStreamType) : int(m_Setting.enAudStreamType),
                       Name(*es));
            continue;
        }
        if (!es->started || es->pid != pid || es->codecId != codec) {
            es->pid = pid;
            OpenParser(*es, codec);
            Flush(*es);
            ClearCounts(*es);
        }
        es->started = es->parser != nullptr;
        any = any || es->started;
    }
    m_Playing = any;
    return any ? 0 : 0x80010001u;
}

void CHostPlayer::Stop() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Playing = false;
    for (Es* es : {&m_Video, &m_Audio}) {
        es->started = false;
        Flush(*es);
        es->active = false;
    }
    m_Clock.Reset();
}

void CHostPlayer::StopAudio() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Audio.started = false;
    m_Audio.active = false;
    Flush(m_Audio);
    m_Playing = m_Video.started;
}

void CHostPlayer::StopVideo() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Video.started = false;
    m_Video.active = false;
    Flush(m_Video);
    m_Playing = m_Audio.started;
}

void CHostPlayer::Reset() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    for (Es* es : {&m_Video, &m_Audio}) {
        Flush(*es);
        ClearCounts(*es);
    }
    m_Clock.Reset();
}

void CHostPlayer::PauseFor(uint32_t microseconds) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Clock.Pause(XP::Clock::NowNs(), uint64_t(microseconds) * 1000);
}

void CHostPlayer::SetEventConfig(const AV_EVENT_CONFIG_PARAMS_S& config) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Event = config;
    m_EventSkipCounter = 0;
}

void CHostPlayer::OnDiscontinuity() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    for (Es* es : {&m_Video, &m_Audio})
        Flush(*es);
    m_Clock.Reset();
}

void CHostPlayer::OnTs(const uint8_t* data, size_t size) {
    uint64_t now = XP::Clock::NowNs();
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_Playing)
        return;
    for (size_t i = 0; i + TS_PACKET_SIZE <= size; i += TS_PACKET_SIZE)
        HandlePacket(data + i, now);
}

void CHostPlayer::HandlePacket(const uint8_t* p, uint64_t nowNs) {
    uint16_t pid = TsPid(p);
    if (TsError(p))
        return;  // the demux drops packets flagged in error
    if (pid == m_Setting.u16PcrPid) {
        int64_t pcr = TsPcr27(p);
        if (pcr >= 0) {
            m_LastPcrNs = nowNs;
            if (m_Clock.OnPcr(pcr / 300, nowNs) == CHostClock::PCR_RELOCKED) {
                Log().warn("AV %#x: PCR jump; clock re-locked, queued units dropped", m_Handle);
                for (Es* es : {&m_Video, &m_Audio}) {
                    es->queue.clear();
                    es->queuedBytes = 0;
                    es->nextPts = -1;
                }
            }
        }
    }
    Es* es = nullptr;
    if (m_Video.started && pid == m_Video.pid)
        es = &m_Video;
    else if (m_Audio.started && pid == m_Audio.pid)
        es = &m_Audio;
    if (es == nullptr)
        return;
    ++es->packetCount;
    es->rateBytes += TS_PACKET_SIZE;
    if (nowNs - es->rateStartNs >= 1000000000ULL) {
        es->bps =
            static_cast<uint32_t>(es->rateBytes * 8 * 1000000000ULL / (nowNs - es->rateStartNs));
        es->rateBytes = 0;
        es->rateStartNs = nowNs;
    }
    size_t payloadSize = 0;
    const uint8_t* payload = TsPayload(p, payloadSize);
    if ((p[3] & 0x10) == 0)
        return;  // no payload: the counter does not move
    int cc = p[3] & 0x0F;
    if (es->lastCc >= 0 && cc != ((es->lastCc + 1) & 0x0F) && cc != es->lastCc) {
        // A lost packet: the PES in progress is incomplete; wait for the next one.
        Log().debug("AV %#x: %s PID %#x continuity error", m_Handle, Name(*es), pid);
        es->inPes = false;
    }
    es->lastCc = cc;
    if (payload == nullptr || payloadSize == 0)
        return;
    if (TsPayloadStart(p)) {
        size_t headerSize = 0;
        int64_t pts = -1;
        if (!ParsePesHeader(payload, payloadSize, headerSize, pts)) {
            es->inPes = false;
            return;
        }
        es->inPes = true;
        es->pesPts = pts;
        payload += headerSize;
        payloadSize -= headerSize;
    }
    if (!es->inPes)
        return;
    FeedEs(*es, payload, payloadSize, nowNs);
}

void CHostPlayer::FeedEs(Es& es, const uint8_t* data, size_t size, uint64_t nowNs) {
    while (size > 0) {
        uint8_t* out = nullptr;
        int outSize = 0;
        int64_t pts = es.pesPts >= 0 ? es.pesPts : AV_NOPTS_VALUE;
        int used = av_parser_parse2(es.parser, es.context, &out, &outSize, data,
                                    static_cast<int>(size), pts, AV_NOPTS_VALUE, 0);
        es.pesPts = -1;
        if (used < 0)
            break;
        data += used;
        size -= static_cast<size_t>(used);
        if (outSize > 0) {
            QueueUnit(es, es.parser->pts == AV_NOPTS_VALUE ? -1 : es.parser->pts,
                      static_cast<uint32_t>(outSize), nowNs);
        }
        if (used == 0 && outSize == 0)
            break;
    }
}

void CHostPlayer::QueueUnit(Es& es, int64_t rawPts, uint32_t size, uint64_t nowNs) {
    if (!m_Clock.IsLocked())
        return;  // nothing can be presented before the clock runs
    // One unit's duration: the audio frame's samples, or the picture period.
    if (!es.video && es.parser->duration > 0 && es.context->sample_rate > 0) {
        es.period = int64_t(es.parser->duration) * PTS_HZ / es.context->sample_rate;
    } else if (es.video && es.context->framerate.num > 0 && es.context->framerate.den > 0) {
        es.period = int64_t(PTS_HZ) * es.context->framerate.den / es.context->framerate.num;
    }
    if (es.video && !es.seenKey) {
        // Like a decoder, start at a random access point: before it the parameter sets may be
        // missing and the pictures cannot be decoded.
        bool key = es.parser->key_frame == 1 || es.parser->pict_type == AV_PICTURE_TYPE_I;
        if (!key || (es.parser->width <= 0 && es.context->width <= 0))
            return;
        es.seenKey = true;
    }
    int64_t pts;
    if (rawPts >= 0) {
        pts = m_Clock.Unwrap(rawPts & (PTS_WRAP - 1), nowNs);
    } else if (es.nextPts >= 0) {
        pts = es.nextPts;
    } else {
        return;  // no time for it yet
    }
    es.nextPts = pts + es.period;
    int64_t stc = m_Clock.Now(nowNs);
    if (pts < stc - LATE_LIMIT || pts > stc + MAX_LEAD) {
        if (es.dropped++ % 100 == 0) {
            Log().warn("AV %#x: %s unit with PTS %.3f s from the clock dropped", m_Handle, Name(es),
                       double(pts - stc) / PTS_HZ);
        }
        return;
    }
    if (es.queue.size() >= MAX_QUEUED_UNITS || es.queuedBytes + size > MAX_QUEUED_BYTES) {
        auto oldest = es.queue.begin();
        es.queuedBytes -= oldest->second.size;
        es.queue.erase(oldest);
        ++es.dropped;
    }
    Unit unit;
    unit.size = size;
    if (es.video) {
        unit.width = es.parser->width > 0 ? es.parser->width : es.context->width;
        unit.height = es.parser->height > 0 ? es.parser->height : es.context->height;
        unit.fieldOrder = es.parser->field_order;
        unit.format = es.parser->format >= 0 ? es.parser->format : es.context->pix_fmt;
    }
    es.queue.emplace(pts, unit);
    es.queuedBytes += size;
}

uint64_t CHostPlayer::PresentDueLocked(uint64_t now) {
    uint64_t waitMs = 10;
    if (m_Clock.IsLocked()) {
        int64_t stc = m_Clock.Now(now);
        for (Es* es : {&m_Video, &m_Audio}) {
            while (!es->queue.empty() && es->queue.begin()->first <= stc) {
                auto it = es->queue.begin();
                int64_t pts = it->first;
                Unit unit = it->second;
                es->queuedBytes -= unit.size;
                es->queue.erase(it);
                if (es->lastPts >= 0 && es->video && !es->context->framerate.num) {
                    int64_t delta = pts - m_Clock.Unwrap(es->lastPts, now);
                    if (delta > 0 && (es->period == 0 || delta < es->period))
                        es->period = delta;
                }
                int64_t pts33 = ((pts % PTS_WRAP) + PTS_WRAP) % PTS_WRAP;
                if (es->firstPts < 0)
                    es->firstPts = pts33;
                es->lastPts = pts33;
                ++es->outputCount;
                es->lastOutputNs = now;
                if (!es->active) {
                    Log().info("AV %#x: %s PID %#x playing", m_Handle, Name(*es), es->pid);
                    es->active = true;
                }
                if (es->video) {
                    es->last = unit;
                    if (m_Event.bEnableCallback && m_Event.pfnCallback != nullptr &&
                        m_EventSkipCounter++ % (uint32_t(m_Event.u32NotificationToSkip) + 1) == 0) {
                        if (m_PendingEvents.size() >= MAX_PENDING_EVENTS) {
                            m_PendingEvents.erase(m_PendingEvents.begin());
                        }
                        m_PendingEvents.emplace_back();
                        FillFrameInfo(*es, pts33, m_PendingEvents.back());
                    }
                }
            }
            if (!es->queue.empty()) {
                uint64_t ms = (uint64_t(es->queue.begin()->first - stc) + 89) / 90;
                waitMs = std::min(waitMs, ms);
            }
        }
    }
    for (Es* es : {&m_Video, &m_Audio}) {
        if (es->started && es->active && now - es->lastOutputNs >= IDLE_NS) {
            Log().warn("AV %#x: %s PID %#x: nothing to play for a second; decoder stopped",
                       m_Handle, Name(*es), es->pid);
            es->active = false;
        }
    }
    return waitMs;
}

bool CHostPlayer::PresentStep() {
    std::vector<AV_VID_FRAMEINFO_S> pictures;
    AV_CALLBACK_PFN_T callback = nullptr;
    uint64_t waitMs;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        waitMs = PresentDueLocked(XP::Clock::NowNs());
        pictures.swap(m_PendingEvents);
        callback = m_Event.bEnableCallback ? m_Event.pfnCallback : nullptr;
    }
    if (callback != nullptr) {
        for (const AV_VID_FRAMEINFO_S& info : pictures) {
            callback(m_Handle, AV_VID_EVT_NEW_PICTURE_DECODED, &info);
        }
    }
    XP::CThread::Sleep(static_cast<unsigned int>(std::max<uint64_t>(waitMs, 1)));
    return !XP::Clock::IsCancelRequested();
}

void CHostPlayer::FrameRate(const Es& es, uint32_t& integer, uint32_t& thousandths) const {
    integer = thousandths = 0;
    uint64_t milli = 0;
    if (es.context != nullptr && es.context->framerate.num > 0 && es.context->framerate.den > 0) {
        milli = uint64_t(es.context->framerate.num) * 1000 / uint64_t(es.context->framerate.den);
    } else if (es.period > 0) {
        milli = uint64_t(PTS_HZ) * 1000 / uint64_t(es.period);
    }
    integer = static_cast<uint32_t>(milli / 1000);
    thousandths = static_cast<uint32_t>(milli % 1000);
}

void CHostPlayer::FillFrameInfo(const Es& es, int64_t pts, AV_VID_FRAMEINFO_S& info) const {
    std::memset(&info, 0, sizeof(info));
    const Unit& u = es.last;
    info.u32FrameIndex = es.outputCount - 1;
    info.enVideoFormat = PictureFormat(u.format);
    info.u32Width = static_cast<uint32_t>(u.width);
    info.u32Height = static_cast<uint32_t>(u.height);
    info.s64SrcPts = pts;
    info.s64Pts = pts;
    // Display aspect ratio from the size and the sample aspect ratio.
    uint64_t sarNum = 1, sarDen = 1;
    if (es.context->sample_aspect_ratio.num > 0 && es.context->sample_aspect_ratio.den > 0) {
        sarNum = uint64_t(es.context->sample_aspect_ratio.num);
        sarDen = uint64_t(es.context->sample_aspect_ratio.den);
    }
    uint64_t darW = uint64_t(u.width) * sarNum, darH = uint64_t(u.height) * sarDen;
    if (darW > 0 && darH > 0) {
        if (darW * 9 * 100 >= darH * 16 * 99 && darW * 9 * 100 <= darH * 16 * 101) {
            info.u32AspectWidth = 16;
            info.u32AspectHeight = 9;
        } else if (darW * 3 * 100 >= darH * 4 * 99 && darW * 3 * 100 <= darH * 4 * 101) {
            info.u32AspectWidth = 4;
            info.u32AspectHeight = 3;
        } else {
            while (darW > UINT32_MAX || darH > UINT32_MAX) {
                darW >>= 1;
                darH >>= 1;
            }
            uint32_t g = Gcd(uint32_t(darW), uint32_t(darH));
            info.u32AspectWidth = uint32_t(darW) / (g ? g : 1);
            info.u32AspectHeight = uint32_t(darH) / (g ? g : 1);
        }
    }
    FrameRate(es, info.u32fpsInteger, info.u32fpsDecimal);
    info.bProgressive = Progressive(u.fieldOrder) ? TRUE : FALSE;
    info.enFieldMode = AV_VID_FIELD_MODE_ALL;
    info.bTopFieldFirst =
        (u.fieldOrder == AV_FIELD_TT || u.fieldOrder == AV_FIELD_TB) ? TRUE : FALSE;
    info.enFramePackingType = AV_3D_FORMAT_OFF;
    info.u32DisplayWidth = info.u32Width;
    info.u32DisplayHeight = info.u32Height;
    info.u32DisplayCenterX = info.u32Width / 2;
    info.u32DisplayCenterY = info.u32Height / 2;
}

bool CHostPlayer::IsActive(const Es& es) const {
    // `active` is the presentation thread's verdict, so the state and its log line agree.
    return es.started && es.active;
}

void CHostPlayer::GetStatus(AV_STATUS_S& status) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    uint64_t now = XP::Clock::NowNs();
    PresentDueLocked(now);
    int64_t stc = m_Clock.IsLocked() ? m_Clock.Now33(now) : 0;
    status.enRunStatus = m_Playing ? AV_PLAY_STATUS_PLAY : AV_PLAY_STATUS_STOP;
    status.bVidStart = m_Video.started ? TRUE : FALSE;
    status.bAudStart = m_Audio.started ? TRUE : FALSE;
    status.u16PcrPid = m_Setting.u16PcrPid;

    AV_VID_STATUS_S& v = status.stVidStatus;
    bool vActive = IsActive(m_Video);
    v.u32DispPicCount = m_Video.outputCount;
    v.enDecodeState = vActive ? AV_DECODER_STATE_RUNNING : AV_DECODER_STATE_STOPPED;
    v.enStreamType = m_Setting.enVidStreamType;
    v.u16Pid = m_Video.started ? m_Video.pid : m_Setting.u16VidPid;
    v.en3dFormat = AV_3D_FORMAT_OFF;
    v.u32EsBufferSize = VIDEO_ES_BUFFER;
    v.u32EsBufferFreeSize = VIDEO_ES_BUFFER - static_cast<uint32_t>(std::min<size_t>(
                                                  m_Video.queuedBytes, VIDEO_ES_BUFFER));
    v.u32PesBufferSize = v.u32EsBufferSize;
    v.u32PesBufferFreeSize = v.u32EsBufferFreeSize;
    v.s64Pts = m_Video.lastPts;
    v.s64FirstPts = m_Video.firstPts;
    v.u32Stc = static_cast<uint32_t>(stc);
    v.u32PicNotDecodeCount = m_Video.dropped;
    if (vActive) {
        uint32_t fi = 0, fd = 0;
        FrameRate(m_Video, fi, fd);
        v.u16FpsInteger = static_cast<uint16_t>(fi);
        v.u16FpsDecimal = static_cast<uint16_t>(fd);
        v.u32Profile = m_Video.context->profile > 0 ? uint32_t(m_Video.context->profile) : 0;
        v.u32Level = m_Video.context->level > 0 ? uint32_t(m_Video.context->level) : 0;
        v.bInterlaced = Progressive(m_Video.last.fieldOrder) ? FALSE : TRUE;
        v.u32SourceWidth = v.u32DisplayWidth = static_cast<uint32_t>(m_Video.last.width);
        v.u32SouceHeight = v.u32DisplayHeight = static_cast<uint32_t>(m_Video.last.height);
        v.enBitWidth = BitWidth(m_Video.last.format);
        v.u32Bps = m_Video.bps;
        if (!m_Video.queue.empty()) {
            int64_t ahead = m_Video.queue.rbegin()->first - m_Clock.Now(now);
            v.u32FrameBufTime = ahead > 0 ? uint32_t(ahead / 90) : 0;
        }
    }

    AV_AUD_STATUS_S& a = status.stAudStatus;
    bool aActive = IsActive(m_Audio);
    a.u32PacketCount = m_Audio.packetCount;
    a.u32FrameCount = m_Audio.outputCount;
    a.enDecodeState = aActive ? AV_DECODER_STATE_RUNNING : AV_DECODER_STATE_STOPPED;
    a.enStreamType = m_Setting.enAudStreamType;
    a.u16Pid = m_Audio.started ? m_Audio.pid : m_Setting.u16AudPid;
    a.u16ADPid = m_Setting.u16AudADPid;
    a.u32EsBufferSize = AUDIO_ES_BUFFER;
    a.u32EsBufferFreeSize = AUDIO_ES_BUFFER - static_cast<uint32_t>(std::min<size_t>(
                                                  m_Audio.queuedBytes, AUDIO_ES_BUFFER));
    a.u32PesBufferSize = a.u32EsBufferSize;
    a.u32PesBufferFreeSize = a.u32EsBufferFreeSize;
    a.s64Pts = m_Audio.lastPts;
    a.s64FirstPts = m_Audio.firstPts;
    a.u32Stc = static_cast<uint32_t>(stc);
    if (aActive) {
        a.u32SampleRate = static_cast<uint32_t>(m_Audio.context->sample_rate);
        a.u32BitWidth = 16;
        a.u32Chanel = static_cast<uint32_t>(m_Audio.context->ch_layout.nb_channels);
        a.u32Bps =
            m_Audio.context->bit_rate > 0 ? uint32_t(m_Audio.context->bit_rate) : m_Audio.bps;
        if (!m_Audio.queue.empty()) {
            int64_t ahead = m_Audio.queue.rbegin()->first - m_Clock.Now(now);
            a.u32FrameBufTime = ahead > 0 ? uint32_t(ahead / 90) : 0;
        }
    }
    if (m_Video.lastPts >= 0 && m_Audio.lastPts >= 0) {
        int64_t d = PtsDelta(m_Audio.lastPts, m_Video.lastPts);
        status.s32AVDiffTime = static_cast<uint32_t>(static_cast<int32_t>(d / 90));
    }
}

bool CHostPlayer::GetPts(AV_SYNC_PTS_CHAN_E channel, int64_t& pts) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    uint64_t now = XP::Clock::NowNs();
    PresentDueLocked(now);
    switch (channel) {
        case AV_SYNC_PTS_CHAN_VID:
            pts = m_Video.lastPts;
            return pts >= 0;
        case AV_SYNC_PTS_CHAN_AUD:
            pts = m_Audio.lastPts;
            return pts >= 0;
        case AV_SYNC_PTS_CHAN_PCR:
            if (!m_Clock.IsLocked())
                return false;
            pts = m_Clock.Now33(now);
            return true;
        default:
            return false;
    }
}

void CHostPlayer::GetBufferStat(AV_BUFFER_STAT_S& stat, bool& videoStarted, bool& audioStarted) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    uint64_t now = XP::Clock::NowNs();
    PresentDueLocked(now);
    std::memset(&stat, 0, sizeof(stat));
    auto fill = [&](const Es& es, uint32_t capacity, BUFFER_ITEM_S& item) {
        item.size = static_cast<int32_t>(capacity);
        item.dataLen = static_cast<int32_t>(std::min<size_t>(es.queuedBytes, capacity));
        if (!es.queue.empty() && m_Clock.IsLocked()) {
            int64_t ahead = es.queue.rbegin()->first - m_Clock.Now(now);
            item.bufferedMs = ahead > 0 ? static_cast<int32_t>(ahead / 90) : 0;
        }
    };
    fill(m_Video, VIDEO_ES_BUFFER, stat.videoBuffer);
    fill(m_Audio, AUDIO_ES_BUFFER, stat.audioBuffer);
    videoStarted = m_Video.started && m_Video.outputCount > 0;
    audioStarted = m_Audio.started && m_Audio.outputCount > 0;
}

}  // namespace Host
}  // namespace Kestrel
