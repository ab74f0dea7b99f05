#include "render/Mask.h"

#include <cmath>

#include "render/fastpath/PowCurveBounds.h"

namespace qxv {

float EllipseBandValue(const RenderContext* ctx, ShapePoint p, float u2, float v2) {
    // Measure along the ray from the origin through the pixel: where it crosses the inner
    // and the outer ellipse.
    const float r = std::sqrt(v2 + u2);
    const float du = p.u / r;
    const float dv = p.v / r;
    const float r_in = ctx->inner_ab / std::sqrt(du * ctx->inner_height_sq * du + dv * ctx->inner_width_sq * dv);
    const float r_out = ctx->outer_ab / std::sqrt(dv * ctx->width_sq * dv + du * ctx->height_sq * du);
    const float t = BandPosition((r - r_in) / (r_out - r_in));
    return BandCurve(ctx, t);
}

float RectangleBandValue(const RenderContext* ctx, float au, float av) {
    const bool beyond_inner_u = au >= ctx->inner_half_width;
    const bool beyond_inner_v = av >= ctx->inner_half_height;
    if (beyond_inner_u && beyond_inner_v) {
        // Corner: curve each axis first, then combine as a distance, limited to 1.
        const float pu = BandPosition((au - ctx->inner_half_width) * ctx->coef_u);
        const float qv = BandPosition((av - ctx->inner_half_height) * ctx->coef_v);
        return CornerCurve(ctx, pu, qv);
    }
    // A band at one end of the width axis, else at one end of the height axis.
    const float t = beyond_inner_u ? BandPosition((au - ctx->inner_half_width) * ctx->coef_u)
                                   : BandPosition((av - ctx->inner_half_height) * ctx->coef_v);
    return BandCurve(ctx, t);
}

}  // namespace qxv
