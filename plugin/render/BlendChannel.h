// One colour channel of a blend: s the source, c the fill, k the amount. Each formula is the
// mix k*B + (1-k)*s of the mode's blend result B, written in the order it is evaluated;
// results are not limited here. The branches above the middle grey of Overlay, Soft light,
// Hard light, Linear light, Vivid light and Pin light, and both of Soft light, run in double
// precision, as the effect always has; changing that would change output bits.
#pragma once

#include <cstdint>
#include <type_traits>

#include "render/BlendModes.h"

namespace qxv {

// The formula of one mode, chosen at compile time; BlendChannel dispatches to it at run time,
// so both forms evaluate the same expressions.
template <std::int32_t kCode>
inline float BlendChannelFor(float s, float c, float k) {
    const double sd = s, cd = c, kd = k;
    if constexpr (kCode == kBlendNormal) {
        return (1.0f - k) * s + c * k;
    } else if constexpr (kCode == kBlendAdd || kCode == kBlendLinearDodge) {
        return (s + c) * k + (1.0f - k) * s;
    } else if constexpr (kCode == kBlendMultiply) {
        return ((s * k) * c) + (1.0f - k) * s;
    } else if constexpr (kCode == kBlendScreen) {
        return ((s + c) - s * c) * k + (1.0f - k) * s;
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
    } else if constexpr (kCode == kBlendLinearBurn) {
        return ((s + c) - 1.0f) * k + (1.0f - k) * s;
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
    } else if constexpr (kCode == kBlendSubtract) {
        return (s - c) * k + (1.0f - k) * s;
    } else if constexpr (kCode == kBlendDivide) {
        if (c == 0.0f) return (1.0f - k) * s;
        return (s / c) * k + (1.0f - k) * s;
    } else {
        (void)sd, (void)cd, (void)kd, (void)c, (void)k;
        return s;  // not a blend code
    }
}

// Calls f with the mode's code as a compile-time constant (std::integral_constant); hue-based
// modes and anything unknown arrive as kBlendNone, which the callers treat on their own.
template <class F>
inline decltype(auto) WithBlendCode(std::int32_t code, F&& f) {
    switch (code) {
#define QXV_BLEND_CASE(name) \
    case name:               \
        return f(std::integral_constant<std::int32_t, name>{});
        QXV_BLEND_CASE(kBlendNormal)
        QXV_BLEND_CASE(kBlendAdd)
        QXV_BLEND_CASE(kBlendMultiply)
        QXV_BLEND_CASE(kBlendScreen)
        QXV_BLEND_CASE(kBlendOverlay)
        QXV_BLEND_CASE(kBlendSoftLight)
        QXV_BLEND_CASE(kBlendHardLight)
        QXV_BLEND_CASE(kBlendDarken)
        QXV_BLEND_CASE(kBlendLighten)
        QXV_BLEND_CASE(kBlendColorBurn)
        QXV_BLEND_CASE(kBlendDifference)
        QXV_BLEND_CASE(kBlendColorDodge)
        QXV_BLEND_CASE(kBlendLinearDodge)
        QXV_BLEND_CASE(kBlendLinearBurn)
        QXV_BLEND_CASE(kBlendLinearLight)
        QXV_BLEND_CASE(kBlendVividLight)
        QXV_BLEND_CASE(kBlendPinLight)
        QXV_BLEND_CASE(kBlendLighterColor)
        QXV_BLEND_CASE(kBlendDarkerColor)
        QXV_BLEND_CASE(kBlendSubtract)
        QXV_BLEND_CASE(kBlendDivide)
#undef QXV_BLEND_CASE
        default:
            return f(std::integral_constant<std::int32_t, kBlendNone>{});
    }
}

inline float BlendChannel(float s, float c, float k, std::int32_t code) {
    return WithBlendCode(code, [&](auto mode) { return BlendChannelFor<decltype(mode)::value>(s, c, k); });
}

}  // namespace qxv
