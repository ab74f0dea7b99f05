#include "overlay/ShapeRects.h"

#include <cmath>
#include <cstdint>

#include "overlay/FixedMath.h"

namespace qxv {

ShapeRects ComputeShapeRects(const PF_InData* in_data, const OverlayParams& params) {
    const PF_Fixed half_width = RoundToFixed(params.width * 0.5);
    const PF_Fixed half_height = RoundToFixed(params.height * 0.5);
    const float inverse_aspect = InversePixelAspect(in_data);

    // The horizontal edges are worked out in single precision, the vertical ones in integers.
    const float origin_x = static_cast<float>(params.origin.x);
    const float half_width_across = static_cast<float>(half_width) * inverse_aspect;
    const float left = origin_x - half_width_across;
    const float right = half_width_across + origin_x;

    ShapeRects rects;
    FixedRect& outline = rects.outline;
    outline.left = TruncateToLong(left);
    outline.right = TruncateToLong(right);
    outline.top = SaturateToLong(static_cast<std::int64_t>(params.origin.y) - half_height);
    outline.bottom = SaturateToLong(static_cast<std::int64_t>(params.origin.y) + half_height);

    const double ratio = params.height == 0 ? 0.0 : params.width / params.height;
    const PF_Fixed inset_x = RoundToFixed(params.feather * static_cast<double>(inverse_aspect));
    // A zero-width or zero-height outline has no ratio (F / 0), so the vertical inset would be
    // infinite or undefined. The feather rectangle then keeps the outline's top and bottom:
    // with no height there is nothing to inset, and with no width every feather already
    // reaches past the centre horizontally.
    PF_Fixed inset_y = 0;
    if (ratio != 0) {
        const double inset_y_pixels = params.feather / ratio;
        if (std::isfinite(inset_y_pixels)) inset_y = RoundToFixed(inset_y_pixels);
    }

    FixedRect& feather = rects.feather;
    feather.left = SaturateToLong(static_cast<std::int64_t>(outline.left) + inset_x);
    feather.top = SaturateToLong(static_cast<std::int64_t>(outline.top) + inset_y);
    feather.right = SaturateToLong(static_cast<std::int64_t>(outline.right) - inset_x);
    feather.bottom = SaturateToLong(static_cast<std::int64_t>(outline.bottom) - inset_y);
    return rects;
}

}  // namespace qxv
