#include "host/ScopedSuite.h"

#include "SPBasic.h"

namespace qxv {

void ReportError(PF_InData* in_data, PF_OutData* out_data, const char* message) {
    out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
    // The message goes through the host's own sprintf, as "%s" so that no character of it is
    // taken for a format directive.
    if (in_data->utils && in_data->utils->ansi.sprintf) {
        in_data->utils->ansi.sprintf(out_data->return_msg, "%s", message);
    }
}

PF_Err AEFX_AcquireSuite(PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                         const void** suite) {
    *suite = nullptr;
    // Only the pointer counts: some hosts answer a missing suite with success and null.
    if (in_data->pica_basicP) in_data->pica_basicP->AcquireSuite(name, version, suite);
    if (!*suite) {
        ReportError(in_data, out_data, "Not able to acquire AEFX Suite.");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    return PF_Err_NONE;
}

PF_Err AEFX_ReleaseSuite(PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version) {
    if (!in_data->pica_basicP) {
        ReportError(in_data, out_data, "Not able to release AEFX Suite.");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    in_data->pica_basicP->ReleaseSuite(name, version);
    return PF_Err_NONE;
}

}  // namespace qxv
