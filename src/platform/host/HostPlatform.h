#pragma once

#include <cstdint>
#include <string>

// Host-only controls of the software decoder board, for its tools and tests (the daemon uses
// the C interface alone).
namespace Kestrel {
namespace Host {

// The input av_prepare opens: "file:PATH" or "udp://127.0.0.1:PORT"; an empty text means the
// host endpoints record (KESTREL_TS_INPUT). `loop` replays a file input from its start at its end
// (also set by KESTREL_TS_LOOP=1). Takes effect at the next av_prepare.
void SetHostInput(const std::string& source, bool loop);

// Whether the input is receiving (false before av_prepare, after av_deinit, and once a file
// input has ended or was refused).
bool IsInputRunning();

// Packets the TS buffer of av_get_ts_buffer dropped because nobody drained it in time.
uint64_t TsBufferDroppedPackets();

}  // namespace Host
}  // namespace Kestrel
