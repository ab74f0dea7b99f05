#include "entry/Commands.h"

#include <cstring>

#include "AE_EffectUI.h"
#include "params/ParamTable.h"

namespace qxv {
namespace {

constexpr PF_Fixed ToFixed(double value) { return static_cast<PF_Fixed>(value * 65536 + (value < 0 ? -0.5 : 0.5)); }

void FillDefinition(const ParamRecord& param, PF_InData* in_data, PF_ParamDef* def) {
    std::memset(def, 0, sizeof *def);
    in_data->utils->ansi.strcpy(def->name, param.name);
    def->param_type = param.type;
    def->flags = param.flags;
    def->uu.id = param.id;
    switch (param.type) {
        case PF_Param_POPUP:
            def->u.pd.value = static_cast<PF_ParamValue>(param.dephault);
            def->u.pd.dephault = static_cast<A_short>(param.dephault);
            def->u.pd.num_choices = param.num_choices;
            def->u.pd.u.namesptr = param.text;
            break;
        case PF_Param_POINT:
            def->u.td.x_value = def->u.td.x_dephault = ToFixed(param.dephault);
            def->u.td.y_value = def->u.td.y_dephault = ToFixed(param.dephault);
            def->u.td.restrict_bounds = false;
            break;
        case PF_Param_FLOAT_SLIDER:
            def->u.fs_d.value = param.dephault;
            def->u.fs_d.dephault = static_cast<PF_FpShort>(param.dephault);
            def->u.fs_d.valid_min = def->u.fs_d.slider_min = 0;
            def->u.fs_d.valid_max = def->u.fs_d.slider_max = static_cast<PF_FpShort>(param.valid_max);
            def->u.fs_d.precision = 1;
            def->u.fs_d.curve_tolerance = 0.05f;
            break;
        case PF_Param_ANGLE:
            def->u.ad.value = def->u.ad.dephault = ToFixed(param.dephault);
            break;
        case PF_Param_COLOR:
            def->u.cd.value = def->u.cd.dephault = PF_Pixel{255, 0, 0, 0};  // opaque black
            break;
        case PF_Param_FIX_SLIDER:
            def->u.fd.value = def->u.fd.dephault = ToFixed(param.dephault);
            def->u.fd.valid_min = def->u.fd.slider_min = 0;
            def->u.fd.valid_max = def->u.fd.slider_max = ToFixed(param.valid_max);
            def->u.fd.precision = 1;
            def->u.fd.display_flags = PF_ValueDisplayFlag_PERCENT;
            break;
        case PF_Param_CHECKBOX:
            def->u.bd.value = def->u.bd.dephault = static_cast<PF_Boolean>(param.dephault);
            def->u.bd.u.nameptr = param.text;
            break;
    }
}

}  // namespace

PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data) {
    PF_ParamDef def;
    for (const ParamRecord& param : kParamTable) {
        FillDefinition(param, in_data, &def);
        // Index -1 appends after the last parameter added.
        if (const PF_Err err = in_data->inter.add_param(in_data->effect_ref, -1, &def)) return err;
    }

    PF_CustomUIInfo ui;
    std::memset(&ui, 0, sizeof ui);
    ui.events = PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER;
    const PF_Err err = in_data->inter.register_ui(in_data->effect_ref, &ui);

    out_data->num_params = kParamCount;
    return err;
}

}  // namespace qxv
