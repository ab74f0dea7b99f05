// "PF Param Utils Suite" 3: PF_UpdateParamUI is recorded and applied to the parameter
// store's UI state; the keyframe entries answer PF_Err_BAD_CALLBACK_PARAM.
#pragma once

#include "AE_EffectSuites.h"

namespace qxv::hostsim {

class Host;

extern const PF_ParamUtilsSuite3 kParamUtilsSuite3;
void RegisterParamUtilsSuite(Host& host);

}  // namespace qxv::hostsim
