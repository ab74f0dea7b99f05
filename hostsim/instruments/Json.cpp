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
    return VisitParam(param,
                      Overloaded{
                          [&](const PF_FloatSliderDef& d) { return JsonNumber(use_default ? d.dephault : d.value); },
                          [&](const PF_FixedSliderDef& d) { return Json(use_default ? d.dephault : d.value); },
                          [&](const PF_AngleDef& d) { return Json(use_default ? d.dephault : d.value); },
                          [&](const PF_PointDef& d) {
                              return use_default ? Json::array({d.x_dephault, d.y_dephault})
                                                 : Json::array({d.x_value, d.y_value});
                          },
                          [&](const PF_ColorDef& d) { return Color(use_default ? d.dephault : d.value); },
                          [&](const PF_PopupDef& d) { return Json(use_default ? d.dephault : d.value); },
                          [&](const PF_CheckBoxDef& d) { return Json(use_default ? d.dephault : d.value); },
                          [](PF_ParamType) { return Json(nullptr); },
                      });
}

// What a definition of the parameter's type adds to the fields every parameter has.
void AddTypeFields(const RegisteredParam& param, Json& json) {
    VisitParam(param, Overloaded{
                          [&](const PF_FloatSliderDef& d) {
                              json["valid_min"] = JsonNumber(d.valid_min);
                              json["valid_max"] = JsonNumber(d.valid_max);
                              json["slider_min"] = JsonNumber(d.slider_min);
                              json["slider_max"] = JsonNumber(d.slider_max);
                              json["precision"] = d.precision;
                              json["display_flags"] = d.display_flags;
                              json["unit"] = SliderUnit(param);
                              json["curve_tolerance"] = JsonNumber(d.curve_tolerance);
                          },
                          [&](const PF_FixedSliderDef& d) {
                              json["valid_min"] = d.valid_min;
                              json["valid_max"] = d.valid_max;
                              json["slider_min"] = d.slider_min;
                              json["slider_max"] = d.slider_max;
                              json["precision"] = d.precision;
                              json["display_flags"] = d.display_flags;
                              json["unit"] = SliderUnit(param);
                          },
                          [&](const PF_AngleDef& d) {
                              json["valid_min"] = d.valid_min;
                              json["valid_max"] = d.valid_max;
                          },
                          [&](const PF_PointDef& d) { json["restrict_bounds"] = d.restrict_bounds; },
                          [&](const PF_PopupDef& d) {
                              json["num_choices"] = d.num_choices;
                              json["choices"] = param.choices;
                              json["choice_text"] = param.choice_text;
                          },
                          [&](const PF_CheckBoxDef&) { json["checkbox_text"] = param.checkbox_text; },
                          [](const auto&) {},
                      });
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
    AddTypeFields(param, json);
    return json;
}

Json ParamDefinitionsJson(const ParamStore& store) {
    Json list = Json::array();
    for (int i = 1; i <= store.count(); ++i) list.push_back(ParamDefinitionJson(i, store.Param(i)));
    return list;
}

}  // namespace qxv::hostsim
