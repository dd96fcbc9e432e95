#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hisi_av/application/cmf/ts/Fragment.h"
#include "hisi_av/application/cmf/ts/TsPacket.h"
#include "xptools/Print.h"

namespace KestrelTest {

// Collects the transport layer's trace lines while it lives.
class DebugCapture {
public:
    DebugCapture() {
        m_Previous = XP::SetDebugSink([this](const std::string& line) { m_Lines.push_back(line); });
    }
    ~DebugCapture() { XP::SetDebugSink(m_Previous); }
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    std::vector<std::string> Take() {
        std::vector<std::string> lines;
        lines.swap(m_Lines);
        return lines;
    }

private:
    std::vector<std::string> m_Lines;
    XP::DebugSink m_Previous;
};

// What a fragment subscriber saw: the bytes (copied), where they were, the PTS and PES length.
struct SeenFragment {
    std::vector<uint8_t> bytes;
    const unsigned char* pData;
    Cmf::Pcr pts;
    uint16_t pesLength;
};

class FragmentCollector {
public:
    void OnFragment(const Cmf::Fragment& fragment) {
        const XP::CBuffer& data = fragment.GetData();
        m_Fragments.push_back({std::vector<uint8_t>(data.GetBegin(), data.GetEnd()),
                               data.GetBegin(), fragment.GetPts(), fragment.GetPesLength()});
    }

    const std::vector<SeenFragment>& Fragments() const { return m_Fragments; }
    // Every fragment's bytes, in order.
    std::vector<uint8_t> Concatenated() const {
        std::vector<uint8_t> all;
        for (const SeenFragment& fragment : m_Fragments) {
            all.insert(all.end(), fragment.bytes.begin(), fragment.bytes.end());
        }
        return all;
    }
    void Clear() { m_Fragments.clear(); }

private:
    std::vector<SeenFragment> m_Fragments;
};

// The packets of a byte stream, each sharing one owned copy of the stream, so fragments can be
// checked to point into it.
class PacketFeed {
public:
    explicit PacketFeed(const std::vector<uint8_t>& bytes) : m_Buffer(bytes.size()) {
        std::copy(bytes.begin(), bytes.end(), m_Buffer.GetBegin());
        for (std::size_t offset = 0; offset + Cmf::TsPacket::PACKET_LENGTH <= bytes.size();
             offset += Cmf::TsPacket::PACKET_LENGTH) {
            m_Packets.emplace_back(m_Buffer.Subslice(offset, Cmf::TsPacket::PACKET_LENGTH));
        }
    }

    const std::vector<Cmf::TsPacket>& Packets() const { return m_Packets; }
    const XP::CBuffer& Buffer() const { return m_Buffer; }
    bool Contains(const unsigned char* p, std::size_t size) const {
        return p >= m_Buffer.GetBegin() && p + size <= m_Buffer.GetEnd();
    }

private:
    XP::CBuffer m_Buffer;
    std::vector<Cmf::TsPacket> m_Packets;
};

inline std::vector<uint8_t> Counting(std::size_t size, uint8_t first = 0) {
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(first + i);
    }
    return bytes;
}

}  // namespace KestrelTest
