// Feeds arbitrary bytes as 188-byte transport packets through the demultiplexer and PES
// converters of several PIDs, and through one converter that takes every packet. Every fragment
// must be non-empty and lie inside the packet it came from; the packet's size accessors must agree
// with its payload slice.
//
// The first input byte selects how the rest is fed, so short inputs still reach the converters:
//   bit 0  pad a last partial packet to 188 bytes with 0xFF (else it is fed as a short buffer)
//   bit 1  force the sync byte and fold each PID onto the subscribed ones (0x100..0x103)
//   bit 2  repeat an input shorter than a packet until it fills four packets
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "hisi_av/application/cmf/ts/Demultiplexer.h"
#include "hisi_av/application/cmf/ts/TsPacket.h"
#include "hisi_av/application/cmf/ts/TsToEsConverter.h"
#include "xptools/Print.h"

namespace {

constexpr std::size_t PACKET = Cmf::TsPacket::PACKET_LENGTH;

class FragmentChecker {
public:
    void SetPacket(const Cmf::TsPacket& packet) {
        m_pBegin = packet.GetData().GetBegin();
        m_pEnd = packet.GetData().GetEnd();
    }

    void OnFragment(const Cmf::Fragment& fragment) {
        const unsigned char* p = fragment.GetData().GetBegin();
        const std::size_t size = fragment.GetSize();
        if (size == 0 || p < m_pBegin || p + size > m_pEnd) {
            __builtin_trap();
        }
        // Touch every byte so AddressSanitizer sees any stray view.
        for (std::size_t i = 0; i < size; ++i) {
            m_Sum += p[i];
        }
        if (fragment.GetPts().IsValid() && fragment.GetPts().GetExt() != 0) {
            __builtin_trap();
        }
    }

    uint64_t m_Sum = 0;

private:
    const unsigned char* m_pBegin = nullptr;
    const unsigned char* m_pEnd = nullptr;
};

void CheckPacket(const Cmf::TsPacket& packet) {
    const XP::CBuffer payload = packet.GetPayload();
    if (payload.GetSize() != packet.GetPayloadSize() ||
        packet.GetAdaptationFieldSize() + packet.GetPayloadSize() >
            Cmf::TsPacket::MAX_PAYLOAD_LENGTH) {
        __builtin_trap();
    }
    if (!payload.IsEmpty() && payload.GetEnd() != packet.GetData().GetBegin() + PACKET) {
        __builtin_trap();
    }
    (void)packet.GetPcr();
    (void)packet.GetTimestamp();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The demultiplexer's sync messages would only slow the run down.
    static const bool quiet = [] {
        XP::SetConsoleSink([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    if (size == 0) {
        return 0;
    }
    const uint8_t mode = data[0];
    std::vector<uint8_t> input(data + 1, data + size);
    if ((mode & 4) != 0 && !input.empty() && input.size() < PACKET) {
        const std::vector<uint8_t> unit = input;
        while (input.size() < 4 * PACKET) {
            input.insert(input.end(), unit.begin(), unit.end());
        }
        input.resize(4 * PACKET);
    }

    Cmf::Demultiplexer demux;
    Cmf::TsToEsConverter converters[4];
    Cmf::TsToEsConverter everyPacket;
    FragmentChecker checker;
    const auto check = XP::MakeFunctor<&FragmentChecker::OnFragment>(&checker);
    for (unsigned i = 0; i < 4; ++i) {
        converters[i].Subscribe(check);
        demux.Subscribe(0x100 + i,
                        XP::MakeFunctor<&Cmf::TsToEsConverter::PutTsPacket>(&converters[i]));
    }
    everyPacket.Subscribe(check);

    for (std::size_t offset = 0; offset < input.size(); offset += PACKET) {
        std::size_t length = std::min(PACKET, input.size() - offset);
        // An exact-size buffer per packet lets AddressSanitizer see any read past it.
        XP::CBuffer buffer((mode & 1) != 0 ? PACKET : length);
        std::fill(buffer.GetBegin(), buffer.GetEnd(), 0xFF);
        std::copy(input.begin() + static_cast<std::ptrdiff_t>(offset),
                  input.begin() + static_cast<std::ptrdiff_t>(offset + length), buffer.GetBegin());
        Cmf::TsPacket packet(buffer);
        if ((mode & 2) != 0 && buffer.GetSize() >= Cmf::TsPacket::HEADER_LENGTH) {
            packet.SetSyncByte(Cmf::TsPacket::PACKET_SYNC_BYTE);
            packet.SetPid(0x100 + (packet.GetPid() & 3));
        }
        CheckPacket(packet);
        checker.SetPacket(packet);
        demux.PutTsPacket(packet);
        everyPacket.PutTsPacket(packet);
    }
    return 0;
}
