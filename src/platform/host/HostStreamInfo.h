#pragma once

#include <cstdint>

#include "stb/stb_av.h"

// Stream information of the received transport stream, as the host decoder board reports it
// through av_get_stream_info. The prober behind it (HostStreamProber.h) listens to the input
// through a TS tap (HostTsTap.h), keeps a bounded window of the most recent stream and probes that
// window with libavformat/libavcodec whenever the stream changes (a discontinuity, new PIDs).
namespace Kestrel {
namespace Host {

// Fills `info` with what the prober knows of the received stream: per video PID size, sample
// aspect ratio, average frame rate, field order, profile, level, pixel format and bit width;
// per audio PID codec, channels, sample format, sample rate and bit rate; per program the
// service id, service name and provider. Zeroes `info` first; with no stream (or not a transport
// stream) the counts stay 0. Registers the prober's tap on first use. Returns 0 on success,
// nonzero only for a null `info`. Any thread.
uint32_t FillStreamInfo(AV_STREAM_INFO_S* info);

// Registers the prober's tap now (the input side may call this when the input starts, so the
// first answer does not wait for a call of FillStreamInfo), and takes it away again with what it
// had received (at de-initialisation). Both are idempotent.
void StartStreamInfo();
void StopStreamInfo();

}  // namespace Host
}  // namespace Kestrel
