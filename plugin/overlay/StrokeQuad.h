// Strokes a closed four-sided path through whole-pixel window points.
#pragma once

#include "AE_Effect.h"
#include "DrawbotSuite.h"
#include "host/DrawbotSuites.h"
#include "overlay/OverlayRecords.h"

namespace qxv {

// Goes round top-left, top-right, bottom-right, bottom-left and closes. Returns the first
// failing host status (0 when all succeeded); a failed path creation or release throws
// DRAWBOT_Exception.
PF_Err StrokeQuad(const PF_InData* in_data, const PixelCorners& quad, DRAWBOT_DrawRef drawing_ref,
                  const DrawbotSuites& suites);

}  // namespace qxv
