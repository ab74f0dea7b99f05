#include "host/DrawbotSuites.h"

#include "host/ScopedSuite.h"

namespace qxv {
namespace {

template <typename Suite>
PF_Err AcquireInto(PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version, const Suite** slot) {
    const void* suite = nullptr;
    const PF_Err err = AEFX_AcquireSuite(in_data, out_data, name, version, &suite);
    if (!err) *slot = static_cast<const Suite*>(suite);
    return err;
}

template <typename Suite>
void ReleaseFrom(PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version, const Suite** slot) {
    if (!*slot) return;
    AEFX_ReleaseSuite(in_data, out_data, name, version);
    *slot = nullptr;
}

}  // namespace

PF_Err AEFX_AcquireDrawbotSuites(PF_InData* in_data, PF_OutData* out_data, DrawbotSuites* suites) {
    if (!suites) {
        ReportError(in_data, out_data, "NULL suite pointer passed to AEFX_AcquireDrawbotSuites");
        return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    }
    PF_Err err = AcquireInto(in_data, out_data, kDRAWBOT_DrawSuite, kDRAWBOT_DrawSuite_Version1, &suites->draw);
    if (!err) {
        err = AcquireInto(in_data, out_data, kDRAWBOT_SupplierSuite, kDRAWBOT_SupplierSuite_Version1,
                          &suites->supplier);
    }
    if (!err) {
        err = AcquireInto(in_data, out_data, kDRAWBOT_SurfaceSuite, kDRAWBOT_SurfaceSuite_Version1, &suites->surface);
    }
    if (!err) err = AcquireInto(in_data, out_data, kDRAWBOT_PathSuite, kDRAWBOT_PathSuite_Version1, &suites->path);
    return err;
}

PF_Err AEFX_ReleaseDrawbotSuites(PF_InData* in_data, PF_OutData* out_data, DrawbotSuites* suites) {
    if (!suites) return PF_Err_NONE;
    ReleaseFrom(in_data, out_data, kDRAWBOT_DrawSuite, kDRAWBOT_DrawSuite_Version1, &suites->draw);
    ReleaseFrom(in_data, out_data, kDRAWBOT_SupplierSuite, kDRAWBOT_SupplierSuite_Version1, &suites->supplier);
    ReleaseFrom(in_data, out_data, kDRAWBOT_SurfaceSuite, kDRAWBOT_SurfaceSuite_Version1, &suites->surface);
    ReleaseFrom(in_data, out_data, kDRAWBOT_PathSuite, kDRAWBOT_PathSuite_Version1, &suites->path);
    return PF_Err_NONE;
}

}  // namespace qxv
