// Conversions between the host's 16.16 fixed point and floating point, done so that no
// value, however odd, reaches an undefined conversion: a NaN or an out-of-range double
// cast straight to an integer is undefined behaviour, so every narrowing goes through here.
#pragma once

#include <cstdint>
#include <limits>

#include "AE_Effect.h"

namespace qxv {

constexpr PF_Fixed kFixedOne = 65536;
constexpr double kFixedScale = 1.0 / 65536.0;  // 2^-16: a 16.16 value times this is the value it holds

// Truncates toward zero like a plain cast; NaN gives 0 and values beyond the 32-bit range
// give the nearest limit.
inline A_long TruncateToLong(double v) {
    if (v != v) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<A_long>::max();
    if (v <= -2147483648.0) return std::numeric_limits<A_long>::min();
    return static_cast<A_long>(v);
}

// Clamps a wide integer result of 16.16 arithmetic back into 32 bits instead of wrapping it
// to the far side of the window.
inline A_long SaturateToLong(std::int64_t v) {
    if (v > std::numeric_limits<A_long>::max()) return std::numeric_limits<A_long>::max();
    if (v < std::numeric_limits<A_long>::min()) return std::numeric_limits<A_long>::min();
    return static_cast<A_long>(v);
}

// A length in pixels to 16.16, halves away from zero; the sign is taken before scaling.
inline PF_Fixed RoundToFixed(double pixels) {
    const double scaled = pixels * 65536.0;
    return TruncateToLong(pixels >= 0 ? scaled + 0.5 : scaled - 0.5);
}

inline A_long FixedToWholePixel(PF_Fixed v) { return v >> 16; }  // arithmetic shift: floor

inline A_long FixedToNearestPixel(PF_Fixed v) {
    return static_cast<A_long>((static_cast<std::int64_t>(v) + 32768) >> 16);
}

}  // namespace qxv
