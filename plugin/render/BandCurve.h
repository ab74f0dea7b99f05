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

// The float both ends of the bounds round to, if they agree.
inline bool AgreedFloat(const CurveBounds& bounds, float* value) {
    const float low = static_cast<float>(bounds.low);
    if (!SameFloat(low, static_cast<float>(bounds.high))) return false;
    *value = low;
    return true;
}

// float(FalloffCurve(ctx, t)).
inline float BandCurve(const RenderContext* ctx, float t) {
    CurveBounds bounds;
    float value;
    if (IsPowCurve(ctx->falloff) && PowCurveBounds(ctx->falloff, t, &bounds) && AgreedFloat(bounds, &value)) {
        return value;
    }
    return static_cast<float>(FalloffCurve(ctx, t));
}

// values[i] = BandCurve(ctx, t[i]) for the i whose bit is set in `lanes`; the pow curves'
// bounds two at a time.
inline void BandCurveLanes(const RenderContext* ctx, int lanes, const float (&t)[4], float (&values)[4]) {
    if (!IsPowCurve(ctx->falloff)) {
        for (int i = 0; i < 4; ++i) {
            if (lanes & (1 << i)) values[i] = static_cast<float>(FalloffCurve(ctx, t[i]));
        }
        return;
    }
    for (int pair = 0; pair < 4; pair += 2) {
        if (!(lanes & (3 << pair))) continue;
        CurveBounds bounds[2];
        const int served = PowCurveBoundsPair(ctx->falloff, t[pair], t[pair + 1], bounds) << pair;
        for (int i = pair; i < pair + 2; ++i) {
            if (!(lanes & (1 << i))) continue;
            if (!(served & (1 << i)) || !AgreedFloat(bounds[i - pair], &values[i])) {
                values[i] = static_cast<float>(FalloffCurve(ctx, t[i]));
            }
        }
    }
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
    CurveBounds b[2];
    if (IsPowCurve(ctx->falloff) && PowCurveBoundsPair(ctx->falloff, p, q, b) == 3 && b[0].low >= 0.0 &&
        b[1].low >= 0.0) {
        const float low = static_cast<float>(CornerDistance(b[0].low, b[1].low));
        if (SameFloat(low, static_cast<float>(CornerDistance(b[0].high, b[1].high)))) return low;
    }
    return static_cast<float>(CornerDistance(FalloffCurve(ctx, p), FalloffCurve(ctx, q)));
}

}  // namespace qxv
