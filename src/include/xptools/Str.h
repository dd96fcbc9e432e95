#pragma once

#include <iomanip>
#include <sstream>
#include <string>

namespace XP {
namespace Str {

// printf-style formatting into a string of exactly the needed length.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The value in fixed notation with `precision` digits after the point (ToStr(2.5, 3) is
// "2.500").
template <typename T>
std::string ToStr(const T& value, int precision) {
    std::ostringstream stream;
    stream << std::fixed << std::setprecision(precision) << value;
    return stream.str();
}

}  // namespace Str
}  // namespace XP
