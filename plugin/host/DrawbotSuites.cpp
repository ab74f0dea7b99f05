#include "host/DrawbotSuites.h"

namespace qxv {

PF_Err AEFX_AcquireDrawbotSuites(SuiteCache& cache, DrawbotSuites* suites) {
    if (!suites) {
        cache.ReportError("NULL suite pointer passed to AEFX_AcquireDrawbotSuites");
        return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    }
    PF_Err err = cache.AcquireReported(SuiteCache::kDrawbotDraw, &suites->draw);
    if (!err) err = cache.AcquireReported(SuiteCache::kDrawbotSupplier, &suites->supplier);
    if (!err) err = cache.AcquireReported(SuiteCache::kDrawbotSurface, &suites->surface);
    if (!err) err = cache.AcquireReported(SuiteCache::kDrawbotPath, &suites->path);
    return err;
}

}  // namespace qxv
