// Engine units: angles in 1/16384 turn, 16.16 fixed-point values, and round-half-even conversion.
// All fixed-point arithmetic wraps modulo 2^32 like the 32-bit registers it was designed for, so a
// hand-edited setting with huge values gives odd pictures, never undefined behaviour.
#pragma once

#include <cmath>
#include <cstdint>

namespace nimbrel {

inline constexpr int angle_units = 16384;
inline constexpr int angle_mask = angle_units - 1;

// Two's complement wrap of any 64-bit value into 32 bits.
inline std::int32_t wrap32(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// A whole number as the integer part of a 16.16 value (fraction 0).
inline std::int32_t to_fixed(std::int64_t integer_part) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(integer_part) << 16);
}

// Integer part of a 16.16 value: the upper 16 bits as a signed number.
inline std::int32_t fixed_int(std::int32_t value) {
    return static_cast<std::int16_t>(static_cast<std::uint32_t>(value) >> 16);
}

// Integer part of a 16.16 angle as a table index: the upper 16 bits unsigned, modulo 16384, so
// negative angles wrap correctly.
inline int angle_index(std::int32_t angle) {
    return static_cast<int>((static_cast<std::uint32_t>(angle) >> 16) & angle_mask);
}

inline int angle_wrap(std::int64_t units) {
    return static_cast<int>(units & angle_mask);
}

// Round to nearest, halves to even (the processor's default mode). Out-of-range values saturate
// and NaN gives 0, so a degenerate setting cannot make the conversion undefined.
inline std::int32_t round_even(double value) {
    const double r = std::nearbyint(value);
    if (!(r == r)) return 0;
    if (r >= 2147483647.0) return INT32_MAX;
    if (r <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(r);
}

// Quotient of a parameter and a range limit; a zero divisor (only from a hand-edited range) gives
// 0.
inline double ratio(double numerator, double divisor) {
    return divisor == 0 ? 0.0 : numerator / divisor;
}

} // namespace nimbrel
