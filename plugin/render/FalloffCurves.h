// The six "Alpha falloff" curves: t runs across the feather band, 0 at the inner outline and
// 1 at the outer one. All in double precision.
#pragma once

#include <cmath>
#include <cstdint>

#include "render/RenderSetup.h"

namespace qxv {

enum AlphaFalloff {
    kFalloffLinear = 1,
    kFalloffQuadratic,
    kFalloffCubic,
    kFalloffGamma22,
    kFalloffGaussian,
    kFalloffExponential
};

// The popup values the curve leaves as it is: "Linear" and any value outside the six.
inline bool IsLinearFalloff(std::int32_t falloff) { return falloff < kFalloffQuadratic || falloff > kFalloffExponential; }

inline double FalloffCurve(const RenderContext* ctx, double t) {
    switch (ctx->falloff) {
        case kFalloffQuadratic:
            return t * t;
        case kFalloffCubic:
            return t * t * t;
        case kFalloffGamma22:
            return std::pow(t, 0.454);  // the shipped constant, not 1/2.2
        case kFalloffGaussian:
            // Ends at 1 - 1/360 on the outer outline; the mask steps to 1 just beyond it.
            return 1.0 - std::pow(360.0, -std::pow(t, 2.5));
        case kFalloffExponential:
            return (1.0 - std::pow(2.5, -t)) * 2.5 / 1.5;
        default:
            return t;
    }
}

}  // namespace qxv
