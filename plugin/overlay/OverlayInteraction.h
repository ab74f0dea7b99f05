// Clicks and drags: which handle a click takes, and what a drag of each handle makes of
// the mouse position.
#pragma once

#include "AE_Effect.h"
#include "AE_EffectUI.h"
#include "host/SuiteCache.h"

namespace qxv {

// What a drag of each handle makes of the mouse position. Offsets are in layer pixels from
// the Point of origin; every result lies within its parameter's valid range, so the host
// is never handed a value it would have to reject.
struct ShapeSize {
    double width, height;
};

// Corner handles 1-4: the offset turned back into the unrotated shape's frame, its
// horizontal part scaled by the pixel aspect ratio; single-precision arithmetic. A corner
// dragged across the origin gives 0, not a negative size.
ShapeSize CornerDragSize(int handle, double dx, double dy, float aspect, float angle);

// Angle handle 5: the bearing of the mouse from the origin, clockwise from straight up
// (window y grows downward), as 16.16 degrees in [0, 360). The mouse on the origin gives 270.
PF_Fixed AngleDragValue(double dx, double dy);

// Feather handles 6-9. Returns false when the drag says nothing about the Feather: the top
// and bottom handles of a shape without height. Otherwise *feather is the new value,
// limited to the valid range.
bool FeatherDragValue(int handle, double dx, double dy, float aspect, float angle, double width, double height,
                      double* feather);

// Opacity handle 10: the window pixels from the track's 0 % end (50 below the mapped
// origin) up to the mouse, as 16.16 percent limited to 0-100.
PF_Fixed OpacityDragValue(PF_Fixed origin_window_y, PF_Fixed mouse_window_y);

// Finds the overlay handle under the mouse of a click.
// The first handle, by number, within a city-block distance below 16 window pixels of
// screen_point wins. On a hit the click data asks for drags and holds the handle number,
// and the result is true; on a miss nothing is written. Throws PF_Err when After Effects
// gives no "PF ANSI Suite"; nothing is written then.
bool HitTestHandles(PF_InData* in_data, SuiteCache& cache, PF_ParamDef* params[], PF_EventExtra* extra);

// One drag event of the handle held in the click data: the new values go straight into the
// host's parameter records, marked changed, and the host renders again.
// The handle number in continue_refcon[0] must be 1-10. On the final drag event (last_time) the values are still applied and the
// click data is then cleared, ending the drag.
void ApplyHandleDrag(PF_InData* in_data, PF_ParamDef* params[], PF_EventExtra* extra);

}  // namespace qxv
