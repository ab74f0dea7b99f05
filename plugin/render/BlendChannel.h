// One colour channel of a blend: s the source, c the fill, k the amount. Each formula is the
// mix k*B + (1-k)*s of the mode's blend result B, written in the order it is evaluated;
// results are not limited here. The branches above the middle grey of Overlay, Soft light,
// Hard light, Linear light, Vivid light and Pin light, and both of Soft light, run in double
// precision, as the effect always has; changing that would change output bits.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "render/BlendModes.h"

namespace qxv {

// The modes whose formula has no test: the same expression serves a single channel or the
// four lanes at once, each lane rounded exactly as the channel alone would be.
constexpr bool IsLaneWiseBlend(std::int32_t code) {
    return code == kBlendNormal || code == kBlendAdd || code == kBlendLinearDodge || code == kBlendMultiply ||
           code == kBlendScreen || code == kBlendLinearBurn || code == kBlendSubtract;
}

template <std::int32_t kCode, class Channel>
inline Channel LaneWiseBlend(Channel s, Channel c, float k) {
    static_assert(IsLaneWiseBlend(kCode), "a mode with a test");
    if constexpr (kCode == kBlendNormal) {
        return (1.0f - k) * s + c * k;
    } else if constexpr (kCode == kBlendAdd || kCode == kBlendLinearDodge) {
        return (s + c) * k + (1.0f - k) * s;
    } else if constexpr (kCode == kBlendMultiply) {
        return ((s * k) * c) + (1.0f - k) * s;
    } else if constexpr (kCode == kBlendScreen) {
        return ((s + c) - s * c) * k + (1.0f - k) * s;
    } else if constexpr (kCode == kBlendLinearBurn) {
        return ((s + c) - 1.0f) * k + (1.0f - k) * s;
    } else {
        return (s - c) * k + (1.0f - k) * s;  // Subtract
    }
}

// "Soft light" on the four lanes of a pixel (ChannelLanes), each lane in double precision as
// the channel alone: both branches are evaluated and each lane keeps the one its fill channel
// chooses, so no lane's arithmetic differs from the scalar formula's.
inline __m128 SoftLightLanes(__m128 s, __m128 c, float k) {
    const double kd = k;
    const __m128 below_middle = _mm_cmple_ps(c, _mm_set1_ps(0.5f));
    const auto half = [kd](__m128d sd, __m128d cd, __m128d below) {
        const __m128d low = (sd * kd) * (cd + 0.5) + (1.0 - kd) * sd;
        const __m128d high = (1.0 - (1.0 - (cd - 0.5)) * (1.0 - sd)) * kd + (1.0 - kd) * sd;
        return _mm_cvtpd_ps(_mm_or_pd(_mm_and_pd(below, low), _mm_andnot_pd(below, high)));
    };
    const __m128 first = half(_mm_cvtps_pd(s), _mm_cvtps_pd(c), _mm_castps_pd(_mm_unpacklo_ps(below_middle, below_middle)));
    const __m128 second = half(_mm_cvtps_pd(_mm_movehl_ps(s, s)), _mm_cvtps_pd(_mm_movehl_ps(c, c)),
                               _mm_castps_pd(_mm_unpackhi_ps(below_middle, below_middle)));
    return _mm_movelh_ps(first, second);
}

// The formula of one mode, chosen at compile time; BlendChannel dispatches to it at run time,
// so both forms evaluate the same expressions.
template <std::int32_t kCode>
inline float BlendChannelFor(float s, float c, float k) {
    const double sd = s, cd = c, kd = k;
    if constexpr (IsLaneWiseBlend(kCode)) {
        (void)sd, (void)cd, (void)kd;
        return LaneWiseBlend<kCode>(s, c, k);
    } else if constexpr (kCode == kBlendOverlay) {
        if (c <= 0.5f) return ((s * k) * c) * 2.0f + (1.0f - k) * s;
        return static_cast<float>(((2.0 * (cd - 0.5) + sd) - 2.0 * sd * (cd - 0.5)) * kd + (1.0 - kd) * sd);
    } else if constexpr (kCode == kBlendSoftLight) {
        if (c <= 0.5f) return static_cast<float>((sd * kd) * (cd + 0.5) + (1.0 - kd) * sd);
        return static_cast<float>((1.0 - (1.0 - (cd - 0.5)) * (1.0 - sd)) * kd + (1.0 - kd) * sd);
    } else if constexpr (kCode == kBlendHardLight) {
        if (c <= 0.5f) return ((s * k) * 2.0f) * c + (1.0f - k) * s;
        return static_cast<float>((1.0 - (1.0 - 2.0 * (cd - 0.5)) * (1.0 - sd)) * kd + (1.0 - kd) * sd);
    } else if constexpr (kCode == kBlendDarken || kCode == kBlendDarkerColor) {
        return s > c ? (1.0f - k) * s + c * k : s;
    } else if constexpr (kCode == kBlendLighten || kCode == kBlendLighterColor) {
        return c > s ? (1.0f - k) * s + c * k : s;
    } else if constexpr (kCode == kBlendDifference) {
        if (s > c) return (s - c) * k + (1.0f - k) * s;
        return (c - s) * k + (1.0f - k) * s;
    } else if constexpr (kCode == kBlendColorDodge) {
        if (c == 1.0f) return (1.0f - k) * s + k;
        return (s / (1.0f - c)) * k + (1.0f - k) * s;
    } else if constexpr (kCode == kBlendColorBurn) {
        if (c == 0.0f) return (1.0f - k) * s;
        return (1.0f - (1.0f - s) / c) * k + (1.0f - k) * s;
    } else if constexpr (kCode == kBlendLinearLight) {
        if (c <= 0.5f) return ((c * 2.0f + s) - 1.0f) * k + (1.0f - k) * s;
        return static_cast<float>((2.0 * (cd - 0.5) + sd) * kd + (1.0 - kd) * sd);
    } else if constexpr (kCode == kBlendVividLight) {
        if (c <= 0.5f) return (s * k) / (1.0f - c * 2.0f) + (1.0f - k) * s;
        return static_cast<float>((1.0 - (1.0 - sd) / (2.0 * (cd - 0.5))) * kd + (1.0 - kd) * sd);
    } else if constexpr (kCode == kBlendPinLight) {
        // The test only chooses the blend result: the mix is evaluated either way, and
        // s*k + (1-k)*s need not give s back in the last bit. Only Darken and Lighten return
        // s untouched when their test fails.
        if (c <= 0.5f) {
            const float t = 2.0f * c > s ? s : 2.0f * c;
            return t * k + (1.0f - k) * s;
        }
        const double t = sd > 2.0 * (cd - 0.5) ? sd : 2.0 * (cd - 0.5);
        return static_cast<float>((1.0 - kd) * sd + kd * t);
    } else if constexpr (kCode == kBlendDivide) {
        if (c == 0.0f) return (1.0f - k) * s;
        return (s / c) * k + (1.0f - k) * s;
    } else {
        (void)sd, (void)cd, (void)kd, (void)c, (void)k;
        return s;  // not a blend code
    }
}

inline float BlendChannel(float s, float c, float k, std::int32_t code) {
    return WithBlendCode(code, [&](auto mode) { return BlendChannelFor<decltype(mode)::value>(s, c, k); });
}

}  // namespace qxv
