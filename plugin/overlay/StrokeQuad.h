// Strokes a closed four-sided path through whole-pixel window points.
#pragma once

#include "overlay/OverlayRecords.h"
#include "overlay/OverlayStroke.h"

namespace qxv {

// Goes round top-left, top-right, bottom-right, bottom-left and closes. Returns the first
// failing host status (0 when all succeeded); a failed path creation throws
// DRAWBOT_Exception.
PF_Err StrokeQuad(const OverlayCanvas& canvas, const PixelCorners& quad);

}  // namespace qxv
