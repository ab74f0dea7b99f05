// The vignette ellipse as 64 window points. The ellipse is rotated in layer space, in
// square pixels, before it is mapped: the offset is turned first and only then is its
// horizontal part divided by the pixel aspect ratio.
#pragma once

#include <array>

#include "AE_EffectUI.h"
#include "DrawbotSuite.h"
#include "host/SuiteCache.h"

namespace qxv {

constexpr int kEllipseOutlinePoints = 64;

using EllipseOutline = std::array<DRAWBOT_PointF32, kEllipseOutlinePoints>;

// Point 0 lies at the end of the rotated horizontal half-axis; the first point is not
// repeated at the end. Sine and cosine come from the host's "PF ANSI Suite" in After
// Effects (through the event's cache) and from the standard library in Premiere Pro.
EllipseOutline ComputeEllipseOutline(const PF_InData* in_data, SuiteCache& cache, PF_FixedPoint origin, double angle,
                                     double half_width, double half_height, const PF_EventExtra* extra);

}  // namespace qxv
