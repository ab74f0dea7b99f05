// Mask of the ellipse: 0 inside the inner ellipse, 1 on and outside the outer one, the
// falloff curve of the radial position in between.
#pragma once

#include <cmath>

#include "AE_Effect.h"
#include "render/BandPosition.h"
#include "render/FalloffCurve.h"
#include "render/RenderContext.h"
#include "render/ShapeCoordinates.h"

namespace qxv {

inline PF_Err EllipseMask(const RenderContext* ctx, A_long x, A_long y, float* m) {
    const ShapePoint p = ShapeCoordinates(ctx, x, y);
    const float u2 = p.u * p.u;
    const float v2 = p.v * p.v;

    float value = 0.0f;
    if (v2 * ctx->coef_v + u2 * ctx->coef_u >= 1.0f) {
        value = 1.0f;  // the outer boundary itself counts as outside
    } else if (ctx->feather != 0.0f && v2 * ctx->inv_inner_height_sq + u2 * ctx->inv_inner_width_sq > 1.0f) {
        // In the band: measure along the ray from the origin through the pixel.
        const float r = std::sqrt(v2 + u2);
        const float du = p.u / r;
        const float dv = p.v / r;
        const float r_in = ctx->inner_ab / std::sqrt(du * ctx->inner_height_sq * du + dv * ctx->inner_width_sq * dv);
        const float r_out = ctx->outer_ab / std::sqrt(dv * ctx->width_sq * dv + du * ctx->height_sq * du);
        const float t = BandPosition((r - r_in) / (r_out - r_in));
        value = static_cast<float>(FalloffCurve(ctx, t));
    }
    *m = ctx->invert ? 1.0f - value : value;
    return PF_Err_NONE;
}

}  // namespace qxv
