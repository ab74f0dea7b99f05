#include "ParamJson.h"

#include "ParamParse.h"

namespace qxv::hostsim {

namespace {

Json Pair(std::int64_t a, std::int64_t b) { return Json::Array().Append(Json(a)).Append(Json(b)); }

Json Color(const PF_Pixel& c) {
    return Json::Array().Append(Json(int{c.alpha})).Append(Json(int{c.red})).Append(Json(int{c.green})).Append(Json(int{c.blue}));
}

Json RawValue(const RegisteredParam& param, bool use_default) {
    const PF_ParamDefUnion& u = param.def.u;
    switch (param.def.param_type) {
        case PF_Param_FLOAT_SLIDER: return Json(use_default ? static_cast<double>(u.fs_d.dephault) : u.fs_d.value);
        case PF_Param_FIX_SLIDER: return Json(use_default ? u.fd.dephault : u.fd.value);
        case PF_Param_ANGLE: return Json(use_default ? u.ad.dephault : u.ad.value);
        case PF_Param_POINT:
            return use_default ? Pair(u.td.x_dephault, u.td.y_dephault) : Pair(u.td.x_value, u.td.y_value);
        case PF_Param_COLOR: return Color(use_default ? u.cd.dephault : u.cd.value);
        case PF_Param_POPUP: return Json(use_default ? int{u.pd.dephault} : u.pd.value);
        case PF_Param_CHECKBOX: return Json(use_default ? int{u.bd.dephault} : u.bd.value);
        default: return Json();
    }
}

}  // namespace

Json ParamValueJson(const RegisteredParam& param) { return RawValue(param, false); }
Json ParamDefaultJson(const RegisteredParam& param) { return RawValue(param, true); }

Json ParamValuesJson(const ParamStore& store) {
    Json values = Json::Object();
    for (int i = 1; i <= store.count(); ++i) values.Set(store.Param(i).registered_name, ParamValueJson(store.Param(i)));
    return values;
}

Json ParamDefinitionJson(int index, const RegisteredParam& param) {
    const PF_ParamDef& def = param.def;
    Json json = Json::Object();
    json.Set("index", index);
    json.Set("name", param.registered_name);
    json.Set("shown_name", param.shown_name);
    json.Set("type", def.param_type);
    json.Set("type_name", ParamTypeName(def.param_type));
    json.Set("id", def.uu.id);
    json.Set("flags", def.flags);
    json.Set("ui_flags", def.ui_flags);
    json.Set("default", ParamDefaultJson(param));
    json.Set("value", ParamValueJson(param));
    switch (def.param_type) {
        case PF_Param_FLOAT_SLIDER:
            json.Set("valid_min", static_cast<double>(def.u.fs_d.valid_min));
            json.Set("valid_max", static_cast<double>(def.u.fs_d.valid_max));
            json.Set("slider_min", static_cast<double>(def.u.fs_d.slider_min));
            json.Set("slider_max", static_cast<double>(def.u.fs_d.slider_max));
            json.Set("precision", int{def.u.fs_d.precision});
            json.Set("display_flags", int{def.u.fs_d.display_flags});
            json.Set("curve_tolerance", static_cast<double>(def.u.fs_d.curve_tolerance));
            break;
        case PF_Param_FIX_SLIDER:
            json.Set("valid_min", def.u.fd.valid_min);
            json.Set("valid_max", def.u.fd.valid_max);
            json.Set("slider_min", def.u.fd.slider_min);
            json.Set("slider_max", def.u.fd.slider_max);
            json.Set("precision", int{def.u.fd.precision});
            json.Set("display_flags", int{def.u.fd.display_flags});
            break;
        case PF_Param_ANGLE:
            json.Set("valid_min", def.u.ad.valid_min);
            json.Set("valid_max", def.u.ad.valid_max);
            break;
        case PF_Param_POINT:
            json.Set("restrict_bounds", int{def.u.td.restrict_bounds});
            break;
        case PF_Param_POPUP: {
            json.Set("num_choices", int{def.u.pd.num_choices});
            Json choices = Json::Array();
            for (const auto& choice : param.choices) choices.Append(choice);
            json.Set("choices", std::move(choices));
            json.Set("choice_text", param.choice_text);
            break;
        }
        case PF_Param_CHECKBOX:
            json.Set("checkbox_text", param.checkbox_text);
            break;
        default:
            break;
    }
    return json;
}

Json ParamDefinitionsJson(const ParamStore& store) {
    Json list = Json::Array();
    for (int i = 1; i <= store.count(); ++i) list.Append(ParamDefinitionJson(i, store.Param(i)));
    return list;
}

}  // namespace qxv::hostsim
