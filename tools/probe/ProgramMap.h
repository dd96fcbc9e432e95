#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/host/HostTsTap.h"
#include "stb/stb_av.h"

namespace Kestrel {
namespace Probe {

// The first program of a transport stream as its PAT and PMT describe it: PCR PID and the first
// video and audio elementary streams with the platform's stream types.
struct ProgramStreams_t {
    bool complete = false;
    uint16_t serviceId = 0;
    uint16_t pcrPid = 0x1FFF;
    uint16_t videoPid = 0x1FFF;
    AV_VID_STREAM_TYPE_E videoType = AV_VID_STREAM_TYPE_BUTT;
    uint16_t audioPid = 0x1FFF;
    AV_AUD_STREAM_TYPE_E audioType = AV_AUD_STREAM_TYPE_BUTT;
};

// Reads PAT and PMT sections from the packets it is given (as a TS tap or directly).
// Threads: OnTs on the input thread, Get from any thread; m_Mutex guards the state.
class CProgramMap : public Host::ITsTap {
public:
    void OnTs(const uint8_t* data, size_t size) override;
    ProgramStreams_t Get() const;

private:
    void Packet(const uint8_t* p);
    void Section(const std::vector<uint8_t>& section);

    mutable std::mutex m_Mutex;
    ProgramStreams_t m_Streams;
    int m_PmtPid = -1;
    int m_SectionPid = -1;
    std::vector<uint8_t> m_Section;
};

}  // namespace Probe
}  // namespace Kestrel
