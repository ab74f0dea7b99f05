// Finds the overlay handle under the mouse of a click.
#pragma once

#include "AE_EffectUI.h"
#include "host/SuiteCache.h"

namespace qxv {

// The first handle, by number, within a city-block distance below 16 window pixels of
// screen_point wins. On a hit the click data asks for drags and holds the handle number,
// and the result is true; on a miss nothing is written. Throws PF_Err when After Effects
// gives no "PF ANSI Suite"; nothing is written then.
bool HitTestHandles(PF_InData* in_data, SuiteCache& cache, PF_ParamDef* params[], PF_EventExtra* extra);

}  // namespace qxv
