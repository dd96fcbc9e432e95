#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/host/HostTsTap.h"
#include "stb/stb_av.h"
#include "xptools/Semaphore.h"

struct AVCodecContext;
struct AVCodecParserContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

namespace Kestrel {
namespace Host {

// The host board's second audio decoder, behind the second_audio_decoder_* calls.
//
// As a TS tap it cuts the PES packets of the configured PID out of the received stream and
// queues their payloads with their PTS. ServiceInit recognises the codec from the elementary
// stream itself (MPEG audio, ADTS or LATM AAC, AC-3, E-AC-3 sync words) and opens a libavcodec
// parser and decoder for it; Service decodes what is queued to interleaved signed 16-bit PCM
// (converted with libswresample when the decoder gives another sample format; rate and channels
// are the stream's), applies the volume and the output state, and hands out at most
// SECOND_AUDIO_PCM_MAX_BYTES with the 90 kHz PTS of their first sample.
//
// Volume is a percentage (0..100, above is full level); output state 2 (off) delivers silence
// of the same length, so the consumer's pacing is not disturbed; 0 and 1 play.
//
// Threads: OnTs/OnDiscontinuity on the input thread (they copy into the bounded queue and never
// decode); the setters and ServiceInit/Service/Free on the daemon's threads. m_Mutex guards the
// configuration, the PES assembly and the queue; m_DecodeMutex guards the codec state and is
// taken before m_Mutex, never the other way round. Service may wait up to SERVICE_WAIT_MS for
// data (on XP::Clock), never while holding m_Mutex.
class SecondAudioDecoder : public ITsTap {
public:
    static constexpr size_t MAX_PES_BYTES = 64 * 1024;              // longer PES are dropped
    static constexpr size_t MAX_QUEUED_PES = 1024;                  // about 20 s of audio frames..
    static constexpr size_t MAX_QUEUED_BYTES = 2u * 1024u * 1024u;  // ..and at most this much
    static constexpr unsigned SERVICE_WAIT_MS = 200;
    static constexpr uint64_t NO_DATA_REPORT_MS = 2000;
    static constexpr uint32_t STATE_OFF = 2;

    SecondAudioDecoder();
    ~SecondAudioDecoder() override;
    SecondAudioDecoder(const SecondAudioDecoder&) = delete;
    SecondAudioDecoder& operator=(const SecondAudioDecoder&) = delete;

    void OnTs(const uint8_t* data, size_t size) override;
    void OnDiscontinuity() override;

    // The C calls' results: 0 success, -1 failure.
    int32_t SetPid(uint32_t pid);
    int32_t SetVolume(uint32_t volume);
    int32_t SetOutputState(uint32_t state);
    int32_t SetVideoType(AV_VID_STREAM_TYPE_E type);
    int32_t SetAvail(uint32_t avail);
    int32_t CheckAvail() const;
    int32_t ServiceInit();
    // Writes up to SECOND_AUDIO_PCM_MAX_BYTES at `pcm`.
    int32_t Service(uint8_t* pcm, uint32_t* length, uint32_t* pts);
    int32_t Free();

    // Diagnostics for tests: PES dropped (queue full, oversized, broken continuity), and the
    // layout of the PCM being delivered (0 before the first decoded frame).
    uint64_t DroppedPes() const;
    int SampleRate() const;
    int Channels() const;

private:
    struct PesUnit {
        std::vector<uint8_t> payload;
        int64_t pts = -1;  // 33-bit 90 kHz value, -1 when the PES carried none
    };

    void CompletePesLocked();
    void ResetAssemblyLocked();
    bool PopPes(PesUnit& unit, unsigned waitMs);
    void DecodeUnit(const PesUnit& unit);
    void DecodePacket(AVPacket* packet);
    void AppendFrame(const AVFrame* frame);
    void CloseCodecLocked();

    // Input side (m_Mutex).
    mutable std::mutex m_Mutex;
    uint32_t m_Pid = 0;
    uint32_t m_Volume = 100;
    uint32_t m_OutputState = 1;
    uint32_t m_Avail = 1;
    AV_VID_STREAM_TYPE_E m_VideoType = AV_VID_STREAM_TYPE_MPEG2;
    std::vector<uint8_t> m_Assembly;  // the PES being received
    bool m_Assembling = false;
    int m_LastCc = -1;
    std::deque<PesUnit> m_Queue;
    size_t m_QueuedBytes = 0;
    uint64_t m_DroppedPes = 0;
    uint64_t m_LastPesNs = 0;
    bool m_FlushRequested = false;
    XP::CSemaphore m_DataArrived;

    // Decoding side (m_DecodeMutex).
    mutable std::mutex m_DecodeMutex;
    AVCodecContext* m_Codec = nullptr;
    AVCodecParserContext* m_Parser = nullptr;
    SwrContext* m_Swr = nullptr;
    AVFrame* m_Frame = nullptr;
    AVPacket* m_Packet = nullptr;
    int m_SwrFormat = -1;
    int m_SwrRate = 0;
    int m_SwrChannels = 0;
    int m_Rate = 0;
    int m_Channels = 0;
    std::vector<uint8_t> m_Pcm;  // decoded, not yet handed out
    int64_t m_PcmPts = -1;       // PTS of m_Pcm's first sample
    uint64_t m_DecodeErrors = 0;
    bool m_ReportedNoData = false;
};

}  // namespace Host
}  // namespace Kestrel
