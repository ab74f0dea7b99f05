#pragma once

#include "AE_Effect.h"

namespace qxv {

// PF_Cmd_PARAMS_SETUP: defines the thirteen parameters and registers the overlay for the
// composition and layer windows.
PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data);

}  // namespace qxv
