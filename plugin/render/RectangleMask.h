// Mask of the rectangle: 0 in the inner rectangle, 1 on and outside the outer one. The
// curve runs across each side's band; in the corners the two axes' curved values combine as
// a distance, so the band follows an arc there.
#pragma once

#include <cmath>

#include "AE_Effect.h"
#include "render/BandPosition.h"
#include "render/FalloffCurve.h"
#include "render/RenderContext.h"
#include "render/ShapeCoordinates.h"

namespace qxv {

inline PF_Err RectangleMask(const RenderContext* ctx, A_long x, A_long y, float* m) {
    const ShapePoint p = ShapeCoordinates(ctx, x, y);
    const float au = std::fabs(p.u);
    const float av = std::fabs(p.v);

    float value = 0.0f;
    if (au >= ctx->half_width || av >= ctx->half_height) {
        value = 1.0f;
    } else if (ctx->feather != 0.0f) {
        const bool beyond_inner_u = au >= ctx->inner_half_width;
        const bool beyond_inner_v = av >= ctx->inner_half_height;
        if (beyond_inner_u && beyond_inner_v) {
            const float pu = BandPosition((au - ctx->inner_half_width) * ctx->coef_u);
            const float qv = BandPosition((av - ctx->inner_half_height) * ctx->coef_v);
            const double cu = FalloffCurve(ctx, pu);
            const double cv = FalloffCurve(ctx, qv);
            const double g = std::sqrt(cu * cu + cv * cv);
            value = static_cast<float>(g > 1.0 ? 1.0 : g);
        } else if (beyond_inner_u) {
            value = static_cast<float>(FalloffCurve(ctx, BandPosition((au - ctx->inner_half_width) * ctx->coef_u)));
        } else if (beyond_inner_v) {
            value = static_cast<float>(FalloffCurve(ctx, BandPosition((av - ctx->inner_half_height) * ctx->coef_v)));
        }
    }
    *m = ctx->invert ? 1.0f - value : value;
    return PF_Err_NONE;
}

}  // namespace qxv
