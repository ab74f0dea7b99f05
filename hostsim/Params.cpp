#include "hostsim/Params.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "hostsim/ShippingLayouts.h"

namespace qxv::hostsim {

namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The host keeps its own copies of the texts; the definition it stores points at nothing.
void ClearTextPointers(PF_ParamDef& def) {
    if (def.param_type == PF_Param_POPUP) def.u.pd.u.namesptr = nullptr;
    if (def.param_type == PF_Param_CHECKBOX) def.u.bd.u.nameptr = nullptr;
}

std::vector<std::string> SplitChoices(const std::string& text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t bar = text.find('|', start);
        if (bar == std::string::npos) bar = text.size();
        names.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    return names;
}

}  // namespace

void ParamStore::Clear() { params_.clear(); }

PF_Err ParamStore::Add(PF_ParamIndex index, const PF_ParamDef& def, std::string& problem) {
    if (index != -1 && index != count() + 1) {
        problem = "index " + std::to_string(index) + " is neither -1 nor the next free index " +
                  std::to_string(count() + 1);
        return PF_Err_INVALID_INDEX;
    }
    std::size_t name_length = strnlen(def.name, sizeof def.name);
    if (name_length == sizeof def.name) {
        problem = "the name is not terminated within its 32 bytes";
        return PF_Err_BAD_CALLBACK_PARAM;
    }

    RegisteredParam param;
    param.def = def;
    param.registered_name.assign(def.name, name_length);
    param.shown_name = param.registered_name;

    if (def.param_type == PF_Param_POPUP) {
        if (!def.u.pd.u.namesptr) {
            problem = "popup without choice text";
            return PF_Err_BAD_CALLBACK_PARAM;
        }
        param.choice_text = def.u.pd.u.namesptr;
        std::vector<std::string> names = SplitChoices(param.choice_text);
        int offered = def.u.pd.num_choices;
        if (offered < 1 || offered > static_cast<int>(names.size())) {
            problem = "popup registers " + std::to_string(offered) + " choices but its text holds " +
                      std::to_string(names.size());
            return PF_Err_BAD_CALLBACK_PARAM;
        }
        // The host offers the first num_choices names; whatever the text holds beyond is unseen.
        param.choices.assign(names.begin(), names.begin() + offered);
    } else if (def.param_type == PF_Param_CHECKBOX && def.u.bd.u.nameptr) {
        param.checkbox_text = def.u.bd.u.nameptr;
    }
    ClearTextPointers(param.def);
    params_.push_back(std::move(param));
    return PF_Err_NONE;
}

int ParamStore::IndexOf(std::string_view name) const {
    for (int i = 0; i < count(); ++i) {
        if (SameNameIgnoringCase(params_[i].registered_name, name) || SameNameIgnoringCase(params_[i].shown_name, name)) {
            return i + 1;
        }
    }
    return 0;
}

bool ParamStore::Set(std::string_view name, std::string_view text, std::string& error) {
    int index = IndexOf(name);
    if (index == 0) {
        error = "no parameter named \"" + std::string(name) + "\"; the effect has:";
        for (const auto& param : params_) error += " \"" + param.registered_name + "\"";
        return false;
    }
    return Set(index, text, error);
}

bool ParamStore::Set(int index, std::string_view text, std::string& error) {
    if (index < 1 || index > count()) {
        error = "no parameter at index " + std::to_string(index) + "; the effect registered " +
                std::to_string(count());
        return false;
    }
    RegisteredParam& param = Param(index);
    if (!ParseParamValue(param, text, param.def.u, error)) return false;
    param.point_placed = true;
    return true;
}

void ParamStore::ApplyUIUpdate(int index, const PF_ParamDef& def) {
    RegisteredParam& param = Param(index);
    param.shown_name.assign(def.name, strnlen(def.name, sizeof def.name));
    param.def.ui_flags = def.ui_flags;
}

std::vector<int> ParamStore::AcceptChangedValues(const ParamArray& array) {
    std::vector<int> changed;
    for (int i = 1; i < array.size() && i <= count(); ++i) {
        if (array[i].uu.change_flags & PF_ChangeFlag_CHANGED_VALUE) {
            params_[i - 1].def.u = array[i].u;
            ClearTextPointers(params_[i - 1].def);
            params_[i - 1].point_placed = true;
            changed.push_back(i);
        }
    }
    return changed;
}

ParamArray::ParamArray(const ParamStore& store, const PF_LayerDef* input) {
    for (int i = 0; i <= store.count(); ++i) defs_.push_back(MakeShippingRecord<PF_ParamDef, kShippingParamDefSize>());
    defs_[0]->param_type = PF_Param_LAYER;
    if (input) defs_[0]->u.ld = *input;
    for (int i = 1; i <= store.count(); ++i) {
        const RegisteredParam& param = store.Param(i);
        PF_ParamDef& def = *defs_[i];
        def = param.def;
        def.uu.change_flags = PF_ChangeFlag_NONE;
        std::memset(def.name, 0, sizeof def.name);
        std::strncpy(def.name, param.shown_name.c_str(), sizeof def.name - 1);
        if (def.param_type == PF_Param_POPUP) def.u.pd.u.namesptr = param.choice_text.c_str();
        if (def.param_type == PF_Param_CHECKBOX) def.u.bd.u.nameptr = param.checkbox_text.c_str();
    }
    for (auto& def : defs_) pointers_.push_back(def.get());
}

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool ParseNumber(std::string_view text, double& value) {
    std::string copy(Trim(text));
    if (copy.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(copy.c_str(), &end);
    return errno == 0 && end == copy.c_str() + copy.size() && std::isfinite(value);
}

bool ParseInteger(std::string_view text, long& value) {
    std::string copy(Trim(text));
    if (copy.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(copy.c_str(), &end, 10);
    return errno == 0 && end == copy.c_str() + copy.size();
}

std::vector<std::string_view> SplitCommas(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) return parts;
        start = comma + 1;
    }
}

// 16.16 fixed point from a value in whole units, rounded to nearest.
bool ToFixed(double value, PF_Fixed& fixed) {
    double scaled = std::round(value * 65536.0);
    if (scaled < -2147483648.0 || scaled > 2147483647.0) return false;
    fixed = static_cast<PF_Fixed>(scaled);
    return true;
}

std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

double FromFixed(PF_Fixed fixed) { return fixed / 65536.0; }

PF_ValueDisplayFlags DisplayFlags(const RegisteredParam& param) {
    return VisitParam(param, Overloaded{
                                 [](const PF_FloatSliderDef& slider) { return slider.display_flags; },
                                 [](const PF_FixedSliderDef& slider) { return slider.display_flags; },
                                 [](const auto&) -> PF_ValueDisplayFlags { return PF_ValueDisplayFlag_NONE; },
                             });
}

// What the effect controls write after the number of a slider in `unit`.
std::string_view UnitSuffix(std::string_view unit) {
    if (unit == "percent") return "%";
    if (unit == "pixels") return " px";
    return "";
}

// The number as the effect controls show it: the registered decimal places, then the unit.
// A nonsensical precision must not make a string of thousands of digits.
std::string SliderText(const RegisteredParam& param, double value) {
    const A_short precision = VisitParam(param, Overloaded{
                                                    [](const PF_FloatSliderDef& slider) { return slider.precision; },
                                                    [](const PF_FixedSliderDef& slider) { return slider.precision; },
                                                    [](const auto&) -> A_short { return 0; },
                                                });
    char text[330];  // a double's 309 whole digits, the point and nine decimals
    std::snprintf(text, sizeof text, "%.*f", std::clamp<int>(precision, 0, 9), value);
    return text + std::string(UnitSuffix(SliderUnit(param)));
}

// A slider's number, with or without the suffix it is shown with ("25%", "400 px").
bool ParseSliderNumber(const RegisteredParam& param, std::string_view text, double& value) {
    text = Trim(text);
    const std::string_view suffix = Trim(UnitSuffix(SliderUnit(param)));
    if (!suffix.empty() && text.size() > suffix.size() && Lower(text.substr(text.size() - suffix.size())) == suffix) {
        text.remove_suffix(suffix.size());
    }
    return ParseNumber(text, value);
}

// "a number from 0 to 100 (percent)", "a number of pixels from 0 to 15000".
std::string SliderForm(const RegisteredParam& param, double low, double high) {
    const std::string unit = SliderUnit(param);
    const std::string range = "from " + Number(low) + " to " + Number(high);
    if (unit == "pixels") return "a number of pixels " + range;
    return "a number " + range + (unit.empty() ? "" : " (" + unit + ")");
}

std::string Hex2(int value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02x", value & 0xFF);
    return text;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

bool ParseColor(std::string_view text, PF_Pixel& color) {
    text = Trim(text);
    if (!text.empty() && text.front() == '#') {
        if (text.size() != 7) return false;
        int channels[3];
        for (int i = 0; i < 3; ++i) {
            std::string pair(text.substr(1 + 2 * i, 2));
            if (!std::isxdigit(static_cast<unsigned char>(pair[0])) || !std::isxdigit(static_cast<unsigned char>(pair[1]))) {
                return false;
            }
            channels[i] = static_cast<int>(std::strtol(pair.c_str(), nullptr, 16));
        }
        color = PF_Pixel{255, static_cast<A_u_char>(channels[0]), static_cast<A_u_char>(channels[1]),
                         static_cast<A_u_char>(channels[2])};
        return true;
    }
    std::vector<std::string_view> parts = SplitCommas(text);
    if (parts.size() != 3) return false;
    long channels[3];
    for (int i = 0; i < 3; ++i) {
        if (!ParseInteger(parts[i], channels[i]) || channels[i] < 0 || channels[i] > 255) return false;
    }
    color = PF_Pixel{255, static_cast<A_u_char>(channels[0]), static_cast<A_u_char>(channels[1]),
                     static_cast<A_u_char>(channels[2])};
    return true;
}

bool ParseCheckbox(std::string_view text, PF_ParamValue& value) {
    std::string word = Lower(Trim(text));
    if (word == "on" || word == "1" || word == "true") {
        value = 1;
        return true;
    }
    if (word == "off" || word == "0" || word == "false") {
        value = 0;
        return true;
    }
    return false;
}

bool ParsePopup(const RegisteredParam& param, std::string_view text, PF_ParamValue& value) {
    std::string wanted = Lower(Trim(text));
    for (std::size_t i = 0; i < param.choices.size(); ++i) {
        if (Lower(param.choices[i]) == wanted) {
            value = static_cast<PF_ParamValue>(i + 1);
            return true;
        }
    }
    long number = 0;
    if (ParseInteger(text, number) && number >= 1 && number <= static_cast<long>(param.choices.size())) {
        value = static_cast<PF_ParamValue>(number);
        return true;
    }
    return false;
}

std::string PopupForm(const RegisteredParam& param) {
    std::string form = "one of";
    for (std::size_t i = 0; i < param.choices.size(); ++i) form += (i ? ", " : " ") + Quoted(param.choices[i]);
    return form + " or a number from 1 to " + std::to_string(param.choices.size());
}

// Text of a value union of the parameter's type; `use_default` reads the dephault fields.
std::string FormatUnion(const RegisteredParam& param, bool use_default) {
    return VisitParam(
        param,
        Overloaded{
            [&](const PF_FloatSliderDef& d) { return SliderText(param, use_default ? d.dephault : d.value); },
            [&](const PF_FixedSliderDef& d) { return SliderText(param, FromFixed(use_default ? d.dephault : d.value)); },
            [&](const PF_AngleDef& d) { return Number(FromFixed(use_default ? d.dephault : d.value)) + " deg"; },
            [&](const PF_PointDef& d) {
                return Number(FromFixed(use_default ? d.x_dephault : d.x_value)) + "," +
                       Number(FromFixed(use_default ? d.y_dephault : d.y_value));
            },
            [&](const PF_ColorDef& d) {
                const PF_Pixel& c = use_default ? d.dephault : d.value;
                std::string text = "#" + Hex2(c.red) + Hex2(c.green) + Hex2(c.blue);
                return c.alpha == 255 ? text : text + " alpha " + std::to_string(c.alpha);
            },
            [&](const PF_PopupDef& d) {
                long value = use_default ? d.dephault : d.value;
                std::string text = std::to_string(value);
                if (value >= 1 && value <= static_cast<long>(param.choices.size())) {
                    text += " (" + param.choices[value - 1] + ")";
                }
                return text;
            },
            [&](const PF_CheckBoxDef& d) { return std::string((use_default ? d.dephault : d.value) ? "on" : "off"); },
            [](PF_ParamType type) {
                return type == PF_Param_LAYER ? std::string("(layer)") : "(" + ParamTypeName(type) + ")";
            },
        });
}

}  // namespace

bool ParseParamValue(const RegisteredParam& param, std::string_view text, PF_ParamDefUnion& value, std::string& error) {
    const std::string name = Quoted(param.registered_name);
    const std::string given = Quoted(text);
    // Each branch reads the registration's range and writes its own member of `value`.
    return VisitParam(
        param,
        Overloaded{
            [&](const PF_FloatSliderDef& def) {
                double v = 0;
                if (!ParseSliderNumber(param, text, v) || v < def.valid_min || v > def.valid_max) {
                    error = name + ": " + given + " is not " + SliderForm(param, def.valid_min, def.valid_max);
                    return false;
                }
                value.fs_d.value = v;
                return true;
            },
            [&](const PF_FixedSliderDef& def) {
                double v = 0;
                PF_Fixed fixed = 0;
                if (!ParseSliderNumber(param, text, v) || !ToFixed(v, fixed) || fixed < def.valid_min ||
                    fixed > def.valid_max) {
                    error = name + ": " + given + " is not " +
                            SliderForm(param, FromFixed(def.valid_min), FromFixed(def.valid_max));
                    return false;
                }
                value.fd.value = fixed;
                return true;
            },
            [&](const PF_AngleDef&) {
                double v = 0;
                PF_Fixed fixed = 0;
                if (!ParseNumber(text, v) || !ToFixed(v, fixed)) {
                    error = name + ": " + given + " is not an angle in degrees";
                    return false;
                }
                value.ad.value = fixed;
                return true;
            },
            [&](const PF_PointDef&) {
                std::vector<std::string_view> parts = SplitCommas(text);
                double x = 0, y = 0;
                PF_Fixed fx = 0, fy = 0;
                if (parts.size() != 2 || !ParseNumber(parts[0], x) || !ParseNumber(parts[1], y) || !ToFixed(x, fx) ||
                    !ToFixed(y, fy)) {
                    error = name + ": " + given + " is not a point \"x,y\" in pixels";
                    return false;
                }
                value.td.x_value = fx;
                value.td.y_value = fy;
                return true;
            },
            [&](const PF_ColorDef&) {
                PF_Pixel color{};
                if (!ParseColor(text, color)) {
                    error = name + ": " + given + " is not a colour \"#rrggbb\" or \"r,g,b\" (0-255)";
                    return false;
                }
                value.cd.value = color;
                return true;
            },
            [&](const PF_PopupDef&) {
                PF_ParamValue choice = 0;
                if (!ParsePopup(param, text, choice)) {
                    error = name + ": " + given + " is not " + PopupForm(param);
                    return false;
                }
                value.pd.value = choice;
                return true;
            },
            [&](const PF_CheckBoxDef&) {
                PF_ParamValue checked = 0;
                if (!ParseCheckbox(text, checked)) {
                    error = name + ": " + given + " is not on/off, 1/0 or true/false";
                    return false;
                }
                value.bd.value = checked;
                return true;
            },
            [&](PF_ParamType type) {
                error = name + ": a " + ParamTypeName(type) + " cannot be set from text";
                return false;
            },
        });
}

std::string SliderUnit(const RegisteredParam& param) {
    const PF_ValueDisplayFlags flags = DisplayFlags(param);
    if (flags & PF_ValueDisplayFlag_PERCENT) return "percent";
    if (flags & PF_ValueDisplayFlag_PIXEL) return "pixels";
    return "";
}

std::string FormatParamValue(const RegisteredParam& param) { return FormatUnion(param, false); }
std::string FormatParamDefault(const RegisteredParam& param) { return FormatUnion(param, true); }

std::string ParamTypeName(PF_ParamType type) {
    static const char* const kNames[] = {
        "PF_Param_LAYER",       "PF_Param_SLIDER",      "PF_Param_FIX_SLIDER",     "PF_Param_ANGLE",
        "PF_Param_CHECKBOX",    "PF_Param_COLOR",       "PF_Param_POINT",          "PF_Param_POPUP",
        "PF_Param_CUSTOM",      "PF_Param_NO_DATA",     "PF_Param_FLOAT_SLIDER",   "PF_Param_ARBITRARY_DATA",
        "PF_Param_PATH",        "PF_Param_GROUP_START", "PF_Param_GROUP_END",      "PF_Param_BUTTON",
        "PF_Param_RESERVED2",   "PF_Param_RESERVED3",   "PF_Param_POINT_3D"};
    if (type >= 0 && type < static_cast<PF_ParamType>(sizeof(kNames) / sizeof(kNames[0]))) return kNames[type];
    return "parameter type " + std::to_string(type);
}

PF_Fixed PlacePointDefault(PF_Fixed percent, A_long length) {
    return static_cast<PF_Fixed>(std::lround(percent / 100.0 * length));
}

void PlacePointDefaults(ParamStore& store, A_long width, A_long height) {
    for (int index = 1; index <= store.count(); ++index) {
        RegisteredParam& param = store.Param(index);
        PF_ParamDef& def = param.def;
        if (def.param_type != PF_Param_POINT || param.point_placed) continue;
        def.u.td.x_value = PlacePointDefault(def.u.td.x_dephault, width);
        def.u.td.y_value = PlacePointDefault(def.u.td.y_dephault, height);
        param.point_placed = true;
    }
}

}  // namespace qxv::hostsim
