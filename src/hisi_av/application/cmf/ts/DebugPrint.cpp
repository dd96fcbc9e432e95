#include "hisi_av/application/cmf/ts/DebugPrint.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <vector>

namespace Cmf {
namespace {

std::mutex& SinkMutex() {
    static std::mutex mutex;
    return mutex;
}

DebugSink& Sink() {
    static DebugSink sink;
    return sink;
}

std::atomic<bool> g_Enabled{false};

}  // namespace

DebugSink SetDebugSink(DebugSink sink) {
    std::lock_guard<std::mutex> lock(SinkMutex());
    DebugSink previous = std::move(Sink());
    Sink() = std::move(sink);
    g_Enabled.store(static_cast<bool>(Sink()), std::memory_order_relaxed);
    return previous;
}

bool IsDebugPrintEnabled() {
    return g_Enabled.load(std::memory_order_relaxed);
}

void DebugPrintf(const char* format, ...) {
    if (!IsDebugPrintEnabled()) {
        return;
    }
    char small[256];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(small, sizeof(small), format, args);
    va_end(args);

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

    std::lock_guard<std::mutex> lock(SinkMutex());
    if (Sink()) {
        Sink()(line);
    }
}

}  // namespace Cmf
