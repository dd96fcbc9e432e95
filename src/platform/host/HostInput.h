#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "xptools/Thread.h"
#include "xptools/Uncopyable.h"

namespace Kestrel {
namespace Host {

// Receives the transport stream and hands it, in whole packets, to the TS taps.
//
//  - "file:PATH": the file is read at the stream's own rate, each packet carrying a PCR
//    released when XP::Clock reaches that PCR's time (the packets before it go with it), as a
//    live feed would arrive. Without any PCR it is read at a fixed 10 Mbit/s. With looping on,
//    the file starts again at its end and the taps are told of a discontinuity (time stamps
//    jump back: the players re-lock their clocks); without it the input ends there.
//  - "udp://127.0.0.1:PORT": datagrams of whole packets (any multiple of 188 bytes). Others are
//    dropped with a log line. A silence of a second is logged, and when data comes back the taps
//    are told of a discontinuity.
// Lost sync inside a file is recovered by searching the next packet start; a file with no
// packet structure at all is refused with a log line.
//
// Threads: one receiving thread (CThread "host.input") from Start to Stop; Start and Stop are
// called by one controlling thread. The taps are called on the receiving thread.
class CHostInput : private XP::CUncopyable {
public:
    CHostInput();
    ~CHostInput();

    // Parses `source` and starts receiving. False, with a log line, when the text is malformed or
    // the file or socket cannot be opened.
    bool Start(const std::string& source, bool loop);
    void Stop();
    bool IsRunning() const { return m_Thread.IsRunning(); }

    // Bytes handed to the taps since Start.
    uint64_t BytesDelivered() const { return m_Delivered; }

private:
    bool Body();
    bool FileStep();
    bool UdpStep();
    // Splits `data` into whole packets, recovering sync; appends them to m_Batch, releasing the
    // batch at each PCR's time. `atEnd`: no more data follows (nothing is held back).
    void Resync(const uint8_t* data, size_t size, bool atEnd);
    void Flush();
    void WaitUntil(uint64_t deadlineNs);

    XP::CThread m_Thread;
    bool m_IsFile = false;
    bool m_Loop = false;
    std::string m_Path;
    FILE* m_File = nullptr;
    int m_Socket = -1;

    std::vector<uint8_t> m_Carry;  // bytes of a packet cut by a read
    std::vector<uint8_t> m_Batch;  // packets waiting for their release time
    std::vector<uint8_t> m_Read;
    bool m_SeenSync = false;
    bool m_InSync = false;
    uint64_t m_BytesRead = 0;
    uint64_t m_SkippedBytes = 0;
    bool m_SyncLostReported = false;

    // File pacing.
    int m_PcrPid = -1;
    int64_t m_Pcr0 = -1;     // 27 MHz, unwrapped
    int64_t m_LastPcr = -1;  // 27 MHz, unwrapped
    int64_t m_LastPcrRaw = -1;
    uint64_t m_StartNs = 0;
    bool m_NoPcrReported = false;
    uint64_t m_FallbackBytes = 0;

    // UDP liveness.
    uint64_t m_LastDataNs = 0;
    bool m_Silent = false;
    uint64_t m_BadDatagrams = 0;

    std::atomic<uint64_t> m_Delivered{0};
};

}  // namespace Host
}  // namespace Kestrel
