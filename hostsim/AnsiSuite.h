// "PF ANSI Suite" 1 and the `ansi` callbacks of PF_UtilCallbacks: the C library's maths,
// sprintf bounded to the 256-byte return_msg, and strcpy, each traced.
#pragma once

#include "AE_EffectCB.h"
#include "AE_EffectSuites.h"

namespace qxv::hostsim {

class Host;

extern const PF_ANSICallbacksSuite1 kAnsiSuite1;
PF_ANSICallbacks MakeAnsiCallbacks();
void RegisterAnsiSuite(Host& host);

}  // namespace qxv::hostsim
