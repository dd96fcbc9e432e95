// Cost of reading header fields through bit-field layouts, next to the shift-and-mask code one
// would write by hand. The reads run over a buffer of many random packets so that nothing can be
// folded at compile time.
//
//   kestrel_bitfield_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "TsHeaderLayout.h"
#include "xptools/BitField.h"

namespace {

using XP::INTERNAL::GetLayout;

// An adaptation field seen only as its length and the bytes it covers.
struct AdaptationField_t : XP::INTERNAL::CBitFieldSetBase {
    XP_BITFIELD_LAYOUT(AdaptationField_t);
    XP_BITFIELD(fieldLength, 8, BEGIN);
    XP_BITFIELD_ARRAY(fieldByte, 8, fieldLength, fieldLength_t_.Get());
};

using TsPacket_t = KestrelTest::TsPacketLayout_t<AdaptationField_t>;

constexpr std::size_t PACKET_LENGTH = 188;
constexpr std::size_t PACKET_COUNT = 1024;  // 188 KiB: stays in the L2 cache

std::vector<unsigned char> MakePackets() {
    std::mt19937 rng(188);
    std::vector<unsigned char> packets(PACKET_LENGTH * PACKET_COUNT);
    for (auto& b : packets) {
        b = static_cast<unsigned char>(rng());
    }
    for (std::size_t i = 0; i < PACKET_COUNT; ++i) {
        unsigned char* p = &packets[i * PACKET_LENGTH];
        p[0] = 0x47;
        p[4] %= 160;  // keep the adaptation field inside the packet
    }
    return packets;
}

// Applies `read` to every packet of the buffer in each iteration; one item is one packet.
template <typename Read>
void ReadEachPacket(benchmark::State& state, Read read) {
    std::vector<unsigned char> packets = MakePackets();
    for (auto _ : state) {
        for (std::size_t i = 0; i < PACKET_COUNT; ++i) {
            unsigned value = read(&packets[i * PACKET_LENGTH]);
            benchmark::DoNotOptimize(value);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * PACKET_COUNT));
}

void PidHandWritten(benchmark::State& state) {
    ReadEachPacket(state, [](const unsigned char* p) { return ((p[1] & 0x1Fu) << 8) | p[2]; });
}
BENCHMARK(PidHandWritten);

void PidThroughLayout(benchmark::State& state) {
    ReadEachPacket(state, [](const unsigned char* p) -> unsigned {
        return GetLayout<TsPacket_t>(p)->pid_t_.Get();
    });
}
BENCHMARK(PidThroughLayout);

// For information: the first payload byte, found behind the variable-length adaptation field.
void PayloadByteHandWritten(benchmark::State& state) {
    ReadEachPacket(state, [](const unsigned char* p) -> unsigned {
        return p[4 + ((p[3] & 0x20) ? 1u + p[4] : 0u)];
    });
}
BENCHMARK(PayloadByteHandWritten);

void PayloadByteThroughLayout(benchmark::State& state) {
    ReadEachPacket(state, [](const unsigned char* p) -> unsigned {
        return GetLayout<TsPacket_t>(p)->payloadByte_t_.Get();
    });
}
BENCHMARK(PayloadByteThroughLayout);

}  // namespace

BENCHMARK_MAIN();
