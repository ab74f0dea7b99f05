// Draws the overlay for a draw event in the composition or layer window: the ellipse
// outline (Ellipse only), the outline rectangle with its four corner squares, the four
// feather circles, the angle line and circle, and the opacity track with its knob.
#pragma once

#include "AE_EffectUI.h"

namespace qxv {

// A failing drawing call ends the drawing quietly: the host is told nothing. A suite the
// host cannot supply throws PF_Err; a pen or path that cannot be made or given back throws
// DRAWBOT_Exception. Every pen, path and suite is given back on every way out.
void DrawOverlay(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_EventExtra* extra);

}  // namespace qxv
