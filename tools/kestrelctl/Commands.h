#pragma once

#include <atomic>
#include <ostream>
#include <string>

#include "kestrelctl/CommandLine.h"

// The three commands of kestrelctl. Each returns the exit status (kExitOk, kExitFailure,
// kExitUsage) and writes its errors to `err` as one line starting "kestrelctl: ".
//
// Threads: each runs on the calling thread and starts none. Console lines of the support library
// (XP::MyPrintf) go wherever the caller's console sink sends them, except while a port is being
// opened: those are collected and folded into the one error line when the open fails.
namespace KestrelCtl {

// The board's serial device under the root in force ("/dev/ttyS2").
std::string DefaultDevice();

// Parses every operation, then opens the device and sends one frame per operation in order.
// Nothing is sent when any operation does not parse or the device cannot be opened.
int RunSend(const CommandLine_t& commandLine, std::ostream& err);

// Opens the device, says "kestrelctl: watching DEVICE" on `err`, then prints one line per
// received operation on `out` (flushed per line) until the count is reached, the time-out
// passes on XP::Clock, or `stop` is set (checked at least every 200 ms).
int RunWatch(const CommandLine_t& commandLine, std::ostream& out, std::ostream& err,
             const std::atomic<bool>& stop);

int RunList(const CommandLine_t& commandLine, std::ostream& out);

}  // namespace KestrelCtl
