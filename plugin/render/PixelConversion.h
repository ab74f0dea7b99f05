// Channel conversions between the host's integer formats and the working float pixel.
// Both directions are exact for channels the shading returns unchanged: n / 255 * 255 and
// n / 32768 * 32768 give back n for every n.
#pragma once

#include <array>
#include <cstdint>
#include <xmmintrin.h>

#include "AE_Effect.h"

namespace qxv {

namespace detail {
constexpr std::array<float, 256> MakeByteToFloat() {
    std::array<float, 256> table{};
    for (int n = 0; n < 256; ++n) table[n] = static_cast<float>(n) / 255.0f;
    return table;
}
}  // namespace detail

// byte / 255 in single precision, computed once: the same bits as dividing per pixel.
inline constexpr std::array<float, 256> kByteToFloat = detail::MakeByteToFloat();

inline float ByteToFloat(A_u_char n) { return kByteToFloat[n]; }

// scaled > 0 ? scaled : 0, then that < full ? that : full, truncated toward zero. The
// processor's max and min are exactly these selections (not-a-number, compared false, gives
// the second operand: 0), where branches would mispredict on a band's varying values.
inline int LimitAndTruncate(float scaled, float full) {
    const __m128 above_zero = _mm_max_ss(_mm_set_ss(scaled), _mm_setzero_ps());
    return _mm_cvttss_si32(_mm_min_ss(above_zero, _mm_set_ss(full)));
}

// v * 255, limited (not-a-number counts as below 0), truncated toward zero: 127.5 gives 127.
inline A_u_char FloatToByte(float v) {
    return static_cast<A_u_char>(LimitAndTruncate(v * 255.0f, 255.0f));
}

// The host's 16-bit full scale is 32768, not 65535.
inline float Short16ToFloat(A_u_short n) { return static_cast<float>(n) * 3.0517578125e-05f; }

inline A_u_short FloatToShort16(float v) {
    return static_cast<A_u_short>(LimitAndTruncate(v * 32768.0f, 32768.0f));
}

}  // namespace qxv
