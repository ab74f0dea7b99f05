// The shape's mask, pixel by pixel: 0 inside the inner outline, 1 on and outside the outer
// one, the falloff curve of the position across the feather band in between, and 1 minus
// that where inverted. The fast path's runs (fastpath/FastMasks.h) give the same bits.
#pragma once

#include <cmath>

#include "AE_Effect.h"
#include "render/RenderSetup.h"

namespace qxv {

// Position across the feather band, 0 at the inner outline and 1 at the outer one. For any
// shape with a real band it lies in 0..1 already. Where the band has no width or the shape
// none at all (Width or Height 0, a feather that reaches the half-width, parameters that are
// not numbers) it can come out as 0/0, x/0 or far outside; limiting it keeps every curve's
// result finite and in 0..1, while a position inside 0..1 passes through bit for bit.
inline float BandPosition(float t) {
    if (t >= 0.0f && t <= 1.0f) return t;
    return t > 1.0f ? 1.0f : 0.0f;  // not-a-number counts as the inner outline
}

// Where a pixel lies relative to the shape: its offset from the origin in full-resolution
// square pixels, u along the width axis and v along the height axis.
struct ShapePoint {
    float u;
    float v;
};

// The pixel's integer column and row are used as they are, without a half-pixel offset.
inline ShapePoint ShapeCoordinates(const RenderContext* ctx, A_long x, A_long y) {
    const float (&m)[3][3] = ctx->pixel_to_shape;
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    return {m[0][0] * fx + m[0][1] * fy + m[0][2], m[1][0] * fx + m[1][1] * fy + m[1][2]};
}

// The curved value of a pixel between the two ellipses (before any invert); u2 and v2 are
// the squares of its shape coordinates. Kept out of line: most pixels of a frame never get
// here, and the test that sends them here is what EllipseMask inlines into its callers.
float EllipseBandValue(const RenderContext* ctx, ShapePoint p, float u2, float v2);

// Mask of the ellipse: 0 inside the inner ellipse, 1 on and outside the outer one, the
// falloff curve of the radial position in between.
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

// The curved value of a pixel inside the outer rectangle but not in the inner one (before
// any invert); au and av are the absolute shape coordinates. Kept out of line like the
// ellipse's.
float RectangleBandValue(const RenderContext* ctx, float au, float av);

// Mask of the rectangle: 0 in the inner rectangle, 1 on and outside the outer one. The
// curve runs across each side's band; in the corners the two axes' curved values combine as
// a distance, so the band follows an arc there.
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
