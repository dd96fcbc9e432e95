#pragma once

#include <cstdint>
#include <type_traits>

// Fraction helpers of the media framework: frame rates and aspect ratios are kept as fractions of
// unsigned integers.

namespace Cmf {
namespace Math {

// a × b / c in double precision, truncated. A zero divisor gives 0; a result beyond the 64-bit
// range saturates at UINT64_MAX instead of overflowing the conversion.
uint64_t Scale(uint64_t a, uint64_t b, uint64_t c);

// |a − b| without wrapping.
inline uint64_t AbsDiff(uint64_t a, uint64_t b) {
    return a > b ? a - b : b - a;
}

// Greatest common divisor by Euclid's algorithm; 0 only when both are 0.
template <typename T>
T GreatestCommonDivisor(T a, T b) {
    static_assert(std::is_unsigned<T>::value, "fractions are made of unsigned integers");
    while (b != 0) {
        T rest = a % b;
        a = b;
        b = rest;
    }
    return a;
}

// Divides numerator and denominator by their greatest common divisor (0/5 becomes 0/1). 0/0 has
// no divisor and stays as it is.
template <typename T>
void ReduceFraction(T& num, T& den) {
    T divisor = GreatestCommonDivisor(num, den);
    if (divisor != 0) {
        num /= divisor;
        den /= divisor;
    }
}

}  // namespace Math
}  // namespace Cmf
