// Transport stream demultiplexing and PES reassembly over a long synthetic multiplex, against a
// plain memchr pass over the same buffer.
//
// The stream (about 200 MB, built once in memory) is a 20 Mbit/s multiplex at 25 frames per
// second: a 15 Mbit/s video PID carrying one unbounded PES per frame with PCR, two 192 kbit/s audio
// PIDs, PAT and PMT every 100 ms and null packets filling the rest, interleaved packet by packet.
// Each pass cuts the buffer into packets sharing it, pushes them through a Demultiplexer to one
// TsToEsConverter per elementary PID, and a subscriber touches every fragment (size and first
// byte), as the caption pipeline's defragmenter would start to.
//
// Counters: TS_MBps (this pass), memchr_MBps (a memchr scan for the sync byte over the same
// buffer, timed in the same run) and ratio (TS over memchr), all in thread CPU time, so that other
// load on the machine does not skew them. Argument owned:1 has every packet hold a reference to
// the buffer (as the caption pipeline's packets do), owned:0 lends them the memory.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "BenchTiming.h"
#include "TsStreamBuilder.h"
#include "hisi_av/application/cmf/ts/Demultiplexer.h"
#include "hisi_av/application/cmf/ts/TsToEsConverter.h"

namespace {

using KestrelTest::PesOptions;
using KestrelTest::TsStreamBuilder;

constexpr uint16_t VIDEO_PID = 0x100;
constexpr uint16_t AUDIO_PIDS[] = {0x101, 0x102};
constexpr uint16_t PMT_PID = 0x1000;
constexpr std::size_t TARGET_BYTES = 200u * 1000u * 1000u;
constexpr std::size_t MUX_BITS_PER_SECOND = 20000000;
constexpr std::size_t FRAMES_PER_SECOND = 25;
constexpr std::size_t VIDEO_FRAME_BYTES = 15000000 / 8 / FRAMES_PER_SECOND;  // 75000
constexpr std::size_t AUDIO_FRAME_BYTES = 192000 / 8 / FRAMES_PER_SECOND;    // 960

// Elementary stream bytes without the sync byte value, so the memchr pass stops about once per
// packet, as a sync scan would.
std::vector<uint8_t> EsBytes(std::size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    uint32_t state = seed;
    for (uint8_t& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(state >> 24);
        if (byte == 0x47) {
            byte = 0x48;
        }
    }
    return bytes;
}

struct Stream {
    std::vector<uint8_t> bytes;
    std::size_t videoEsBytes = 0;
    std::size_t audioEsBytes = 0;
};

Stream BuildStream() {
    Stream stream;
    stream.bytes.reserve(TARGET_BYTES + 1000000);
    TsStreamBuilder video;
    TsStreamBuilder audio[2];
    TsStreamBuilder other;
    const std::vector<uint8_t> videoEs = EsBytes(VIDEO_FRAME_BYTES, 1);
    const std::vector<uint8_t> audioEs = EsBytes(AUDIO_FRAME_BYTES, 2);
    const std::size_t packetsPerFrame =
        MUX_BITS_PER_SECOND / 8 / FRAMES_PER_SECOND / TsStreamBuilder::PACKET_SIZE;
    for (uint64_t frame = 0; stream.bytes.size() < TARGET_BYTES; ++frame) {
        const uint64_t pts = 90000 + frame * 3600;
        video.Clear();
        video.AddPes(VIDEO_PID, videoEs,
                     PesOptions()
                         .Pts(pts)
                         .Dts(pts - 3600)
                         .Pcr((pts - 9000) * 300)
                         .RandomAccess()
                         .Unbounded());
        stream.videoEsBytes += videoEs.size();
        for (unsigned i = 0; i < 2; ++i) {
            audio[i].Clear();
            audio[i].AddPes(AUDIO_PIDS[i], audioEs, PesOptions().Pts(pts).StreamId(0xC0 + i));
            stream.audioEsBytes += audioEs.size();
        }
        other.Clear();
        if (frame % 3 == 0) {
            other.AddPatPmt(1, PMT_PID,
                            {{0x1B, VIDEO_PID}, {0x0F, AUDIO_PIDS[0]}, {0x0F, AUDIO_PIDS[1]}},
                            VIDEO_PID);
        }
        const std::size_t used = video.PacketCount() + audio[0].PacketCount() +
                                 audio[1].PacketCount() + other.PacketCount();
        if (used < packetsPerFrame) {
            other.AddNull(packetsPerFrame - used);
        }
        const std::vector<uint8_t> merged = TsStreamBuilder::Interleave(
            {video.Bytes(), audio[0].Bytes(), audio[1].Bytes(), other.Bytes()});
        stream.bytes.insert(stream.bytes.end(), merged.begin(), merged.end());
    }
    return stream;
}

const Stream& TheStream() {
    static const Stream stream = BuildStream();
    return stream;
}

// Touches each fragment as a consumer would start to, and checks it is a view of the stream.
class Toucher {
public:
    Toucher(const unsigned char* pBegin, const unsigned char* pEnd)
        : m_pBegin(pBegin), m_pEnd(pEnd) {}

    void OnFragment(const Cmf::Fragment& fragment) {
        const XP::CBuffer& data = fragment.GetData();
        if (data.GetBegin() < m_pBegin || data.GetEnd() > m_pEnd) {
            ++m_Copies;
        }
        m_Bytes += data.GetSize();
        m_Checksum += data.GetBegin()[0];
        m_Fragments += 1;
    }

    uint64_t m_Bytes = 0;
    uint64_t m_Checksum = 0;
    uint64_t m_Fragments = 0;
    uint64_t m_Copies = 0;

private:
    const unsigned char* m_pBegin;
    const unsigned char* m_pEnd;
};

using BenchTiming::MemchrPass;
using BenchTiming::ThreadSeconds;

void BM_TsDemuxAndPes(benchmark::State& state) {
    const Stream& stream = TheStream();
    const bool owned = state.range(0) != 0;
    // Owned: every packet holds a reference to the buffer, as the caption pipeline's packets
    // hold their chunk. View: the packets borrow memory the caller keeps alive.
    XP::CBuffer buffer;
    if (owned) {
        buffer = XP::CBuffer(stream.bytes.size());
        std::memcpy(buffer.GetBegin(), stream.bytes.data(), stream.bytes.size());
    } else {
        buffer = XP::CBuffer(const_cast<unsigned char*>(stream.bytes.data()), stream.bytes.size());
    }
    const std::size_t size = buffer.GetSize();
    const std::size_t packets = size / Cmf::TsPacket::PACKET_LENGTH;

    Cmf::Demultiplexer demux;
    Cmf::TsToEsConverter converters[3];
    Toucher toucher(buffer.GetBegin(), buffer.GetEnd());
    const uint16_t pids[] = {VIDEO_PID, AUDIO_PIDS[0], AUDIO_PIDS[1]};
    for (unsigned i = 0; i < 3; ++i) {
        converters[i].Subscribe(XP::MakeFunctor<&Toucher::OnFragment>(&toucher));
        demux.Subscribe(pids[i],
                        XP::MakeFunctor<&Cmf::TsToEsConverter::PutTsPacket>(&converters[i]));
    }

    // Both passes are timed in thread CPU time the same way, so the ratio compares like with
    // like; the library's own timer covers the demultiplexing pass only.
    double tsSeconds = 0;
    double memchrSeconds = 0;
    std::size_t memchrHits = 0;
    for (auto _ : state) {
        const double tsStart = ThreadSeconds();
        for (std::size_t i = 0; i < packets; ++i) {
            const Cmf::TsPacket packet(
                buffer.Subslice(i * Cmf::TsPacket::PACKET_LENGTH, Cmf::TsPacket::PACKET_LENGTH));
            demux.PutTsPacket(packet);
        }
        tsSeconds += ThreadSeconds() - tsStart;
        state.PauseTiming();
        const double memchrStart = ThreadSeconds();
        memchrHits += MemchrPass(buffer.GetBegin(), size);
        memchrSeconds += ThreadSeconds() - memchrStart;
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(memchrHits);
    benchmark::DoNotOptimize(toucher.m_Checksum);

    const uint64_t expected = (stream.videoEsBytes + stream.audioEsBytes) * state.iterations();
    if (toucher.m_Bytes != expected || toucher.m_Copies != 0) {
        state.SkipWithError("fragments do not add up to the elementary streams, or were copied");
        return;
    }
    const double megabytes = double(size) * double(state.iterations()) / 1e6;
    state.SetBytesProcessed(static_cast<int64_t>(size * state.iterations()));
    state.counters["TS_MBps"] = megabytes / tsSeconds;
    state.counters["memchr_MBps"] = megabytes / memchrSeconds;
    state.counters["ratio"] = memchrSeconds / tsSeconds;
    state.counters["fragments"] = double(toucher.m_Fragments) / double(state.iterations());
}
BENCHMARK(BM_TsDemuxAndPes)
    ->ArgName("owned")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
