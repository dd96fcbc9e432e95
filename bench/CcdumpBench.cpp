// The chain kestrel-ccdump runs (packet sync, demultiplexer, PES converter, AVC defragmenter and
// data extractor, caption lines) on a long AVC stream: the sample of tests/data/avc repeated to
// about 30 MB, fed in reads of about 1 MiB as the tool reads a file. Reports bytes per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "ccdump/CcDumpRunner.h"

namespace {

std::vector<uint8_t> LongStream() {
    const std::string file = __FILE__;
    const std::string path =
        file.substr(0, file.rfind("/bench/")) + "/tests/data/avc/avc-high-320x240p30.ts";
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> sample((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
    std::vector<uint8_t> stream;
    if (sample.empty()) {
        return stream;
    }
    stream.reserve(30u << 20);
    while (stream.size() + sample.size() <= stream.capacity()) {
        stream.insert(stream.end(), sample.begin(), sample.end());
    }
    return stream;
}

// Takes the caption lines and forgets them.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

void BM_CcdumpChainAvc(benchmark::State& state) {
    static const std::vector<uint8_t> stream = LongStream();
    if (stream.empty()) {
        state.SkipWithError("the AVC sample stream is missing");
        return;
    }
    const std::size_t readSize = 188 * 5577;
    NullBuffer nullBuffer;
    std::ostream out(&nullBuffer);
    uint64_t captions = 0;
    for (auto _ : state) {
        CcDump::Options_t options;
        options.file = "-";
        CcDump::CcDumpRunner runner(options, out, out);
        for (std::size_t offset = 0; offset < stream.size(); offset += readSize) {
            const std::size_t size = std::min(readSize, stream.size() - offset);
            runner.PutBytes(stream.data() + offset, size);
        }
        runner.Finish();
        captions = runner.GetStats().ccPackets;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stream.size()));
    state.counters["captions"] = double(captions);
}
BENCHMARK(BM_CcdumpChainAvc)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
