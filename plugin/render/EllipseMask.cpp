#include "render/EllipseMask.h"

#include <cmath>

#include "render/fastpath/BandCurve.h"
#include "render/BandPosition.h"

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

}  // namespace qxv
