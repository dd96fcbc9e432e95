#include "platform/host/HostStreamProber.h"

#include <algorithm>
#include <cstring>
#include <string>

#include <log4cpp/Category.hh>

#include "platform/host/HostCodecMap.h"
#include "xptools/Clock.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

namespace Kestrel {
namespace Host {

namespace {

constexpr size_t TS_PACKET = 188;
constexpr size_t PID_COUNT = 8192;
constexpr uint64_t NS_PER_MS = 1000000;
constexpr int IO_BUFFER = 32 * 1024;

log4cpp::Category& Log() {
    return log4cpp::Category::getInstance("host.streaminfo");
}

// The bytes a probe reads: a copy of the window, so the input goes on while FFmpeg works.
struct MemoryInput {
    std::vector<uint8_t> bytes;
    size_t position = 0;
};

int ReadMemory(void* opaque, uint8_t* buffer, int size) {
    MemoryInput* in = static_cast<MemoryInput*>(opaque);
    const size_t left = in->bytes.size() - in->position;
    if (left == 0) {
        return AVERROR_EOF;
    }
    const size_t n = std::min(left, static_cast<size_t>(size));
    std::memcpy(buffer, in->bytes.data() + in->position, n);
    in->position += n;
    return static_cast<int>(n);
}

std::string FfError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {0};
    av_strerror(code, text, sizeof(text));
    return text;
}

// Copies metadata text into a fixed field of the record: at most size - 1 characters, so a
// reader that expects a terminated string finds one.
void CopyText(char* field, size_t size, const AVDictionary* metadata, const char* key) {
    std::memset(field, 0, size);
    const AVDictionaryEntry* entry = av_dict_get(metadata, key, nullptr, 0);
    if (entry != nullptr && entry->value != nullptr) {
        std::strncpy(field, entry->value, size - 1);
    }
}

// Owns what one probe opens.
struct ProbeContext {
    AVFormatContext* format = nullptr;
    AVIOContext* io = nullptr;
    ~ProbeContext() {
        if (format != nullptr) {
            avformat_close_input(&format);
        }
        if (io != nullptr) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
    }
};

// An answer with a stream whose parameters FFmpeg could not find yet: probe again later.
bool IsIncomplete(const AV_STREAM_INFO_S& info) {
    if (info.u32VideoNum == 0 && info.u32AudioNum == 0) {
        return true;
    }
    for (uint32_t i = 0; i < info.u32VideoNum; ++i) {
        if (info.stVideoStreamInfo[i].u32Width == 0 ||
            info.stVideoStreamInfo[i].stAvgFrameRate.s32Num == 0) {
            return true;
        }
    }
    for (uint32_t i = 0; i < info.u32AudioNum; ++i) {
        if (info.stAudioStreamInfo[i].u32SampleRate == 0) {
            return true;
        }
    }
    return false;
}

// Probes `input` and fills `out` (zeroed by the caller); `programPmtPids` receives the PMT PID of
// each program entry. False when the bytes cannot be read as a transport stream at all.
bool ProbeBytes(MemoryInput& input, AV_STREAM_INFO_S* out, uint16_t* programPmtPids) {
    ProbeContext ctx;
    uint8_t* ioBuffer = static_cast<uint8_t*>(av_malloc(IO_BUFFER));
    if (ioBuffer == nullptr) {
        return false;
    }
    ctx.io = avio_alloc_context(ioBuffer, IO_BUFFER, 0, &input, &ReadMemory, nullptr, nullptr);
    if (ctx.io == nullptr) {
        av_free(ioBuffer);
        return false;
    }
    ctx.format = avformat_alloc_context();
    if (ctx.format == nullptr) {
        return false;
    }
    ctx.format->pb = ctx.io;
    ctx.format->flags |= AVFMT_FLAG_CUSTOM_IO;
    const AVInputFormat* mpegts = av_find_input_format("mpegts");
    int rc = avformat_open_input(&ctx.format, nullptr, mpegts, nullptr);
    if (rc < 0) {
        // avformat_open_input frees the context on failure.
        ctx.format = nullptr;
        Log().warn("stream probe: %zu bytes are not a readable transport stream: %s",
                   input.bytes.size(), FfError(rc).c_str());
        return false;
    }
    rc = avformat_find_stream_info(ctx.format, nullptr);
    if (rc < 0) {
        Log().warn("stream probe: stream analysis failed: %s", FfError(rc).c_str());
    }

    const AVFormatContext* fmt = ctx.format;
    for (unsigned i = 0; i < fmt->nb_streams; ++i) {
        AVStream* st = fmt->streams[i];
        const AVCodecParameters* par = st->codecpar;
        if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
            if (out->u32VideoNum >= AV_STREAM_INFO_MAX_ENTRIES) {
                continue;
            }
            VIDEO_STREAM_INFO_S& v = out->stVideoStreamInfo[out->u32VideoNum++];
            v.u32Pid = static_cast<uint32_t>(st->id);
            v.enStreamType = MapVideoCodec(par->codec_id);
            v.u32Width = static_cast<uint32_t>(std::max(par->width, 0));
            v.u32Height = static_cast<uint32_t>(std::max(par->height, 0));
            const AVRational sar = av_guess_sample_aspect_ratio(ctx.format, st, nullptr);
            v.stSampleAspectRatio.s32Num = sar.num;
            v.stSampleAspectRatio.s32Den = sar.den;
            v.stAvgFrameRate.s32Num = st->avg_frame_rate.num;
            v.stAvgFrameRate.s32Den = st->avg_frame_rate.den;
            v.eVideoFieldOrder = MapFieldOrder(par->field_order);
            v.s32Profile = par->profile;
            v.s32Level = par->level;
            v.enFormat = MapPixelLayout(par->format);
            v.enBitWidth = MapPixelBitWidth(par->format);
            v.s64BitRate = par->bit_rate;
        } else if (par->codec_type == AVMEDIA_TYPE_AUDIO) {
            if (out->u32AudioNum >= AV_STREAM_INFO_MAX_ENTRIES) {
                continue;
            }
            AUDIO_STREAM_INFO_S& a = out->stAudioStreamInfo[out->u32AudioNum++];
            a.u32Pid = static_cast<uint32_t>(st->id);
            a.enStreamType = MapAudioCodec(par->codec_id, par->sample_rate);
            a.s32Channels = par->ch_layout.nb_channels;
            a.enFormat = MapSampleFormat(par->format);
            a.u32SampleRate = static_cast<uint32_t>(std::max(par->sample_rate, 0));
            a.s64BitRate = par->bit_rate;
        }
    }
    for (unsigned i = 0; i < fmt->nb_programs && out->u32ProgramNum < AV_STREAM_INFO_MAX_ENTRIES;
         ++i) {
        const AVProgram* program = fmt->programs[i];
        programPmtPids[out->u32ProgramNum] = static_cast<uint16_t>(program->pmt_pid & 0x1FFF);
        PROGRAM_INFO_S& p = out->stProgramInfo[out->u32ProgramNum++];
        p.u16ServiceID = static_cast<uint16_t>(program->id);
        CopyText(p.s8ServiceName, sizeof(p.s8ServiceName), program->metadata, "service_name");
        CopyText(p.s8serviceProvider, sizeof(p.s8serviceProvider), program->metadata,
                 "service_provider");
    }
    return true;
}

}  // namespace

static_assert(StreamProber::WINDOW_BYTES % TS_PACKET == 0, "the window holds whole packets");

StreamProber::StreamProber() : m_Window(WINDOW_BYTES), m_PidLastSeenNs(PID_COUNT, 0) {
    std::memset(&m_Result, 0, sizeof(m_Result));
    std::memset(m_ProgramPmtPids, 0, sizeof(m_ProgramPmtPids));
}

StreamProber::~StreamProber() = default;

void StreamProber::OnTs(const uint8_t* data, size_t size) {
    const uint64_t now = XP::Clock::NowNs();
    const uint64_t seenMark = now | 1;  // 0 in the PID table means "never seen"
    std::lock_guard<std::mutex> lock(m_Mutex);
    size_t whole = size - size % TS_PACKET;
    for (size_t offset = 0; offset < whole; offset += TS_PACKET) {
        const uint8_t* packet = data + offset;
        if (packet[0] != 0x47) {
            continue;  // the input side delivers aligned packets; never trust it blindly
        }
        const uint16_t pid = static_cast<uint16_t>(((packet[1] & 0x1F) << 8) | packet[2]);
        if (m_PidLastSeenNs[pid] == 0 && pid != 0x1FFF) {
            if (!m_Dirty) {
                m_DirtySinceNs = now;
                m_BytesSinceDirty = 0;
            }
            m_Dirty = true;
            m_IncompleteProbes = 0;
            if (m_Complete) {
                // Collect what follows the change from here on.
                m_Complete = false;
                m_WindowStart = 0;
                m_WindowFill = 0;
            }
            Log().debug("stream probe: new PID %u", pid);
        }
        m_PidLastSeenNs[pid] = seenMark;
    }
    if (!m_Complete && m_WindowFill + whole > WINDOW_BYTES) {
        // Keep the first bytes since the change until they have been probed.
        m_BytesSinceDirty += whole;
        return;
    }
    // Keep the newest WINDOW_BYTES: a block larger than the ring leaves only its tail.
    size_t skip = whole > WINDOW_BYTES ? whole - WINDOW_BYTES : 0;
    const uint8_t* in = data + skip;
    size_t left = whole - skip;
    while (left > 0) {
        const size_t end = (m_WindowStart + m_WindowFill) % WINDOW_BYTES;
        const size_t n = std::min(left, WINDOW_BYTES - end);
        std::memcpy(m_Window.data() + end, in, n);
        in += n;
        left -= n;
        m_WindowFill += n;
        if (m_WindowFill > WINDOW_BYTES) {
            m_WindowStart = (m_WindowStart + (m_WindowFill - WINDOW_BYTES)) % WINDOW_BYTES;
            m_WindowFill = WINDOW_BYTES;
        }
    }
    m_BytesSinceDirty += whole;
}

void StreamProber::OnDiscontinuity() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    // What came before the jump may describe another stream: probe only what follows it.
    m_Complete = false;
    m_WindowStart = 0;
    m_WindowFill = 0;
    m_IncompleteProbes = 0;
    m_Dirty = true;
    m_DirtySinceNs = XP::Clock::NowNs();
    m_BytesSinceDirty = 0;
    Log().info("stream probe: discontinuity, stream information will be refreshed");
}

void StreamProber::Clear() {
    std::lock_guard<std::mutex> probeLock(m_ProbeMutex);
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_WindowStart = 0;
    m_WindowFill = 0;
    m_IncompleteProbes = 0;
    std::fill(m_PidLastSeenNs.begin(), m_PidLastSeenNs.end(), 0);
    m_Dirty = false;
    m_HaveProbed = false;
    m_Complete = false;
    std::memset(&m_Result, 0, sizeof(m_Result));
}

std::vector<uint8_t> StreamProber::SnapshotLocked() const {
    std::vector<uint8_t> bytes(m_WindowFill);
    if (m_WindowFill == 0) {
        return bytes;
    }
    const size_t first = std::min(m_WindowFill, WINDOW_BYTES - m_WindowStart);
    std::memcpy(bytes.data(), m_Window.data() + m_WindowStart, first);
    std::memcpy(bytes.data() + first, m_Window.data(), m_WindowFill - first);
    return bytes;
}

std::vector<uint8_t> StreamProber::Snapshot() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return SnapshotLocked();
}

unsigned StreamProber::ProbeCount() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_ProbeCount;
}

bool StreamProber::ProbeDueLocked(uint64_t nowNs) const {
    if (!m_Dirty || m_WindowFill == 0) {
        return false;
    }
    if (m_HaveProbed && nowNs < m_LastProbeNs + RETRY_MS * NS_PER_MS) {
        return false;
    }
    return m_BytesSinceDirty >= MIN_PROBE_BYTES ||
           (nowNs >= m_DirtySinceNs && nowNs - m_DirtySinceNs >= MIN_PROBE_WAIT_MS * NS_PER_MS);
}

void StreamProber::Probe() {
    std::lock_guard<std::mutex> probeLock(m_ProbeMutex);
    RunProbe();
}

void StreamProber::RunProbe() {
    MemoryInput input;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        input.bytes = SnapshotLocked();
        m_Dirty = false;
        m_LastProbeNs = XP::Clock::NowNs();
        m_HaveProbed = true;
        ++m_ProbeCount;
    }
    AV_STREAM_INFO_S result;
    std::memset(&result, 0, sizeof(result));
    uint16_t pmtPids[AV_STREAM_INFO_MAX_ENTRIES] = {0};
    if (!input.bytes.empty() && ProbeBytes(input, &result, pmtPids)) {
        if (result.u32VideoNum == 0 && result.u32AudioNum == 0) {
            Log().warn("stream probe: no audio or video stream found in %zu bytes",
                       input.bytes.size());
        } else {
            Log().info("stream probe: %u video, %u audio, %u programs in %zu bytes",
                       result.u32VideoNum, result.u32AudioNum, result.u32ProgramNum,
                       input.bytes.size());
        }
    }
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Result = result;
    std::memcpy(m_ProgramPmtPids, pmtPids, sizeof(pmtPids));
    if (!IsIncomplete(result)) {
        m_IncompleteProbes = 0;
        m_Complete = true;
    } else if (++m_IncompleteProbes < MAX_INCOMPLETE_PROBES) {
        // Start a fresh window: the next random-access picture may be in it.
        m_WindowStart = 0;
        m_WindowFill = 0;
        // Parameters still missing (too little of the stream, or none of it): try again once
        // more has arrived, a few times; a stream that never gives them waits for a change.
        m_Dirty = true;
    } else {
        Log().warn("stream probe: stream information still incomplete after %u probes",
                   m_IncompleteProbes);
    }
}

void StreamProber::Fill(AV_STREAM_INFO_S* info) {
    std::memset(info, 0, sizeof(*info));
    {
        std::lock_guard<std::mutex> probeLock(m_ProbeMutex);
        bool due;
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            due = ProbeDueLocked(XP::Clock::NowNs());
        }
        if (due) {
            RunProbe();
        }
    }
    const uint64_t now = XP::Clock::NowNs();
    std::lock_guard<std::mutex> lock(m_Mutex);
    auto present = [&](uint32_t pid) {
        const uint64_t seen = pid < PID_COUNT ? m_PidLastSeenNs[pid] : 0;
        return seen != 0 && now - std::min(now, seen) <= PID_TIMEOUT_MS * NS_PER_MS;
    };
    for (uint32_t i = 0; i < m_Result.u32VideoNum; ++i) {
        if (present(m_Result.stVideoStreamInfo[i].u32Pid)) {
            info->stVideoStreamInfo[info->u32VideoNum++] = m_Result.stVideoStreamInfo[i];
        }
    }
    for (uint32_t i = 0; i < m_Result.u32AudioNum; ++i) {
        if (present(m_Result.stAudioStreamInfo[i].u32Pid)) {
            info->stAudioStreamInfo[info->u32AudioNum++] = m_Result.stAudioStreamInfo[i];
        }
    }
    for (uint32_t i = 0; i < m_Result.u32ProgramNum; ++i) {
        if (present(m_ProgramPmtPids[i])) {
            info->stProgramInfo[info->u32ProgramNum++] = m_Result.stProgramInfo[i];
        }
    }
    const uint32_t dropped =
        (m_Result.u32VideoNum - info->u32VideoNum) + (m_Result.u32AudioNum - info->u32AudioNum);
    if (dropped != 0 && !m_ReportedGone) {
        Log().warn("stream probe: %u probed stream(s) no longer received", dropped);
        m_ReportedGone = true;
    } else if (dropped == 0) {
        m_ReportedGone = false;
    }
}

}  // namespace Host
}  // namespace Kestrel
