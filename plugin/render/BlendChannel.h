// One colour channel of a blend: s the source, c the fill, k the amount. Each formula is the
// mix k*B + (1-k)*s of the mode's blend result B, written in the order it is evaluated;
// results are not limited here. The branches above the middle grey of Overlay, Soft light,
// Hard light, Linear light, Vivid light and Pin light, and both of Soft light, run in double
// precision, as the effect always has; changing that would change output bits.
#pragma once

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
