#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/host/HostTsTap.h"
#include "stb/stb_av.h"

namespace Kestrel {
namespace Host {

// Finds what the received transport stream carries, the way the board's stream analysis does:
// it keeps a bounded window of the most recent packets and probes that window with libavformat's
// MPEG-TS demuxer and libavcodec (avformat_find_stream_info, as ffprobe does), then maps the
// result onto the platform records.
//
// A probe runs on the caller of Fill, and only when the stream changed since the last one (a
// discontinuity, a PID never seen before, or a last result that was still incomplete) and, for a
// live input, once enough of the changed stream has arrived. Entries of PIDs not received for
// PID_TIMEOUT_MS are left out of the answer, so a PID that disappears (or an input that stops)
// reads as absent.
//
// Threads: OnTs/OnDiscontinuity on the input thread (copy and return, never probe there); Fill
// and Probe on any thread. m_Mutex guards the window, the PID table and the cached result; a
// probe works on a copy of the window without holding it, and m_ProbeMutex keeps probes from
// running twice at once. m_ProbeMutex is taken before m_Mutex, never the other way round.
class StreamProber : public ITsTap {
public:
    static constexpr size_t WINDOW_BYTES = 22310u * 188u;    // newest bytes kept for probing
    static constexpr size_t MIN_PROBE_BYTES = 512u * 1024u;  // a live probe waits for this..
    static constexpr uint64_t MIN_PROBE_WAIT_MS = 1500;      // ..or for this long
    static constexpr uint64_t RETRY_MS = 1000;               // between incomplete probes
    static constexpr uint64_t PID_TIMEOUT_MS = 3000;
    static constexpr unsigned MAX_INCOMPLETE_PROBES = 30;  // then wait for the next change

    StreamProber();
    ~StreamProber() override;
    StreamProber(const StreamProber&) = delete;
    StreamProber& operator=(const StreamProber&) = delete;

    void OnTs(const uint8_t* data, size_t size) override;
    void OnDiscontinuity() override;

    // Zeroes `info` and fills it from the last probe, probing first when the stream changed and
    // enough of it is there.
    void Fill(AV_STREAM_INFO_S* info);
    // Probes the window now, whatever its size (files fed at once, tests).
    void Probe();
    // Forgets everything received.
    void Clear();

    // The bytes a probe would read now: the window, oldest first.
    std::vector<uint8_t> Snapshot() const;

    // Times a probe ran (tests and diagnostics).
    unsigned ProbeCount() const;

private:
    bool ProbeDueLocked(uint64_t nowNs) const;
    std::vector<uint8_t> SnapshotLocked() const;
    void RunProbe();

    mutable std::mutex m_ProbeMutex;
    mutable std::mutex m_Mutex;
    // The window: a ring of WINDOW_BYTES (whole packets), m_WindowFill bytes of it in use, the
    // oldest at m_WindowStart. Older bytes are overwritten: the window is the newest stream.
    std::vector<uint8_t> m_Window;
    size_t m_WindowStart = 0;
    size_t m_WindowFill = 0;
    unsigned m_IncompleteProbes = 0;  // in a row, since the last change
    // Until a probe has found every parameter since the last change, the window keeps the first
    // bytes after the change instead of the newest: a stream's parameter sets come with its
    // random-access pictures, which may be many seconds apart, and the start of a stream (or of
    // what follows a change) begins with one. An incomplete probe restarts the window.
    bool m_Complete = false;
    std::vector<uint64_t> m_PidLastSeenNs;  // per PID; 0: never
    bool m_Dirty = false;
    uint64_t m_DirtySinceNs = 0;
    size_t m_BytesSinceDirty = 0;
    uint64_t m_LastProbeNs = 0;
    bool m_HaveProbed = false;
    AV_STREAM_INFO_S m_Result;
    uint16_t m_ProgramPmtPids[AV_STREAM_INFO_MAX_ENTRIES];  // of m_Result's program entries
    bool m_ReportedGone = false;
    unsigned m_ProbeCount = 0;
};

}  // namespace Host
}  // namespace Kestrel
