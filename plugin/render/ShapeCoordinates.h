// Where a pixel lies relative to the shape: its offset from the origin in full-resolution
// square pixels, u along the width axis and v along the height axis.
#pragma once

#include "AE_Effect.h"
#include "render/RenderContext.h"

namespace qxv {

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

}  // namespace qxv
