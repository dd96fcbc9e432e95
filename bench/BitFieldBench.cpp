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

#include "xptools/BitField.h"

namespace {

using XP::INTERNAL::CBitFieldSetBase;
using XP::INTERNAL::GetLayout;

struct TsHeader_t : CBitFieldSetBase {
    XP_BITFIELD_LAYOUT(TsHeader_t);
    XP_BITFIELD(syncByte, 8, BEGIN);
    XP_BITFIELD(transportErrorIndicator, 1, syncByte);
    XP_BITFIELD(payloadUnitStartIndicator, 1, transportErrorIndicator);
    XP_BITFIELD(transportPriority, 1, payloadUnitStartIndicator);
    XP_BITFIELD(pid, 13, transportPriority);
    XP_BITFIELD(scrambleControl, 2, pid);
    XP_BITFIELD(adaptationFieldControl, 2, scrambleControl);
    XP_BITFIELD(continuityCounter, 4, adaptationFieldControl);
};

struct AdaptationField_t : CBitFieldSetBase {
    XP_BITFIELD_LAYOUT(AdaptationField_t);
    XP_BITFIELD(fieldLength, 8, BEGIN);
    XP_BITFIELD_ARRAY(fieldByte, 8, fieldLength, fieldLength_t_.Get());
};

// The header, an optional adaptation field of variable length, then the payload.
struct TsPacket_t : CBitFieldSetBase {
    XP_BITFIELD_LAYOUT(TsPacket_t);
    XP_BITFIELD(syncByte, 8, BEGIN);
    XP_BITFIELD(transportErrorIndicator, 1, syncByte);
    XP_BITFIELD(payloadUnitStartIndicator, 1, transportErrorIndicator);
    XP_BITFIELD(transportPriority, 1, payloadUnitStartIndicator);
    XP_BITFIELD(pid, 13, transportPriority);
    XP_BITFIELD(scrambleControl, 2, pid);
    XP_BITFIELD(adaptationFieldControl, 2, scrambleControl);
    XP_BITFIELD(continuityCounter, 4, adaptationFieldControl);
    XP_BITFIELD_RECORDS(adaptationField, AdaptationField_t, continuityCounter,
                        (adaptationFieldControl_t_.Get() & 2) ? 1 : 0);
    XP_BITFIELD(payloadByte, 8, adaptationField);
};

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

void PidHandWritten(benchmark::State& state) {
    std::vector<unsigned char> packets = MakePackets();
    for (auto _ : state) {
        for (std::size_t i = 0; i < PACKET_COUNT; ++i) {
            const unsigned char* p = &packets[i * PACKET_LENGTH];
            unsigned pid = ((p[1] & 0x1Fu) << 8) | p[2];
            benchmark::DoNotOptimize(pid);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * PACKET_COUNT));
}
BENCHMARK(PidHandWritten);

void PidThroughLayout(benchmark::State& state) {
    std::vector<unsigned char> packets = MakePackets();
    for (auto _ : state) {
        for (std::size_t i = 0; i < PACKET_COUNT; ++i) {
            const TsHeader_t* header = GetLayout<TsHeader_t>(&packets[i * PACKET_LENGTH]);
            unsigned pid = header->pid_t_.Get();
            benchmark::DoNotOptimize(pid);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * PACKET_COUNT));
}
BENCHMARK(PidThroughLayout);

// For information: the first payload byte, found behind the variable-length adaptation field.
void PayloadByteHandWritten(benchmark::State& state) {
    std::vector<unsigned char> packets = MakePackets();
    for (auto _ : state) {
        for (std::size_t i = 0; i < PACKET_COUNT; ++i) {
            const unsigned char* p = &packets[i * PACKET_LENGTH];
            std::size_t offset = 4 + ((p[3] & 0x20) ? 1u + p[4] : 0u);
            unsigned value = p[offset];
            benchmark::DoNotOptimize(value);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * PACKET_COUNT));
}
BENCHMARK(PayloadByteHandWritten);

void PayloadByteThroughLayout(benchmark::State& state) {
    std::vector<unsigned char> packets = MakePackets();
    for (auto _ : state) {
        for (std::size_t i = 0; i < PACKET_COUNT; ++i) {
            const TsPacket_t* packet = GetLayout<TsPacket_t>(&packets[i * PACKET_LENGTH]);
            unsigned value = packet->payloadByte_t_.Get();
            benchmark::DoNotOptimize(value);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * PACKET_COUNT));
}
BENCHMARK(PayloadByteThroughLayout);

}  // namespace

BENCHMARK_MAIN();
