// One colour channel of a blend: s the source, c the fill, k the amount. Each formula is the
// mix k*B + (1-k)*s of the mode's blend result B, written in the order it is evaluated;
// results are not limited here. The branches above the middle grey of Overlay, Soft light,
// Hard light, Linear light, Vivid light and Pin light, and both of Soft light, run in double
// precision, as the effect always has; changing that would change output bits.
#pragma once

#include <cstdint>

#include "render/BlendModes.h"

namespace qxv {

inline float BlendChannel(float s, float c, float k, std::int32_t code) {
    const double sd = s, cd = c, kd = k;
    switch (code) {
        case kBlendNormal:
            return (1.0f - k) * s + c * k;
        case kBlendAdd:
        case kBlendLinearDodge:
            return (s + c) * k + (1.0f - k) * s;
        case kBlendMultiply:
            return ((s * k) * c) + (1.0f - k) * s;
        case kBlendScreen:
            return ((s + c) - s * c) * k + (1.0f - k) * s;
        case kBlendOverlay:
            if (c <= 0.5f) return ((s * k) * c) * 2.0f + (1.0f - k) * s;
            return static_cast<float>(((2.0 * (cd - 0.5) + sd) - 2.0 * sd * (cd - 0.5)) * kd + (1.0 - kd) * sd);
        case kBlendSoftLight:
            if (c <= 0.5f) return static_cast<float>((sd * kd) * (cd + 0.5) + (1.0 - kd) * sd);
            return static_cast<float>((1.0 - (1.0 - (cd - 0.5)) * (1.0 - sd)) * kd + (1.0 - kd) * sd);
        case kBlendHardLight:
            if (c <= 0.5f) return ((s * k) * 2.0f) * c + (1.0f - k) * s;
            return static_cast<float>((1.0 - (1.0 - 2.0 * (cd - 0.5)) * (1.0 - sd)) * kd + (1.0 - kd) * sd);
        case kBlendDarken:
        case kBlendDarkerColor:
            return s > c ? (1.0f - k) * s + c * k : s;
        case kBlendLighten:
        case kBlendLighterColor:
            return c > s ? (1.0f - k) * s + c * k : s;
        case kBlendDifference:
            if (s > c) return (s - c) * k + (1.0f - k) * s;
            return (c - s) * k + (1.0f - k) * s;
        case kBlendColorDodge:
            if (c == 1.0f) return (1.0f - k) * s + k;
            return (s / (1.0f - c)) * k + (1.0f - k) * s;
        case kBlendColorBurn:
            if (c == 0.0f) return (1.0f - k) * s;
            return (1.0f - (1.0f - s) / c) * k + (1.0f - k) * s;
        case kBlendLinearBurn:
            return ((s + c) - 1.0f) * k + (1.0f - k) * s;
        case kBlendLinearLight:
            if (c <= 0.5f) return ((c * 2.0f + s) - 1.0f) * k + (1.0f - k) * s;
            return static_cast<float>((2.0 * (cd - 0.5) + sd) * kd + (1.0 - kd) * sd);
        case kBlendVividLight:
            if (c <= 0.5f) return (s * k) / (1.0f - c * 2.0f) + (1.0f - k) * s;
            return static_cast<float>((1.0 - (1.0 - sd) / (2.0 * (cd - 0.5))) * kd + (1.0 - kd) * sd);
        case kBlendPinLight:
            if (c <= 0.5f) {
                const float t = 2.0f * c;
                return t > s ? s : t * k + (1.0f - k) * s;
            } else {
                const double t = 2.0 * (cd - 0.5);
                return sd > t ? s : static_cast<float>((1.0 - kd) * sd + kd * t);
            }
        case kBlendSubtract:
            return (s - c) * k + (1.0f - k) * s;
        case kBlendDivide:
            if (c == 0.0f) return (1.0f - k) * s;
            return (s / c) * k + (1.0f - k) * s;
        default:
            return s;
    }
}

}  // namespace qxv
