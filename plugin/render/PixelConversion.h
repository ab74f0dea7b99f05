// Channel conversions between the host's integer formats and the working float pixel.
// Both directions are exact for channels the shading returns unchanged: n / 255 * 255 and
// n / 32768 * 32768 give back n for every n.
#pragma once

#include <array>
#include <cstdint>

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

// v * 255, limited (not-a-number counts as below 0), truncated toward zero: 127.5 gives 127.
inline A_u_char FloatToByte(float v) {
    const float scaled = v * 255.0f;
    if (!(scaled > 0.0f)) return 0;
    if (!(scaled < 255.0f)) return 255;
    return static_cast<A_u_char>(scaled);
}

// The host's 16-bit full scale is 32768, not 65535.
inline float Short16ToFloat(A_u_short n) { return static_cast<float>(n) * 3.0517578125e-05f; }

inline A_u_short FloatToShort16(float v) {
    const float scaled = v * 32768.0f;
    if (!(scaled > 0.0f)) return 0;
    if (!(scaled < 32768.0f)) return 32768;
    return static_cast<A_u_short>(scaled);
}

}  // namespace qxv
