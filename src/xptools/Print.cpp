#include "xptools/Print.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <vector>

namespace XP {
namespace {

std::mutex& SinkMutex() {
    static std::mutex mutex;
    return mutex;
}

ConsoleSink& Sink() {
    static ConsoleSink sink;
    return sink;
}

// Formats one line as printf does, without its trailing newlines.
std::string FormatLine(const char* format, va_list args) {
    char small[256];
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(small, sizeof(small), format, args);

    std::string line;
    if (needed < 0) {
        line = format;
    } else if (static_cast<size_t>(needed) < sizeof(small)) {
        line.assign(small, static_cast<size_t>(needed));
    } else {
        std::vector<char> large(static_cast<size_t>(needed) + 1);
        std::vsnprintf(large.data(), large.size(), format, copy);
        line.assign(large.data(), static_cast<size_t>(needed));
    }
    va_end(copy);
    while (!line.empty() && line.back() == '\n') {
        line.pop_back();
    }
    return line;
}

}  // namespace

ConsoleSink SetConsoleSink(ConsoleSink sink) {
    std::lock_guard<std::mutex> lock(SinkMutex());
    ConsoleSink previous = std::move(Sink());
    Sink() = std::move(sink);
    return previous;
}

void MyPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string line = FormatLine(format, args);
    va_end(args);

    std::lock_guard<std::mutex> lock(SinkMutex());
    if (Sink()) {
        Sink()(line);
    } else {
        line.push_back('\n');
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fflush(stdout);
    }
}

// Debug traces.
namespace {

std::mutex& DebugSinkMutex() {
    static std::mutex mutex;
    return mutex;
}

DebugSink& DebugSinkSlot() {
    static DebugSink sink;
    return sink;
}

std::atomic<bool> g_DebugPrintEnabled{false};

}  // namespace

DebugSink SetDebugSink(DebugSink sink) {
    std::lock_guard<std::mutex> lock(DebugSinkMutex());
    DebugSink previous = std::move(DebugSinkSlot());
    DebugSinkSlot() = std::move(sink);
    g_DebugPrintEnabled.store(static_cast<bool>(DebugSinkSlot()), std::memory_order_relaxed);
    return previous;
}

bool IsDebugPrintEnabled() {
    return g_DebugPrintEnabled.load(std::memory_order_relaxed);
}

void DebugPrintf(const char* format, ...) {
    if (!IsDebugPrintEnabled()) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::string line = FormatLine(format, args);
    va_end(args);

    std::lock_guard<std::mutex> lock(DebugSinkMutex());
    if (DebugSinkSlot()) {
        DebugSinkSlot()(line);
    }
}

}  // namespace XP
