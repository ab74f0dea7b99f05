#pragma once

#include "AE_Effect.h"

namespace qxv {

// PF_Cmd_ABOUT: the effect's name, version and a line of description.
PF_Err About(PF_InData* in_data, PF_OutData* out_data);

}  // namespace qxv
