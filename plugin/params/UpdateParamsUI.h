#pragma once

#include "AE_Effect.h"

namespace qxv {

// PF_Cmd_UPDATE_PARAMS_UI: while "Mask Only" is on, "Blending mode" and "Opacity" are greyed
// out and relabelled, since neither applies to the bare mask.
PF_Err UpdateParamsUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[]);

}  // namespace qxv
