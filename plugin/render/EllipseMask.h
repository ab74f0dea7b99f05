// Mask of the ellipse: 0 inside the inner ellipse, 1 on and outside the outer one, the
// falloff curve of the radial position in between.
#pragma once

#include "AE_Effect.h"
#include "render/RenderContext.h"
#include "render/ShapeCoordinates.h"

namespace qxv {

// The curved value of a pixel between the two ellipses (before any invert); u2 and v2 are
// the squares of its shape coordinates. Kept out of line: most pixels of a frame never get
// here, and the test that sends them here is what EllipseMask inlines into its callers.
float EllipseBandValue(const RenderContext* ctx, ShapePoint p, float u2, float v2);

inline PF_Err EllipseMask(const RenderContext* ctx, A_long x, A_long y, float* m) {
    const ShapePoint p = ShapeCoordinates(ctx, x, y);
    const float u2 = p.u * p.u;
    const float v2 = p.v * p.v;

    float value = 0.0f;
    if (v2 * ctx->coef_v + u2 * ctx->coef_u >= 1.0f) {
        value = 1.0f;  // the outer boundary itself counts as outside
    } else if (ctx->feather != 0.0f && v2 * ctx->inv_inner_height_sq + u2 * ctx->inv_inner_width_sq > 1.0f) {
        value = EllipseBandValue(ctx, p, u2, v2);  // the inner boundary itself stays 0
    }
    *m = ctx->invert ? 1.0f - value : value;
    return PF_Err_NONE;
}

}  // namespace qxv
