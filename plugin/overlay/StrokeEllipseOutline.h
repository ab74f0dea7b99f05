// Strokes the 64-point ellipse outline of an Ellipse vignette.
#pragma once

#include "AE_EffectUI.h"
#include "overlay/OverlayStroke.h"

namespace qxv {

// origin: 16.16 layer point; angle in radians; half sizes in layer pixels. Returns the
// first failing host status (0 when all succeeded); a failed pen or path creation throws
// DRAWBOT_Exception.
PF_Err StrokeEllipseOutline(const OverlayCanvas& canvas, PF_FixedPoint origin, double angle, double half_width,
                            double half_height, const PF_EventExtra* extra);

}  // namespace qxv
