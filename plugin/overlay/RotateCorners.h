// Turns a corner set about a centre in window coordinates. Rectangles are rotated after
// they are mapped to the window, about the mapped origin; window y points down, so a
// positive angle turns them clockwise on screen.
#pragma once

#include "AE_Effect.h"
#include "host/SuiteCache.h"
#include "overlay/OverlayRecords.h"

namespace qxv {

// In After Effects in double precision with the sine and cosine of the host's "PF ANSI
// Suite" (through the event's cache); in Premiere Pro in single precision with the
// standard library's. Results are truncated toward zero to 16.16.
void RotateCorners(const PF_InData* in_data, SuiteCache& cache, CornerSet* corners, PF_FixedPoint centre, float angle);

}  // namespace qxv
