#pragma once

#include <string>

#include "stb/stb_av.h"

namespace Kestrel {
namespace Probe {

// What kestrel-probe prints: the board's view of the played input as one JSON object.
struct ProbeReport_t {
    AV_STREAM_INFO_S streamInfo;
    AV_STATUS_S status;
    AV_BUFFER_STAT_S buffer;
    bool ptsValid[3];
    long long pts[3];  // video, audio, PCR channels
};

// Field names are the records'; enumerations are printed as numbers, absent PTS as null.
std::string ReportJson(const ProbeReport_t& report);

// JSON string literal of fixed-size text (up to the first NUL or `size` bytes).
std::string JsonText(const char* text, size_t size);

}  // namespace Probe
}  // namespace Kestrel
