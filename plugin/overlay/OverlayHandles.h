// The ten overlay handles. Their 16.16 window positions are computed once, here, and
// reduced to whole pixels in the two ways their users need: drawing rounds to the nearest
// pixel, hit testing floors. A handle can therefore be drawn up to one pixel away from
// where it is hit.
#pragma once

#include <array>

#include "AE_EffectUI.h"
#include "host/SuiteCache.h"
#include "overlay/OverlayParams.h"
#include "overlay/OverlayRecords.h"

namespace qxv {

// Handle numbers: the order of the hit test, and what a drag holds in the click data.
enum OverlayHandle {
    kHandleTopLeft = 1,
    kHandleTopRight,
    kHandleBottomLeft,
    kHandleBottomRight,
    kHandleAngle,
    kHandleFeatherLeft,
    kHandleFeatherRight,
    kHandleFeatherTop,
    kHandleFeatherBottom,
    kHandleOpacity
};
constexpr int kHandleCount = 10;

// Where the corner and feather handles come from: the origin and both rectangles in
// window coordinates, the rectangles rotated about the mapped origin.
struct OverlayCorners {
    PF_FixedPoint origin;
    CornerSet outline;
    CornerSet feather;
};

OverlayCorners ComputeOverlayCorners(const PF_InData* in_data, SuiteCache& cache, const OverlayParams& params,
                                     const PF_EventExtra* extra);

// The angle handle: one fifth of the layer height from the origin, straight up at Angle 0
// and clockwise with a positive Angle, its horizontal offset divided by the pixel aspect
// ratio; in window coordinates.
PF_FixedPoint ComputeAngleHandle(const PF_InData* in_data, const OverlayParams& params, const PF_EventExtra* extra);

// The opacity handle on its track 40 window pixels left of the mapped origin: 1 % is one
// window pixel, 0 % lies 50 pixels below the origin. It neither rotates nor zooms.
PF_FixedPoint OpacityHandle(PF_FixedPoint origin_window, PF_Fixed opacity);

// All ten handles as the hit test sees them, indexed by handle number - 1: each
// coordinate floored to whole pixels, the feather midpoints formed in 16.16 first.
std::array<PF_Point, kHandleCount> ComputeHitTestHandles(const PF_InData* in_data, SuiteCache& cache,
                                                         const OverlayParams& params, const PF_EventExtra* extra);

// A corner set as drawn: each coordinate rounded to the nearest whole pixel.
PixelCorners RoundCornersForDrawing(const CornerSet& corners);

}  // namespace qxv
