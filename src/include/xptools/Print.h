#pragma once

#include <functional>
#include <string>

namespace XP {

// Prints one console line, formatted as by printf. A trailing newline in the format is optional:
// the line is terminated exactly once.
void MyPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Where console lines go. The default writes each line to standard output. Tests install their
// own sink to read the exact messages; the returned value is the sink that was installed before.
using ConsoleSink = std::function<void(const std::string& line)>;
ConsoleSink SetConsoleSink(ConsoleSink sink);

// Fine traces (per-packet and per-unit diagnostics of the media parsers). They are discarded unless
// a debug sink is installed: on a live stream they would come several times a second. A test
// installs a sink to read the exact lines; a developer chasing a stream problem can install one
// that forwards to MyPrintf.
//
// Threads: installing a sink is guarded; DebugPrintf costs one relaxed load while no sink is
// installed, and otherwise formats the line and calls the sink under the same guard.
using DebugSink = std::function<void(const std::string& line)>;

// Installs `sink` (an empty function discards again) and returns the sink installed before.
DebugSink SetDebugSink(DebugSink sink);
bool IsDebugPrintEnabled();

// Formats as printf; a trailing newline is dropped. Nothing happens while no sink is installed.
void DebugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace XP
