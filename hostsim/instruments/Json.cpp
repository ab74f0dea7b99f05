#include "hostsim/instruments/Json.h"

#include <cmath>
#include <cstdint>

#include "hostsim/Params.h"

namespace qxv::hostsim {

Json JsonNumber(double value) {
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15) {
        return static_cast<std::int64_t>(value);
    }
    return value;
}

std::string DumpJson(const Json& json, int indent) {
    return json.dump(indent > 0 ? indent : -1, ' ', false, Json::error_handler_t::replace);
}

namespace {

Json Color(const PF_Pixel& c) { return Json::array({c.alpha, c.red, c.green, c.blue}); }

Json RawValue(const RegisteredParam& param, bool use_default) {
    const PF_ParamDefUnion& u = param.def.u;
    switch (param.def.param_type) {
        case PF_Param_FLOAT_SLIDER: return JsonNumber(use_default ? u.fs_d.dephault : u.fs_d.value);
        case PF_Param_FIX_SLIDER: return use_default ? u.fd.dephault : u.fd.value;
        case PF_Param_ANGLE: return use_default ? u.ad.dephault : u.ad.value;
        case PF_Param_POINT:
            return use_default ? Json::array({u.td.x_dephault, u.td.y_dephault}) : Json::array({u.td.x_value, u.td.y_value});
        case PF_Param_COLOR: return Color(use_default ? u.cd.dephault : u.cd.value);
        case PF_Param_POPUP: return use_default ? u.pd.dephault : u.pd.value;
        case PF_Param_CHECKBOX: return use_default ? u.bd.dephault : u.bd.value;
        default: return nullptr;
    }
}

}  // namespace

Json ParamValueJson(const RegisteredParam& param) { return RawValue(param, false); }
Json ParamDefaultJson(const RegisteredParam& param) { return RawValue(param, true); }

Json ParamValuesJson(const ParamStore& store) {
    Json values = Json::object();
    for (int i = 1; i <= store.count(); ++i) values[store.Param(i).registered_name] = ParamValueJson(store.Param(i));
    return values;
}

Json ParamDefinitionJson(int index, const RegisteredParam& param) {
    const PF_ParamDef& def = param.def;
    Json json = {{"index", index},
                 {"name", param.registered_name},
                 {"shown_name", param.shown_name},
                 {"type", def.param_type},
                 {"type_name", ParamTypeName(def.param_type)},
                 {"id", def.uu.id},
                 {"flags", def.flags},
                 {"ui_flags", def.ui_flags},
                 {"default", ParamDefaultJson(param)},
                 {"value", ParamValueJson(param)}};
    switch (def.param_type) {
        case PF_Param_FLOAT_SLIDER:
            json["valid_min"] = JsonNumber(def.u.fs_d.valid_min);
            json["valid_max"] = JsonNumber(def.u.fs_d.valid_max);
            json["slider_min"] = JsonNumber(def.u.fs_d.slider_min);
            json["slider_max"] = JsonNumber(def.u.fs_d.slider_max);
            json["precision"] = def.u.fs_d.precision;
            json["display_flags"] = def.u.fs_d.display_flags;
            json["unit"] = SliderUnit(param);
            json["curve_tolerance"] = JsonNumber(def.u.fs_d.curve_tolerance);
            break;
        case PF_Param_FIX_SLIDER:
            json["valid_min"] = def.u.fd.valid_min;
            json["valid_max"] = def.u.fd.valid_max;
            json["slider_min"] = def.u.fd.slider_min;
            json["slider_max"] = def.u.fd.slider_max;
            json["precision"] = def.u.fd.precision;
            json["display_flags"] = def.u.fd.display_flags;
            json["unit"] = SliderUnit(param);
            break;
        case PF_Param_ANGLE:
            json["valid_min"] = def.u.ad.valid_min;
            json["valid_max"] = def.u.ad.valid_max;
            break;
        case PF_Param_POINT:
            json["restrict_bounds"] = def.u.td.restrict_bounds;
            break;
        case PF_Param_POPUP:
            json["num_choices"] = def.u.pd.num_choices;
            json["choices"] = param.choices;
            json["choice_text"] = param.choice_text;
            break;
        case PF_Param_CHECKBOX:
            json["checkbox_text"] = param.checkbox_text;
            break;
        default:
            break;
    }
    return json;
}

Json ParamDefinitionsJson(const ParamStore& store) {
    Json list = Json::array();
    for (int i = 1; i <= store.count(); ++i) list.push_back(ParamDefinitionJson(i, store.Param(i)));
    return list;
}

}  // namespace qxv::hostsim
