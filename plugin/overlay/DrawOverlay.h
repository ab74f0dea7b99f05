// Draws the overlay for a draw event in the composition or layer window: the ellipse
// outline (Ellipse only), the outline rectangle with its four corner squares, the four
// feather circles, the angle line and circle, and the opacity track with its knob.
#pragma once

#include "AE_EffectUI.h"
#include "host/SuiteCache.h"

namespace qxv {

// A failing drawing call ends the drawing quietly: the host is told nothing. Suites come
// from the event's cache: one it cannot supply throws PF_Err (the Drawbot suites are
// reported to the user instead, and nothing is drawn). A pen or path that cannot be made
// or given back throws DRAWBOT_Exception, once every pen and path made is given back.
void DrawOverlay(PF_InData* in_data, SuiteCache& cache, PF_ParamDef* params[], PF_EventExtra* extra);

}  // namespace qxv
