#include "xptools/Str.h"

#include <cstdarg>
#include <cstdio>

namespace XP {
namespace Str {

std::string Format(const char* format, ...) {
    if (format == nullptr) {
        return std::string();
    }
    va_list args;
    va_start(args, format);
    va_list measureArgs;
    va_copy(measureArgs, args);
    // Measure first, then format straight into a string of that size.
    const int length = std::vsnprintf(nullptr, 0, format, measureArgs);
    va_end(measureArgs);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length));
        // The string owns length + 1 bytes, the last for the terminator vsnprintf writes.
        std::vsnprintf(&text[0], text.size() + 1, format, args);
    }
    va_end(args);
    return text;
}

}  // namespace Str
}  // namespace XP
