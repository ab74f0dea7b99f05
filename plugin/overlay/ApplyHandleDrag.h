// One drag event of the handle held in the click data: the new values go straight into the
// host's parameter records, marked changed, and the host renders again.
#pragma once

#include "AE_EffectUI.h"

namespace qxv {

// The handle number in continue_refcon[0] must be 1-10. On the final drag event (last_time) the values are still applied and the
// click data is then cleared, ending the drag.
void ApplyHandleDrag(PF_InData* in_data, PF_ParamDef* params[], PF_EventExtra* extra);

}  // namespace qxv
