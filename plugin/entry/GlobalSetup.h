#pragma once

#include "AE_Effect.h"

namespace qxv {

// PF_Cmd_GLOBAL_SETUP: reports version and capabilities; in Premiere Pro also registers the
// two BGRA pixel formats the render path handles.
PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data);

}  // namespace qxv
