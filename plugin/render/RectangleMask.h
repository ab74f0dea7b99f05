// Mask of the rectangle: 0 in the inner rectangle, 1 on and outside the outer one. The
// curve runs across each side's band; in the corners the two axes' curved values combine as
// a distance, so the band follows an arc there.
#pragma once

#include <cmath>

#include "AE_Effect.h"
#include "render/RenderContext.h"
#include "render/ShapeCoordinates.h"

namespace qxv {

// The curved value of a pixel inside the outer rectangle but not in the inner one (before
// any invert); au and av are the absolute shape coordinates. Kept out of line like the
// ellipse's.
float RectangleBandValue(const RenderContext* ctx, float au, float av);

inline PF_Err RectangleMask(const RenderContext* ctx, A_long x, A_long y, float* m) {
    const ShapePoint p = ShapeCoordinates(ctx, x, y);
    const float au = std::fabs(p.u);
    const float av = std::fabs(p.v);

    float value = 0.0f;
    if (au >= ctx->half_width || av >= ctx->half_height) {
        value = 1.0f;
    } else if (ctx->feather != 0.0f && (au >= ctx->inner_half_width || av >= ctx->inner_half_height)) {
        value = RectangleBandValue(ctx, au, av);
    }
    *m = ctx->invert ? 1.0f - value : value;
    return PF_Err_NONE;
}

}  // namespace qxv
