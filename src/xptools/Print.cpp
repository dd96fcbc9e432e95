#include "xptools/Print.h"

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

}  // namespace

ConsoleSink SetConsoleSink(ConsoleSink sink) {
    std::lock_guard<std::mutex> lock(SinkMutex());
    ConsoleSink previous = std::move(Sink());
    Sink() = std::move(sink);
    return previous;
}

void MyPrintf(const char* format, ...) {
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
    } else {
        line.push_back('\n');
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fflush(stdout);
    }
}

}  // namespace XP
