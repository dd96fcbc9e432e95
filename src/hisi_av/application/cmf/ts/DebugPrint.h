#pragma once

#include <functional>
#include <string>

namespace Cmf {

// Fine traces of the transport stream layer (unit starts, PES header states, malformed packets).
// They are discarded unless a sink is installed: on a live stream they would come several times a
// second. A test installs a sink to read the exact lines; a developer chasing a stream problem can
// install one that forwards to XP::MyPrintf.
//
// Threads: installing a sink is guarded; DebugPrintf is cheap (one relaxed load) while no sink is
// installed, and otherwise formats the line and calls the sink under the same guard.
using DebugSink = std::function<void(const std::string& line)>;

// Installs `sink` (an empty function discards again) and returns the sink installed before.
DebugSink SetDebugSink(DebugSink sink);

bool IsDebugPrintEnabled();

// Formats as printf; a trailing newline is dropped. Nothing happens while no sink is installed.
void DebugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace Cmf
