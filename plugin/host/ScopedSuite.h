// Acquiring one suite directly through the basic suite, for the places that report a
// missing suite to the user instead of ending the command: Premiere Pro's pixel-format
// suite and the Drawbot suites.
#pragma once

#include "AE_Effect.h"

namespace qxv {

// Sets *suite (null on failure). On failure sets PF_OutFlag_DISPLAY_ERROR_MESSAGE, writes
// "Not able to acquire AEFX Suite." and returns PF_Err_BAD_CALLBACK_PARAM.
PF_Err AEFX_AcquireSuite(PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                         const void** suite);

// Releases a suite that AEFX_AcquireSuite obtained. Without a basic suite it reports
// "Not able to release AEFX Suite." and returns PF_Err_BAD_CALLBACK_PARAM.
PF_Err AEFX_ReleaseSuite(PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version);

// Shows a message through the host's error display.
void ReportError(PF_InData* in_data, PF_OutData* out_data, const char* message);

}  // namespace qxv
