// The chain kestrel-ccdump runs (packet sync, program map, demultiplexer, PES converter,
// defragmenter, data extractor, caption lines) on long AVC, HEVC and MPEG-2 streams with captions
// on every picture, in-process and as the tool itself on a file.
//
// Each stream (at least 100 MB) is made in the set-up from a sample of tests/data: the sample's
// access units, as its defragmenter cuts them, are repeated with running time stamps, and each
// one's last slice grows by bytes shaped like coded data (escaped for AVC and HEVC, free of
// start codes for MPEG-2) to about 60 kB, a 12 Mbit/s picture at 25 fps; they are multiplexed
// again with a program map and a PCR before each picture. Parameter sets, SEI and user data stay
// the encoder's own, so every picture still yields its caption packet.
//
// BM_Chain: the runner in-process, fed reads of about 1 MiB as the tool reads a file; argument
// byte:1 makes the defragmenter find start codes one byte at a time (the plain machine). Counters
// in thread CPU time: chain_MBps, memchr_MBps (a memchr pass for the sync byte over the same
// bytes, timed in the same run) and ratio (chain over memchr). BM_Tool: the kestrel-ccdump binary
// on the stream written to a file, MB/s in wall time (reading the file and writing the lines
// included).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "TsStreamBuilder.h"
#include "ccdump/CcDumpRunner.h"
#include "hisi_av/application/cmf/codec/AvcDefragmenter.h"
#include "hisi_av/application/cmf/codec/HevcDefragmenter.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoDefragmenter.h"
#include "hisi_av/application/cmf/ts/TsPacket.h"
#include "hisi_av/application/cmf/ts/TsToEsConverter.h"
#include "xptools/Functor.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr std::size_t STREAM_BYTES = 100u << 20;
constexpr std::size_t PICTURE_BYTES = 60000;
constexpr uint16_t VIDEO_PID = 0x100;

struct Sample {
    const char* name;
    const char* file;
    uint16_t pid;
    uint8_t streamType;
};
const Sample SAMPLES[] = {
    {"avc", "avc/avc-main-720x576i25.ts", 0x100, 0x1B},
    {"hevc", "hevc/hevc-main-timing.ts", 0x100, 0x24},
    {"mpeg2", "mpeg2/mpeg2-1080i-16x9.ts", 0x101, 0x02},
};

std::string DataPath(const std::string& file) {
    const std::string self = __FILE__;
    return self.substr(0, self.rfind("/bench/")) + "/tests/data/" + file;
}

struct Picture {
    Bytes bytes;
    uint64_t pts;  // 90 kHz
};

// The sample's access units, cut by the codec's defragmenter from its video elementary stream.
class PictureTaker {
public:
    std::vector<Picture> Take(const Sample& sample) {
        std::ifstream in(DataPath(sample.file), std::ios::binary);
        const Bytes ts((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::unique_ptr<Cmf::VideoDefragmenter> pDefragmenter;
        if (sample.streamType == 0x1B) {
            pDefragmenter = std::make_unique<Cmf::AvcDefragmenter>();
        } else if (sample.streamType == 0x24) {
            pDefragmenter = std::make_unique<Cmf::HevcDefragmenter>();
        } else {
            pDefragmenter = std::make_unique<Cmf::Mpeg2VideoDefragmenter>();
        }
        pDefragmenter->Subscribe(XP::MakeFunctor<&PictureTaker::OnAu>(this));
        Cmf::TsToEsConverter converter;
        converter.Subscribe(
            XP::MakeFunctor<&Cmf::VideoDefragmenter::PutFragment>(pDefragmenter.get()));
        for (std::size_t offset = 0; offset + 188 <= ts.size(); offset += 188) {
            XP::CBuffer bytes(188);
            std::copy(ts.begin() + offset, ts.begin() + offset + 188, bytes.GetBegin());
            const Cmf::TsPacket packet(bytes);
            if (packet.GetPid() == sample.pid) {
                converter.PutTsPacket(packet);
            }
        }
        return m_Pictures;
    }

private:
    void OnAu(const Cmf::AccessUnit& au) {
        if (au.GetPts().IsValid()) {
            m_Pictures.push_back({Bytes(au.GetData().GetBegin(), au.GetData().GetEnd()),
                                  au.GetPts().GetValue() / 300});
        }
    }
    std::vector<Picture> m_Pictures;
};

// Pseudo-random bytes shaped like coded data: for AVC and HEVC escaped as a NAL unit's payload
// (no 00 00 followed by 00..03), for MPEG-2 without two zeros in a row.
Bytes CodedDataPool(bool escaped, std::size_t size) {
    Bytes pool;
    pool.reserve(size + size / 64);
    uint32_t state = 12345;
    unsigned zeros = 0;
    while (pool.size() < size) {
        state = state * 1664525u + 1013904223u;
        uint8_t byte = static_cast<uint8_t>(state >> 24);
        if (escaped && zeros >= 2 && byte <= 0x03) {
            pool.push_back(0x03);
            zeros = 0;
        }
        if (!escaped && zeros >= 1 && byte == 0x00) {
            byte = 0x01;
        }
        pool.push_back(byte);
        zeros = byte == 0x00 ? zeros + 1 : 0;
    }
    return pool;
}

struct LongStream {
    Bytes ts;
    std::size_t pictures = 0;
    std::string file;  // the stream written out for the tool, removed at exit

    ~LongStream() {
        if (!file.empty()) {
            std::remove(file.c_str());
        }
    }
};

LongStream* MakeLongStream(const Sample& sample) {
    PictureTaker taker;
    const std::vector<Picture> pictures = taker.Take(sample);
    auto* pStream = new LongStream();
    if (pictures.size() < 2) {
        return pStream;
    }
    uint64_t first = pictures[0].pts, last = pictures[0].pts;
    for (const Picture& picture : pictures) {
        first = std::min(first, picture.pts);
        last = std::max(last, picture.pts);
    }
    const uint64_t duration = (last - first) + (last - first) / (pictures.size() - 1);
    const Bytes pool = CodedDataPool(sample.streamType != 0x02, 4u << 20);

    KestrelTest::TsStreamBuilder builder;
    std::size_t poolOffset = 0;
    for (uint64_t loop = 0; builder.Bytes().size() < STREAM_BYTES; ++loop) {
        for (const Picture& picture : pictures) {
            if (pStream->pictures % 25 == 0) {
                builder.AddPatPmt(1, 0x1000, {{sample.streamType, VIDEO_PID}}, VIDEO_PID);
            }
            const uint64_t pts = picture.pts + loop * duration;
            builder.AddPcr(VIDEO_PID, (pts - 9000) * 300);
            Bytes au = picture.bytes;
            // 0xFF first: the bytes added never join a zero the unit ends with; 0x80 last, a
            // stop bit, before the next unit's start code.
            const std::size_t grow = PICTURE_BYTES > au.size() ? PICTURE_BYTES - au.size() : 0;
            if (poolOffset + grow > pool.size()) {
                poolOffset = 0;
            }
            au.push_back(0xFF);
            au.insert(au.end(), pool.begin() + poolOffset, pool.begin() + poolOffset + grow);
            au.push_back(0x80);
            poolOffset += grow / 3;
            builder.AddPes(VIDEO_PID, au, KestrelTest::PesOptions().Pts(pts).Unbounded());
            ++pStream->pictures;
        }
    }
    pStream->ts = builder.Bytes();
    return pStream;
}

LongStream& TheStream(int codec) {
    // Made once per codec, on first use; the memory is released at exit.
    static std::unique_ptr<LongStream> streams[3];
    if (!streams[codec]) {
        streams[codec].reset(MakeLongStream(SAMPLES[codec]));
    }
    return *streams[codec];
}

// Takes the caption lines and forgets them.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

void BM_Chain(benchmark::State& state) {
    const int codec = static_cast<int>(state.range(0));
    const LongStream& stream = TheStream(codec);
    if (stream.ts.empty()) {
        state.SkipWithError("the sample stream is missing");
        return;
    }
    const std::size_t readSize = 188 * 5577;
    NullBuffer nullBuffer;
    std::ostream out(&nullBuffer);
    CcDump::Stats_t stats;
    double chainSeconds = 0;
    double memchrSeconds = 0;
    std::size_t memchrHits = 0;
    for (auto _ : state) {
        const double start = BenchTiming::ThreadSeconds();
        CcDump::Options_t options;
        options.file = "-";
        options.byteByByte = state.range(1) != 0;
        CcDump::CcDumpRunner runner(options, out, out);
        for (std::size_t offset = 0; offset < stream.ts.size(); offset += readSize) {
            const std::size_t size = std::min(readSize, stream.ts.size() - offset);
            runner.PutBytes(stream.ts.data() + offset, size);
        }
        runner.Finish();
        stats = runner.GetStats();
        chainSeconds += BenchTiming::ThreadSeconds() - start;

        state.PauseTiming();
        const double memchrStart = BenchTiming::ThreadSeconds();
        memchrHits += BenchTiming::MemchrPass(stream.ts.data(), stream.ts.size());
        memchrSeconds += BenchTiming::ThreadSeconds() - memchrStart;
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(memchrHits);
    // Every picture but the one still open when the multiplex was cut gives a caption packet.
    if (stats.ccPackets + 1 < stream.pictures) {
        state.SkipWithError("fewer caption packets than pictures");
        return;
    }
    const double megabytes = double(stream.ts.size()) * double(state.iterations()) / 1e6;
    state.SetBytesProcessed(static_cast<int64_t>(stream.ts.size() * state.iterations()));
    state.counters["chain_MBps"] = megabytes / chainSeconds;
    state.counters["memchr_MBps"] = megabytes / memchrSeconds;
    state.counters["ratio"] = memchrSeconds / chainSeconds;
    state.counters["captions"] = double(stats.ccPackets);
    state.counters["MB"] = double(stream.ts.size()) / 1e6;
}
BENCHMARK(BM_Chain)
    ->ArgNames({"codec", "byte"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

void BM_Tool(benchmark::State& state) {
    const int codec = static_cast<int>(state.range(0));
    LongStream& stream = TheStream(codec);
    if (stream.ts.empty()) {
        state.SkipWithError("the sample stream is missing");
        return;
    }
    if (stream.file.empty()) {
        const std::string file = "/tmp/kestrel-ccdump-bench-" + std::to_string(getpid()) + "-" +
                                 SAMPLES[codec].name + ".ts";
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(stream.ts.data()),
                   static_cast<std::streamsize>(stream.ts.size()));
        stream.file = file;
    }
    const std::string command =
        std::string(KESTREL_CCDUMP_BINARY) + " " + stream.file + " | tail -n 1 >/dev/null";
    for (auto _ : state) {
        const double start = BenchTiming::WallSeconds();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("kestrel-ccdump failed");
            return;
        }
        state.SetIterationTime(BenchTiming::WallSeconds() - start);
    }
    state.SetBytesProcessed(static_cast<int64_t>(stream.ts.size() * state.iterations()));
}
BENCHMARK(BM_Tool)
    ->ArgName("codec")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
