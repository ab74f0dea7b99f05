// The falloff curve of a band position as the mask's float: FalloffCurve's result bit for
// bit, through PowCurveBounds first so that the pow curves rarely need the C library's pow.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "render/FalloffCurve.h"
#include "render/PowCurveBounds.h"
#include "render/RenderContext.h"

namespace qxv {

inline bool SameFloat(float a, float b) {
    std::uint32_t a_bits, b_bits;
    std::memcpy(&a_bits, &a, sizeof a_bits);
    std::memcpy(&b_bits, &b, sizeof b_bits);
    return a_bits == b_bits;
}

// The curves PowCurveBounds serves; the others are cheaper computed outright.
inline bool IsPowCurve(std::int32_t falloff) { return falloff >= kFalloffGamma22 && falloff <= kFalloffExponential; }

// float(FalloffCurve(ctx, t)).
inline float BandCurve(const RenderContext* ctx, float t) {
    CurveBounds bounds;
    if (IsPowCurve(ctx->falloff) && PowCurveBounds(ctx->falloff, t, &bounds)) {
        const float low = static_cast<float>(bounds.low);
        if (SameFloat(low, static_cast<float>(bounds.high))) return low;
    }
    return static_cast<float>(FalloffCurve(ctx, t));
}

// A rectangle's corner: the two axes' curved values combined as a distance, limited to 1.
inline double CornerDistance(double cu, double cv) {
    const double g = std::sqrt(cu * cu + cv * cv);
    return g > 1.0 ? 1.0 : g;
}

// float(CornerDistance(FalloffCurve(ctx, p), FalloffCurve(ctx, q))). Squares, sum, square
// root and limit are all monotonic where the curved values are not negative, so bounds on
// both curved values bound the corner's result.
inline float CornerCurve(const RenderContext* ctx, float p, float q) {
    CurveBounds bp, bq;
    if (IsPowCurve(ctx->falloff) && PowCurveBounds(ctx->falloff, p, &bp) && PowCurveBounds(ctx->falloff, q, &bq) && bp.low >= 0.0 &&
        bq.low >= 0.0) {
        const float low = static_cast<float>(CornerDistance(bp.low, bq.low));
        if (SameFloat(low, static_cast<float>(CornerDistance(bp.high, bq.high)))) return low;
    }
    return static_cast<float>(CornerDistance(FalloffCurve(ctx, p), FalloffCurve(ctx, q)));
}

}  // namespace qxv
