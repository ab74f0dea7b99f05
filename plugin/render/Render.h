// The render command: resolves the parameters once into a RenderContext, then copies the
// input (opacity 0) or shades every output pixel in the host's pixel format.
#pragma once

#include "AE_Effect.h"

namespace qxv {

// params[0] is the input layer. A suite the SuiteCache cannot get is thrown as
// PF_Err_BAD_CALLBACK_PARAM, after the suites taken so far have been released; the entry
// point turns it into the command's result. Every other failure is returned.
PF_Err Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output);

}  // namespace qxv
