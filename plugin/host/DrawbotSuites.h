// The four Drawbot suites the overlay draws with, taken and given back as one set.
#pragma once

#include "AE_Effect.h"
#include "DrawbotSuite.h"

namespace qxv {

struct DrawbotSuites {
    const DRAWBOT_DrawbotSuite1* draw;
    const DRAWBOT_SupplierSuite1* supplier;
    const DRAWBOT_SurfaceSuite1* surface;
    const DRAWBOT_PathSuite1* path;
};

// Acquires draw, supplier, surface and path in that order and stops at the first that
// cannot be had (PF_Err_BAD_CALLBACK_PARAM, reported to the user); the ones obtained
// before it stay in the record so that they can be released. A null record gives
// PF_Err_UNRECOGNIZED_PARAM_TYPE.
PF_Err AEFX_AcquireDrawbotSuites(PF_InData* in_data, PF_OutData* out_data, DrawbotSuites* suites);

// Releases exactly the suites the record holds, so that acquisitions and releases balance
// even after a partial acquisition, and clears them. Always returns PF_Err_NONE.
PF_Err AEFX_ReleaseDrawbotSuites(PF_InData* in_data, PF_OutData* out_data, DrawbotSuites* suites);

}  // namespace qxv
