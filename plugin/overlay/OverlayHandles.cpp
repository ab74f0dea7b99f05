#include "overlay/OverlayHandles.h"

#include <cmath>
#include <cstdint>

#include "overlay/FixedMath.h"
#include "overlay/RotateCorners.h"
#include "overlay/ShapeRects.h"
#include "overlay/WindowMapping.h"

namespace qxv {
namespace {

PF_Point FloorToPixel(PF_FixedPoint p) { return {FixedToWholePixel(p.x), FixedToWholePixel(p.y)}; }

PF_Point RoundToPixel(PF_FixedPoint p) { return {FixedToNearestPixel(p.x), FixedToNearestPixel(p.y)}; }

// Truncated toward zero in 16.16, before the floor to whole pixels.
PF_FixedPoint Midpoint(PF_FixedPoint a, PF_FixedPoint b) {
    return {static_cast<PF_Fixed>((static_cast<std::int64_t>(a.x) + b.x) / 2),
            static_cast<PF_Fixed>((static_cast<std::int64_t>(a.y) + b.y) / 2)};
}

}  // namespace

OverlayCorners ComputeOverlayCorners(const PF_InData* in_data, SuiteCache& cache, const OverlayParams& params,
                                     const PF_EventExtra* extra) {
    OverlayCorners corners;
    corners.origin = params.origin;
    LayerToWindow(in_data, extra, &corners.origin);
    const ShapeRects rects = ComputeShapeRects(in_data, params);
    corners.outline = CornersToWindow(in_data, extra, rects.outline);
    corners.feather = CornersToWindow(in_data, extra, rects.feather);
    const float angle = AngleRadians(params.angle);
    RotateCorners(in_data, cache, &corners.outline, corners.origin, angle);
    RotateCorners(in_data, cache, &corners.feather, corners.origin, angle);
    return corners;
}

PF_FixedPoint ComputeAngleHandle(const PF_InData* in_data, const OverlayParams& params, const PF_EventExtra* extra) {
    const double reach = in_data->height / 5.0;
    // The standard library's single-precision sine and cosine in both hosts.
    const float angle = AngleRadians(params.angle);
    const double sin_a = std::sin(angle);
    const double cos_a = std::cos(angle);
    const PF_Fixed dx = RoundToFixed(sin_a * reach);
    const PF_Fixed dy = RoundToFixed(cos_a * reach);
    const float x = static_cast<float>(dx) / PixelAspect(in_data) + static_cast<float>(params.origin.x);
    PF_FixedPoint handle = {TruncateToLong(x), SaturateToLong(static_cast<std::int64_t>(params.origin.y) - dy)};
    LayerToWindow(in_data, extra, &handle);
    return handle;
}

PF_FixedPoint OpacityHandle(PF_FixedPoint origin_window, PF_Fixed opacity) {
    return {SaturateToLong(static_cast<std::int64_t>(origin_window.x) - 40 * kFixedOne),
            SaturateToLong(static_cast<std::int64_t>(origin_window.y) + 50 * kFixedOne - opacity)};
}

std::array<PF_Point, kHandleCount> ComputeHitTestHandles(const PF_InData* in_data, SuiteCache& cache,
                                                         const OverlayParams& params, const PF_EventExtra* extra) {
    const OverlayCorners corners = ComputeOverlayCorners(in_data, cache, params, extra);
    const PF_FixedPoint angle_handle = ComputeAngleHandle(in_data, params, extra);
    const CornerSet& outline = corners.outline;
    const CornerSet& feather = corners.feather;
    return {
        FloorToPixel(outline.top_left),
        FloorToPixel(outline.top_right),
        FloorToPixel(outline.bottom_left),
        FloorToPixel(outline.bottom_right),
        FloorToPixel(angle_handle),
        FloorToPixel(Midpoint(feather.top_left, feather.bottom_left)),
        FloorToPixel(Midpoint(feather.top_right, feather.bottom_right)),
        FloorToPixel(Midpoint(feather.top_left, feather.top_right)),
        FloorToPixel(Midpoint(feather.bottom_left, feather.bottom_right)),
        FloorToPixel(OpacityHandle(corners.origin, params.opacity)),
    };
}

PixelCorners RoundCornersForDrawing(const CornerSet& corners) {
    return {RoundToPixel(corners.top_left), RoundToPixel(corners.top_right), RoundToPixel(corners.bottom_left),
            RoundToPixel(corners.bottom_right)};
}

}  // namespace qxv
