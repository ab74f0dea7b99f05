// Points between the layer and the window the event arrived in, through the host's event
// callbacks. The composition window adds the layer's place in the composition; both windows
// then apply the view's zoom and scroll. The callbacks' return codes are not examined: a
// point is used as the callback left it.
#pragma once

#include "AE_EffectUI.h"
#include "overlay/OverlayRecords.h"

namespace qxv {

void LayerToWindow(const PF_InData* in_data, const PF_EventExtra* extra, PF_FixedPoint* point);

// Whole window pixels in, 16.16 layer coordinates out (no reduction to whole pixels).
PF_FixedPoint WindowToLayer(const PF_InData* in_data, const PF_EventExtra* extra, PF_Point window_point);

// All four corners go through the first callback, then all four through the second, each
// time in the order TL, TR, BR, BL.
CornerSet CornersToWindow(const PF_InData* in_data, const PF_EventExtra* extra, const FixedRect& rect);

}  // namespace qxv
