#pragma once

#include <cstdint>

namespace Cmf {

// A value of the 27 MHz system clock: a 33-bit base counting at 90 kHz and a 0..299 extension,
// held as one number of 27 MHz ticks (base * 300 + extension). Stored values are always reduced
// modulo the clock's range, 2^33 * 300, so arithmetic wraps the way the broadcast clock does
// (about every 26.5 hours). The all-ones value means "no time": a fragment or access unit that
// carries no time stamp holds it.
//
// Ordering is circular: of two different values, the one that is less than half the range ahead
// of the other is the later one. So a value just after a wrap is later than one just before it.
//
// A plain value type: no locks, copy freely.
class Pcr {
public:
    static constexpr uint64_t CLOCK_FREQUENCY = 27000000;
    static constexpr uint64_t BASE_FREQUENCY = 90000;
    static constexpr uint64_t BASE_RANGE = uint64_t(1) << 33;
    static constexpr uint64_t EXT_RANGE = 300;
    static constexpr uint64_t VALUE_RANGE = BASE_RANGE * EXT_RANGE;
    static constexpr uint64_t MAX_BASE = BASE_RANGE - 1;
    static constexpr uint64_t MAX_EXT = EXT_RANGE - 1;
    static constexpr uint64_t MAX_VALUE = VALUE_RANGE - 1;
    static constexpr uint64_t INVALID_VALUE = ~uint64_t(0);

    // Invalid until a value is given.
    constexpr Pcr() : m_Value(INVALID_VALUE) {}
    // A 27 MHz tick count, reduced modulo the range.
    constexpr explicit Pcr(uint64_t value) : m_Value(value % VALUE_RANGE) {}
    // A 90 kHz base (modulo 2^33) and an extension (modulo 300).
    constexpr Pcr(uint64_t base, uint64_t ext) : m_Value(0) {
        SetBase(base);
        SetExt(ext);
    }
    constexpr Pcr(const Pcr&) = default;
    constexpr Pcr& operator=(const Pcr&) = default;

    constexpr Pcr& operator=(uint64_t value) {
        SetValue(value);
        return *this;
    }

    constexpr void SetValue(uint64_t value) { m_Value = value % VALUE_RANGE; }
    constexpr uint64_t GetValue() const { return m_Value; }

    // The extension is kept; the base replaces the current one.
    constexpr void SetBase(uint64_t base) { m_Value = (base % BASE_RANGE) * EXT_RANGE + GetExt(); }
    // The base is kept; the extension replaces the current one.
    constexpr void SetExt(uint64_t ext) { m_Value = GetBase() * EXT_RANGE + ext % EXT_RANGE; }
    constexpr uint64_t GetBase() const { return m_Value / EXT_RANGE; }
    constexpr uint16_t GetExt() const { return static_cast<uint16_t>(m_Value % EXT_RANGE); }

    constexpr bool IsValid() const { return m_Value < VALUE_RANGE; }
    constexpr void SetInvalid() { m_Value = INVALID_VALUE; }

    // Sum modulo the range.
    constexpr Pcr operator+(const Pcr& other) const { return Pcr(m_Value + other.m_Value); }
    // Difference modulo the range: an earlier minus a later value wraps to range - distance.
    constexpr Pcr operator-(const Pcr& other) const {
        return Pcr(m_Value >= other.m_Value ? m_Value - other.m_Value
                                            : m_Value - other.m_Value + VALUE_RANGE);
    }
    constexpr Pcr& operator+=(const Pcr& other) { return *this = *this + other; }
    constexpr Pcr& operator-=(const Pcr& other) { return *this = *this - other; }

    // Raw comparison: an invalid value equals only another invalid value.
    constexpr bool operator==(const Pcr& other) const { return m_Value == other.m_Value; }
    constexpr bool operator!=(const Pcr& other) const { return m_Value != other.m_Value; }

    // Later when ahead of `other` by less than half the range (300 * 2^32 ticks).
    constexpr bool IsLaterThan(const Pcr& other) const {
        if (*this == other) {
            return false;
        }
        return (*this - other).m_Value < HALF_RANGE;
    }
    constexpr bool IsSameOrLaterThan(const Pcr& other) const {
        return *this == other || IsLaterThan(other);
    }
    constexpr bool IsEarlierThan(const Pcr& other) const { return !IsSameOrLaterThan(other); }
    constexpr bool IsSameOrEarlierThan(const Pcr& other) const { return !IsLaterThan(other); }

    // The distance between two values, going forward from the earlier to the later one.
    static constexpr Pcr AbsDiff(const Pcr& a, const Pcr& b) {
        return a.IsLaterThan(b) ? a - b : b - a;
    }

private:
    static constexpr uint64_t HALF_RANGE = EXT_RANGE * (uint64_t(1) << 32);

    uint64_t m_Value;
};

}  // namespace Cmf
