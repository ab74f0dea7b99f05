#include "entry/Commands.h"

#include "host/HostApp.h"
#include "host/SuiteCache.h"
#include "params/ParamTable.h"

namespace qxv {
namespace {

// Greys a control out and gives it its disabled name while "Mask Only" is on, and back.
void Relabel(PF_InData* in_data, PF_ParamDef* def, bool disabled, const ParamRecord& record) {
    if (disabled) {
        def->ui_flags |= PF_PUI_DISABLED;
    } else {
        def->ui_flags &= ~PF_PUI_DISABLED;
    }
    in_data->utils->ansi.strcpy(def->name, disabled ? record.disabled_name : record.name);
}

}  // namespace

PF_Err UpdateParamsUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[]) {
    SuiteCache suites(in_data, out_data);

    // The host's own records must not be written: it takes changes only through copies.
    // Each record is exactly sizeof(PF_ParamDef), 176 bytes, in the host's memory (pinned in
    // host/RecordLayoutChecks.cpp): a larger declaration would copy from beyond it.
    PF_ParamDef blending_mode = *params[kParamBlendingMode];
    PF_ParamDef opacity = *params[kParamOpacity];

    const bool mask_only = params[kParamMaskOnly]->u.bd.value == 1;
    Relabel(in_data, &blending_mode, mask_only, RecordOf(kParamBlendingMode));
    Relabel(in_data, &opacity, mask_only, RecordOf(kParamOpacity));

    const PF_ParamUtilsSuite3* param_utils = suites.ParamUtilsSuite();
    PF_Err err = param_utils->PF_UpdateParamUI(in_data->effect_ref, kParamBlendingMode, &blending_mode);
    if (!err) err = param_utils->PF_UpdateParamUI(in_data->effect_ref, kParamOpacity, &opacity);

    // Premiere Pro redraws the controls only when asked to.
    out_data->out_flags |= IsPremierePro(in_data) ? (PF_OutFlag_FORCE_RERENDER | PF_OutFlag_REFRESH_UI)
                                                  : PF_OutFlag_FORCE_RERENDER;
    return err;
}

}  // namespace qxv
