// The four Drawbot suites the overlay draws with, taken as one set from the command's
// SuiteCache, which also gives them back.
#pragma once

#include "AE_Effect.h"
#include "DrawbotSuite.h"
#include "host/SuiteCache.h"

namespace qxv {

struct DrawbotSuites {
    const DRAWBOT_DrawbotSuite1* draw;
    const DRAWBOT_SupplierSuite1* supplier;
    const DRAWBOT_SurfaceSuite1* surface;
    const DRAWBOT_PathSuite1* path;
};

// Acquires draw, supplier, surface and path in that order and stops at the first that
// cannot be had (PF_Err_BAD_CALLBACK_PARAM, reported to the user); the ones obtained before
// it stay in the record, and the cache releases them with the rest of the command's suites.
// A null record gives PF_Err_UNRECOGNIZED_PARAM_TYPE, also reported.
PF_Err AEFX_AcquireDrawbotSuites(SuiteCache& cache, DrawbotSuites* suites);

}  // namespace qxv
