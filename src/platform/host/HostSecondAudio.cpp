#include "platform/host/HostSecondAudio.h"

#include <algorithm>
#include <cstring>
#include <string>

#include <log4cpp/Category.hh>

#include "stb/stb_second_audio.h"
#include "xptools/Clock.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

namespace Kestrel {
namespace Host {

namespace {

constexpr size_t TS_PACKET = 188;
constexpr uint64_t NS_PER_MS = 1000000;
constexpr int64_t PTS_WRAP = int64_t(1) << 33;

log4cpp::Category& Log() {
    return log4cpp::Category::getInstance("host.secondaudio");
}

// The codec of an audio elementary stream, from the sync word at the start of a PES payload (or
// soon after it): MPEG audio layers I-III, ADTS AAC, LATM AAC, AC-3 or E-AC-3.
AVCodecID DetectCodec(const uint8_t* es, size_t size) {
    const size_t limit = std::min<size_t>(size, 64);
    for (size_t i = 0; i + 6 <= size && i < limit; ++i) {
        const uint8_t b0 = es[i], b1 = es[i + 1];
        if (b0 == 0x0B && b1 == 0x77) {
            // bsid (5 bits at byte 5) up to 10 is AC-3, 11..16 E-AC-3 (ETSI TS 102 366 E.1.3).
            const unsigned bsid = es[i + 5] >> 3;
            return bsid <= 10 ? AV_CODEC_ID_AC3 : AV_CODEC_ID_EAC3;
        }
        if (b0 == 0x56 && (b1 & 0xE0) == 0xE0) {
            return AV_CODEC_ID_AAC_LATM;
        }
        if (b0 == 0xFF && (b1 & 0xF0) == 0xF0 && (b1 & 0x06) == 0x00) {
            return AV_CODEC_ID_AAC;  // ADTS: layer bits 00
        }
        if (b0 == 0xFF && (b1 & 0xE0) == 0xE0 && (b1 & 0x06) != 0x00) {
            return AV_CODEC_ID_MP2;  // the MPEG audio decoder follows the layer in each header
        }
    }
    return AV_CODEC_ID_NONE;
}

std::string FfError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {0};
    av_strerror(code, text, sizeof(text));
    return text;
}

}  // namespace

SecondAudioDecoder::SecondAudioDecoder() = default;

SecondAudioDecoder::~SecondAudioDecoder() {
    std::lock_guard<std::mutex> lock(m_DecodeMutex);
    CloseCodecLocked();
}

void SecondAudioDecoder::OnTs(const uint8_t* data, size_t size) {
    bool completed = false;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_Pid == 0) {
            return;
        }
        const size_t before = m_Queue.size();
        for (size_t offset = 0; offset + TS_PACKET <= size; offset += TS_PACKET) {
            const uint8_t* p = data + offset;
            const uint32_t pid = ((p[1] & 0x1Fu) << 8) | p[2];
            if (p[0] != 0x47 || pid != m_Pid || (p[1] & 0x80) != 0) {
                continue;  // another PID, or transport_error_indicator set
            }
            const bool unitStart = (p[1] & 0x40) != 0;
            const unsigned adaptation = (p[3] >> 4) & 0x3;
            const int cc = p[3] & 0x0F;
            if ((adaptation & 0x1) == 0) {
                continue;  // no payload, no continuity step
            }
            if (m_LastCc >= 0 && cc == m_LastCc) {
                continue;  // duplicate packet (ISO/IEC 13818-1 2.4.3.3)
            }
            if (m_LastCc >= 0 && cc != ((m_LastCc + 1) & 0x0F) && m_Assembling) {
                Log().warn("second audio: PID %u continuity %d after %d, PES dropped", m_Pid, cc,
                           m_LastCc);
                ++m_DroppedPes;
                ResetAssemblyLocked();
            }
            m_LastCc = cc;
            size_t start = 4;
            if (adaptation == 0x3) {
                start += 1u + p[4];
                if (start > TS_PACKET) {
                    continue;  // adaptation_field_length beyond the packet
                }
            }
            if (unitStart) {
                if (m_Assembling) {
                    CompletePesLocked();
                }
                m_Assembling = true;
                m_Assembly.clear();
            }
            if (!m_Assembling) {
                continue;  // joined in the middle of a PES: wait for the next start
            }
            if (m_Assembly.size() + (TS_PACKET - start) > MAX_PES_BYTES) {
                Log().warn("second audio: PES on PID %u longer than %zu bytes, dropped", m_Pid,
                           MAX_PES_BYTES);
                ++m_DroppedPes;
                ResetAssemblyLocked();
                continue;
            }
            m_Assembly.insert(m_Assembly.end(), p + start, p + TS_PACKET);
            // A bounded PES is complete once its announced length is there.
            if (m_Assembly.size() >= 6) {
                const size_t announced = (size_t(m_Assembly[4]) << 8) | m_Assembly[5];
                if (announced != 0 && m_Assembly.size() >= announced + 6) {
                    m_Assembly.resize(announced + 6);
                    CompletePesLocked();
                    m_Assembling = false;
                }
            }
        }
        completed = m_Queue.size() != before;
    }
    if (completed) {
        m_DataArrived.Signal();
    }
}

void SecondAudioDecoder::ResetAssemblyLocked() {
    m_Assembly.clear();
    m_Assembling = false;
}

void SecondAudioDecoder::CompletePesLocked() {
    const std::vector<uint8_t>& pes = m_Assembly;
    // PES header (ISO/IEC 13818-1 2.4.3.6): start code prefix, stream_id, PES_packet_length,
    // flags, PES_header_data_length, then the optional fields.
    if (pes.size() < 9 || pes[0] != 0 || pes[1] != 0 || pes[2] != 1) {
        Log().warn("second audio: PID %u unit without a PES start code, dropped", m_Pid);
        ++m_DroppedPes;
        m_Assembly.clear();
        return;
    }
    const uint8_t ptsDtsFlags = pes[7] >> 6;
    const size_t headerEnd = 9u + pes[8];
    if (headerEnd > pes.size()) {
        Log().warn("second audio: PID %u PES header longer than the PES, dropped", m_Pid);
        ++m_DroppedPes;
        m_Assembly.clear();
        return;
    }
    PesUnit unit;
    if ((ptsDtsFlags & 0x2) != 0 && pes[8] >= 5) {
        const uint8_t* t = &pes[9];
        unit.pts = (int64_t(t[0] & 0x0E) << 29) | (int64_t(t[1]) << 22) |
                   (int64_t(t[2] & 0xFE) << 14) | (int64_t(t[3]) << 7) | (int64_t(t[4]) >> 1);
    }
    unit.payload.assign(pes.begin() + static_cast<std::ptrdiff_t>(headerEnd), pes.end());
    m_Assembly.clear();
    if (unit.payload.empty()) {
        return;
    }
    while (!m_Queue.empty() && (m_Queue.size() >= MAX_QUEUED_PES ||
                                m_QueuedBytes + unit.payload.size() > MAX_QUEUED_BYTES)) {
        m_QueuedBytes -= m_Queue.front().payload.size();
        m_Queue.pop_front();
        ++m_DroppedPes;
        if (m_DroppedPes == 1 || m_DroppedPes % 1000 == 0) {
            Log().warn("second audio: queue full, oldest PES dropped (%llu so far)",
                       static_cast<unsigned long long>(m_DroppedPes));
        }
    }
    m_QueuedBytes += unit.payload.size();
    m_Queue.push_back(std::move(unit));
    m_LastPesNs = XP::Clock::NowNs();
}

void SecondAudioDecoder::OnDiscontinuity() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    ResetAssemblyLocked();
    m_LastCc = -1;
    m_FlushRequested = true;  // the decoder's state belongs to the stream before the jump
}

int32_t SecondAudioDecoder::SetPid(uint32_t pid) {
    if (pid > 0x1FFE) {
        Log().error("second audio: PID %u out of range", pid);
        return -1;
    }
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (pid != m_Pid) {
        Log().info("second audio: PID %u", pid);
        m_Pid = pid;
        ResetAssemblyLocked();
        m_LastCc = -1;
        m_Queue.clear();
        m_QueuedBytes = 0;
        m_FlushRequested = true;
        m_LastPesNs = 0;
    }
    return 0;
}

int32_t SecondAudioDecoder::SetVolume(uint32_t volume) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Volume = std::min<uint32_t>(volume, 100);
    return 0;
}

int32_t SecondAudioDecoder::SetOutputState(uint32_t state) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_OutputState = state;
    return 0;
}

int32_t SecondAudioDecoder::SetVideoType(AV_VID_STREAM_TYPE_E type) {
    if (type < 0 || type >= AV_VID_STREAM_TYPE_BUTT) {
        Log().error("second audio: video type %d out of range", static_cast<int>(type));
        return -1;
    }
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_VideoType = type;
    return 0;
}

int32_t SecondAudioDecoder::SetAvail(uint32_t avail) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Avail = avail != 0 ? 1 : 0;
    return 0;
}

int32_t SecondAudioDecoder::CheckAvail() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return static_cast<int32_t>(m_Avail);
}

uint64_t SecondAudioDecoder::DroppedPes() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_DroppedPes;
}

int SecondAudioDecoder::SampleRate() const {
    std::lock_guard<std::mutex> lock(m_DecodeMutex);
    return m_Rate;
}

int SecondAudioDecoder::Channels() const {
    std::lock_guard<std::mutex> lock(m_DecodeMutex);
    return m_Channels;
}

int32_t SecondAudioDecoder::ServiceInit() {
    std::lock_guard<std::mutex> decodeLock(m_DecodeMutex);
    AVCodecID codecId = AV_CODEC_ID_NONE;
    uint32_t pid;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        pid = m_Pid;
        if (m_Avail == 0) {
            Log().warn("second audio: not available");
            return -1;
        }
        if (m_Pid == 0) {
            Log().warn("second audio: no PID set");
            return -1;
        }
        for (const PesUnit& unit : m_Queue) {
            codecId = DetectCodec(unit.payload.data(), unit.payload.size());
            if (codecId != AV_CODEC_ID_NONE) {
                break;
            }
        }
        m_FlushRequested = false;
    }
    if (codecId == AV_CODEC_ID_NONE) {
        Log().warn("second audio: no recognisable audio on PID %u yet", pid);
        return -1;
    }
    CloseCodecLocked();
    const AVCodec* codec = avcodec_find_decoder(codecId);
    m_Parser = av_parser_init(codecId);
    m_Codec = codec != nullptr ? avcodec_alloc_context3(codec) : nullptr;
    m_Frame = av_frame_alloc();
    m_Packet = av_packet_alloc();
    if (codec == nullptr || m_Parser == nullptr || m_Codec == nullptr || m_Frame == nullptr ||
        m_Packet == nullptr) {
        Log().error("second audio: no decoder for %s on PID %u", avcodec_get_name(codecId), pid);
        CloseCodecLocked();
        return -1;
    }
    m_Codec->pkt_timebase = AVRational{1, 90000};
    const int rc = avcodec_open2(m_Codec, codec, nullptr);
    if (rc < 0) {
        Log().error("second audio: cannot open the %s decoder: %s", avcodec_get_name(codecId),
                    FfError(rc).c_str());
        CloseCodecLocked();
        return -1;
    }
    Log().info("second audio: decoding %s on PID %u", avcodec_get_name(codecId), pid);
    return 0;
}

int32_t SecondAudioDecoder::Free() {
    std::lock_guard<std::mutex> decodeLock(m_DecodeMutex);
    CloseCodecLocked();
    return 0;
}

void SecondAudioDecoder::CloseCodecLocked() {
    if (m_Parser != nullptr) {
        av_parser_close(m_Parser);
        m_Parser = nullptr;
    }
    avcodec_free_context(&m_Codec);
    swr_free(&m_Swr);
    av_frame_free(&m_Frame);
    av_packet_free(&m_Packet);
    m_SwrFormat = -1;
    m_SwrRate = 0;
    m_SwrChannels = 0;
    m_Pcm.clear();
    m_PcmPts = -1;
}

bool SecondAudioDecoder::PopPes(PesUnit& unit, unsigned waitMs) {
    const uint64_t deadline = XP::Clock::DeadlineAfterMs(waitMs);
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            if (!m_Queue.empty()) {
                unit = std::move(m_Queue.front());
                m_Queue.pop_front();
                m_QueuedBytes -= unit.payload.size();
                return true;
            }
        }
        if (waitMs == 0 || !m_DataArrived.WaitUntil(deadline)) {
            return false;
        }
    }
}

int32_t SecondAudioDecoder::Service(uint8_t* pcm, uint32_t* length, uint32_t* pts) {
    if (pcm == nullptr || length == nullptr || pts == nullptr) {
        return -1;
    }
    std::lock_guard<std::mutex> decodeLock(m_DecodeMutex);
    if (m_Codec == nullptr) {
        return -1;
    }
    uint32_t volume, state, pid;
    uint64_t lastPesNs;
    bool flush;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        volume = m_Volume;
        state = m_OutputState;
        pid = m_Pid;
        lastPesNs = m_LastPesNs;
        flush = m_FlushRequested;
        m_FlushRequested = false;
    }
    if (flush) {
        avcodec_flush_buffers(m_Codec);
        m_Pcm.clear();
        m_PcmPts = -1;
    }
    PesUnit unit;
    while (m_Pcm.empty()) {
        if (!PopPes(unit, SERVICE_WAIT_MS)) {
            const uint64_t now = XP::Clock::NowNs();
            if (!m_ReportedNoData &&
                (lastPesNs == 0 || now - lastPesNs >= NO_DATA_REPORT_MS * NS_PER_MS)) {
                Log().warn("second audio: no audio received on PID %u", pid);
                m_ReportedNoData = true;
            }
            return -1;
        }
        if (m_ReportedNoData) {
            Log().info("second audio: audio on PID %u again", pid);
            m_ReportedNoData = false;
        }
        DecodeUnit(unit);
    }
    // Take along what else is queued already, without waiting.
    while (m_Pcm.size() < SECOND_AUDIO_PCM_MAX_BYTES && PopPes(unit, 0)) {
        DecodeUnit(unit);
    }
    const size_t frameBytes = size_t(2) * static_cast<size_t>(std::max(m_Channels, 1));
    size_t n = std::min<size_t>(m_Pcm.size(), SECOND_AUDIO_PCM_MAX_BYTES);
    n -= n % frameBytes;
    std::memcpy(pcm, m_Pcm.data(), n);
    *length = static_cast<uint32_t>(n);
    *pts = static_cast<uint32_t>(m_PcmPts);
    m_Pcm.erase(m_Pcm.begin(), m_Pcm.begin() + static_cast<std::ptrdiff_t>(n));
    if (m_Rate > 0) {
        const int64_t samples = static_cast<int64_t>(n / frameBytes);
        m_PcmPts = (m_PcmPts + samples * 90000 / m_Rate) % PTS_WRAP;
    }

    // What the board's output stage does to the second audio: volume, or silence when off.
    int16_t* samples = reinterpret_cast<int16_t*>(pcm);
    const size_t count = n / 2;
    if (state == STATE_OFF || volume == 0) {
        std::memset(pcm, 0, n);
    } else if (volume < 100) {
        for (size_t i = 0; i < count; ++i) {
            samples[i] = static_cast<int16_t>(int32_t(samples[i]) * int32_t(volume) / 100);
        }
    }
    return 0;
}

void SecondAudioDecoder::DecodeUnit(const PesUnit& unit) {
    const uint8_t* data = unit.payload.data();
    int left = static_cast<int>(unit.payload.size());
    int64_t pts = unit.pts >= 0 ? unit.pts : AV_NOPTS_VALUE;
    while (left > 0) {
        uint8_t* out = nullptr;
        int outSize = 0;
        const int used =
            av_parser_parse2(m_Parser, m_Codec, &out, &outSize, data, left, pts, pts, 0);
        if (used < 0) {
            break;
        }
        data += used;
        left -= used;
        pts = AV_NOPTS_VALUE;  // the PTS belongs to the first frame starting in this PES
        if (outSize > 0) {
            m_Packet->data = out;
            m_Packet->size = outSize;
            m_Packet->pts = m_Parser->pts;
            m_Packet->dts = m_Parser->dts;
            DecodePacket(m_Packet);
        }
        if (used == 0 && outSize == 0) {
            break;
        }
    }
}

void SecondAudioDecoder::DecodePacket(AVPacket* packet) {
    int rc = avcodec_send_packet(m_Codec, packet);
    if (rc < 0) {
        ++m_DecodeErrors;
        if (m_DecodeErrors == 1 || m_DecodeErrors % 100 == 0) {
            Log().warn("second audio: frame not decoded (%s), %llu so far", FfError(rc).c_str(),
                       static_cast<unsigned long long>(m_DecodeErrors));
        }
        return;
    }
    while ((rc = avcodec_receive_frame(m_Codec, m_Frame)) == 0) {
        AppendFrame(m_Frame);
        av_frame_unref(m_Frame);
    }
}

void SecondAudioDecoder::AppendFrame(const AVFrame* frame) {
    const int channels = frame->ch_layout.nb_channels;
    if (channels <= 0 || frame->sample_rate <= 0 || frame->nb_samples <= 0) {
        return;
    }
    if (channels != m_Channels || frame->sample_rate != m_Rate) {
        if (!m_Pcm.empty()) {
            // A new layout: what was decoded in the old one is no longer deliverable as one
            // block with it.
            Log().info("second audio: layout changed, %zu bytes dropped", m_Pcm.size());
            m_Pcm.clear();
        }
        m_Channels = channels;
        m_Rate = frame->sample_rate;
        Log().info("second audio: %d Hz, %d channel(s)", m_Rate, m_Channels);
    }
    if (m_Pcm.empty()) {
        m_PcmPts =
            frame->pts != AV_NOPTS_VALUE ? frame->pts % PTS_WRAP : std::max<int64_t>(m_PcmPts, 0);
    }
    const size_t bytes = size_t(frame->nb_samples) * size_t(channels) * 2;
    const size_t at = m_Pcm.size();
    m_Pcm.resize(at + bytes);
    uint8_t* out = m_Pcm.data() + at;
    if (frame->format == AV_SAMPLE_FMT_S16) {
        std::memcpy(out, frame->data[0], bytes);
        return;
    }
    if (m_Swr == nullptr || m_SwrFormat != frame->format || m_SwrRate != frame->sample_rate ||
        m_SwrChannels != channels) {
        swr_free(&m_Swr);
        AVChannelLayout layout;
        std::memset(&layout, 0, sizeof(layout));
        av_channel_layout_copy(&layout, &frame->ch_layout);
        const int rc = swr_alloc_set_opts2(&m_Swr, &layout, AV_SAMPLE_FMT_S16, frame->sample_rate,
                                           &layout, static_cast<AVSampleFormat>(frame->format),
                                           frame->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&layout);
        if (rc < 0 || swr_init(m_Swr) < 0) {
            Log().error("second audio: cannot convert %s samples",
                        av_get_sample_fmt_name(static_cast<AVSampleFormat>(frame->format)));
            swr_free(&m_Swr);
            m_Pcm.resize(at);
            return;
        }
        m_SwrFormat = frame->format;
        m_SwrRate = frame->sample_rate;
        m_SwrChannels = channels;
    }
    uint8_t* planes[1] = {out};
    const int converted =
        swr_convert(m_Swr, planes, frame->nb_samples,
                    const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    m_Pcm.resize(at + size_t(std::max(converted, 0)) * size_t(channels) * 2);
}

namespace {

// The board has one second audio decoder. It stays registered as a tap for the life of the
// process (the C interface has no de-initialisation for it), so it is never destroyed.
SecondAudioDecoder& Decoder() {
    static SecondAudioDecoder* decoder = new SecondAudioDecoder();
    return *decoder;
}

}  // namespace

}  // namespace Host
}  // namespace Kestrel

using Kestrel::Host::Decoder;

extern "C" {

int32_t second_audio_decoder_init(void) {
    static std::once_flag registered;
    std::call_once(registered, [] { Kestrel::Host::AddTsTap(&Decoder()); });
    return 0;
}

int32_t second_audio_decoder_service_init(void) {
    return Decoder().ServiceInit();
}

int32_t second_audio_decoder_service(uint8_t** ppu8Pcm, uint32_t* pu32Length, uint32_t* pu32Pts) {
    if (ppu8Pcm == nullptr) {
        return -1;
    }
    return Decoder().Service(*ppu8Pcm, pu32Length, pu32Pts);
}

int32_t second_audio_decoder_check_avail(void) {
    return Decoder().CheckAvail();
}
int32_t second_audio_decoder_free(void) {
    return Decoder().Free();
}
int32_t second_audio_decoder_set_audio_pid(uint32_t u32Pid) {
    return Decoder().SetPid(u32Pid);
}
int32_t second_audio_decoder_set_audio_volume(uint32_t u32Volume) {
    return Decoder().SetVolume(u32Volume);
}
int32_t second_audio_decoder_set_audio_output_state(uint32_t u32State) {
    return Decoder().SetOutputState(u32State);
}
int32_t second_audio_decoder_set_video_type(AV_VID_STREAM_TYPE_E enVideoType) {
    return Decoder().SetVideoType(enVideoType);
}
int32_t second_audio_decoder_set_avail(uint32_t u32Avail) {
    return Decoder().SetAvail(u32Avail);
}

}  // extern "C"
