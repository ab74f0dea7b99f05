#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "Controls.h"
#include "Frei0rApi.h"
#include "LoadedEffect.h"

namespace qxv::editors {
namespace {

// Editors render at any size, and frei0r lengths are fractions of the frame: the defaults are
// read from an instance of the size the plug-in's own pixel defaults were chosen for.
constexpr unsigned kReferenceWidth = 1920;
constexpr unsigned kReferenceHeight = 1080;

double FromFixed(PF_Fixed value) { return value / 65536.0; }

// The shortest decimal text that reads back as exactly `value`, so that a description's
// default renders what the module's default renders.
std::string ExactText(double value) {
    char text[32];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        if (std::strtod(text, nullptr) == value) break;
    }
    return text;
}

std::string HexColor(const f0r_param_color& color) {
    char text[8];
    auto byte = [](float v) { return static_cast<int>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255)); };
    std::snprintf(text, sizeof text, "#%02x%02x%02x", byte(color.r), byte(color.g), byte(color.b));
    return text;
}

// How the panel shows a frei0r number of this unit.
bool ShapeNumber(Control& control, frei0r::Frei0rUnit unit, const hostsim::RegisteredParam& registered,
                 std::string& error) {
    using frei0r::Frei0rUnit;
    switch (unit) {
        case Frei0rUnit::kPointX:
        case Frei0rUnit::kPointY:
            // Per cent of the frame; the point may lie off the frame.
            control.factor = 100, control.min = -100, control.max = 200, control.decimals = 3, control.suffix = " %";
            return true;
        case Frei0rUnit::kWidthFraction:
        case Frei0rUnit::kHeightFraction:
            // Per cent of the frame; an ellipse reaches the corners at about 141 %.
            control.factor = 100, control.min = 0, control.max = 400, control.decimals = 3, control.suffix = " %";
            return true;
        case Frei0rUnit::kTurns:
            control.factor = 360, control.min = -180, control.max = 180, control.decimals = 2, control.suffix = "°";
            return true;
        case Frei0rUnit::kRangeFraction: {
            // 0..1 across the slider's valid range, shown in the slider's own numbers.
            const PF_FixedSliderDef& slider = registered.def.u.fd;
            if (slider.valid_min != 0) break;
            control.factor = FromFixed(slider.valid_max), control.min = 0, control.max = control.factor;
            control.decimals = slider.precision;
            control.suffix = (slider.display_flags & PF_ValueDisplayFlag_PERCENT) ? " %" : "";
            return true;
        }
        case Frei0rUnit::kChoice:
        case Frei0rUnit::kColor:
        case Frei0rUnit::kSwitch: break;
    }
    error = "\"" + control.name + "\": no way to show this control as a number";
    return false;
}

}  // namespace

bool LearnEffect(Effect& effect, std::string& error) {
    if (!f0r_init()) {
        error = "the module cannot load the plug-in (see the message above)";
        return false;
    }
    f0r_plugin_info_t info{};
    f0r_get_plugin_info(&info);
    effect.name = info.name;
    effect.author = info.author;
    effect.service = "frei0r.qx_vignette";
    effect.description = info.explanation;
    effect.version = std::to_string(info.major_version) + "." + std::to_string(info.minor_version);

    const frei0r::LoadedEffect& loaded = frei0r::TheEffect();
    if (info.num_params != static_cast<int>(loaded.params.size())) {
        error = "the module reports " + std::to_string(info.num_params) + " parameters but binds " +
                std::to_string(loaded.params.size());
        return false;
    }
    std::unique_ptr<void, void (*)(void*)> instance(f0r_construct(kReferenceWidth, kReferenceHeight), f0r_destruct);
    if (!instance) {
        error = "the module constructs no instance";
        return false;
    }
    for (int i = 0; i < info.num_params; ++i) {
        f0r_param_info_t param{};
        f0r_get_param_info(&param, i);
        const frei0r::Frei0rParam& bound = loaded.params[static_cast<std::size_t>(i)];
        const hostsim::RegisteredParam& registered = loaded.controls.Param(bound.control_index);
        Control control;
        control.index = i;
        control.name = param.name;
        control.label = param.name;
        switch (param.type) {
            case F0R_PARAM_STRING: {
                char* text = nullptr;
                f0r_get_param_value(instance.get(), &text, i);
                control.kind = ControlKind::kChoice;
                control.choices = registered.choices;
                control.default_value = text ? text : "";
                break;
            }
            case F0R_PARAM_DOUBLE: {
                double value = 0;
                f0r_get_param_value(instance.get(), &value, i);
                control.kind = ControlKind::kNumber;
                control.default_value = ExactText(value);
                if (!ShapeNumber(control, bound.binding->unit, registered, error)) return false;
                // MLT animates frei0r doubles; the plug-in says which controls may change in time.
                control.keyframes = !(registered.def.flags & PF_ParamFlag_CANNOT_TIME_VARY);
                break;
            }
            case F0R_PARAM_COLOR: {
                f0r_param_color color{};
                f0r_get_param_value(instance.get(), &color, i);
                control.kind = ControlKind::kColor;
                control.default_value = HexColor(color);
                break;
            }
            case F0R_PARAM_BOOL: {
                double value = 0;
                f0r_get_param_value(instance.get(), &value, i);
                control.kind = ControlKind::kSwitch;
                control.default_value = value >= 0.5 ? "1" : "0";
                break;
            }
            default:
                error = std::string("\"") + param.name + "\": frei0r type " + std::to_string(param.type) +
                        " has no control in the editors";
                return false;
        }
        if (control.kind == ControlKind::kChoice) {
            bool known = false;
            for (const std::string& choice : control.choices) known = known || choice == control.default_value;
            if (!known) {
                error = "\"" + control.name + "\": the default \"" + control.default_value + "\" is not a choice";
                return false;
            }
        }
        effect.controls.push_back(std::move(control));
    }
    return true;
}

}  // namespace qxv::editors
