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

}  // namespace XP
