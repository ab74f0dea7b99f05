#include "Frei0rValues.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "Frei0rApi.h"
#include "StringArgument.h"
#include "hostsim/Params.h"

namespace qxv::frei0r {

namespace {

// 16.16 fixed point of a value in whole units, rounded to nearest and limited to what the
// field holds.
PF_Fixed ClampedFixed(double units) {
    const double scaled = std::round(units * 65536.0);
    return static_cast<PF_Fixed>(std::clamp(scaled, -2147483648.0, 2147483647.0));
}

double FromFixed(PF_Fixed fixed) { return fixed / 65536.0; }

A_long FrameLength(const ParamBinding& binding, FrameSize frame) {
    switch (binding.unit) {
        case Frei0rUnit::kPointY:
        case Frei0rUnit::kHeightFraction: return std::max<A_long>(frame.height, 1);
        default: return std::max<A_long>(frame.width, 1);
    }
}

std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

std::string CurrentText(const ParamBinding& binding, const hostsim::RegisteredParam& param, FrameSize frame) {
    std::string text;
    if (Frei0rType(binding.unit) == F0R_PARAM_STRING) {
        char* label = nullptr;
        GetAsFrei0r(binding, param, frame, &label, text);
        return "\"" + text + "\"";
    }
    if (Frei0rType(binding.unit) == F0R_PARAM_COLOR) {
        f0r_param_color color{};
        GetAsFrei0r(binding, param, frame, &color, text);
        return Number(color.r) + "/" + Number(color.g) + "/" + Number(color.b);
    }
    double number = 0;
    GetAsFrei0r(binding, param, frame, &number, text);
    return Number(number);
}

bool SetNumber(const ParamBinding& binding, hostsim::RegisteredParam& param, FrameSize frame, double value) {
    PF_ParamDefUnion& u = param.def.u;
    switch (binding.unit) {
        case Frei0rUnit::kPointX: u.td.x_value = ClampedFixed(value * FrameLength(binding, frame)); return true;
        case Frei0rUnit::kPointY: u.td.y_value = ClampedFixed(value * FrameLength(binding, frame)); return true;
        case Frei0rUnit::kWidthFraction:
        case Frei0rUnit::kHeightFraction:
            u.fs_d.value = std::clamp(value * FrameLength(binding, frame), static_cast<double>(u.fs_d.valid_min),
                                      static_cast<double>(u.fs_d.valid_max));
            return true;
        case Frei0rUnit::kTurns: {
            const double degrees = DegreesOfTurns(value);
            // An angle registered without limits (both 0) takes any turn the field holds.
            const bool limited = u.ad.valid_max > u.ad.valid_min;
            u.ad.value = limited ? std::clamp(ClampedFixed(degrees), u.ad.valid_min, u.ad.valid_max) : ClampedFixed(degrees);
            return true;
        }
        case Frei0rUnit::kRangeFraction: {
            const double low = FromFixed(u.fd.valid_min);
            const double high = FromFixed(u.fd.valid_max);
            u.fd.value = ClampedFixed(low + std::clamp(value, 0.0, 1.0) * (high - low));
            return true;
        }
        case Frei0rUnit::kSwitch: u.bd.value = value >= 0.5 ? 1 : 0; return true;
        case Frei0rUnit::kChoice:
        case Frei0rUnit::kColor: break;
    }
    return false;
}

A_u_char ColorByte(float value) {
    return static_cast<A_u_char>(std::lround(std::clamp(static_cast<double>(value), 0.0, 1.0) * 255.0));
}

}  // namespace

std::optional<double> DefaultFraction(const ParamBinding& binding, const hostsim::RegisteredParam& param) {
    switch (binding.unit) {
        case Frei0rUnit::kWidthFraction:
        case Frei0rUnit::kHeightFraction: return param.def.u.fs_d.value / FrameLength(binding, kDefaultsFrame);
        default: return std::nullopt;
    }
}

bool SetFromFrei0r(const ParamBinding& binding, hostsim::RegisteredParam& param, FrameSize frame, const void* value,
                   std::string& problem) {
    const std::string keeping = "; keeping " + CurrentText(binding, param, frame);
    const std::string name = "\"" + Frei0rName(binding) + "\"";
    switch (Frei0rType(binding.unit)) {
        case F0R_PARAM_STRING:
            return SetFromText(binding, param, frame, ReadStringArgument(value, StringForm::kPointerToText), problem);
        case F0R_PARAM_COLOR: {
            const auto& color = *static_cast<const f0r_param_color*>(value);
            if (!std::isfinite(color.r) || !std::isfinite(color.g) || !std::isfinite(color.b)) {
                problem = name + ": " + Number(color.r) + "/" + Number(color.g) + "/" + Number(color.b) +
                          " is not a colour" + keeping;
                return false;
            }
            param.def.u.cd.value = PF_Pixel{255, ColorByte(color.r), ColorByte(color.g), ColorByte(color.b)};
            return true;
        }
        default: {
            const double number = *static_cast<const double*>(value);
            if (!std::isfinite(number)) {
                problem = name + ": " + Number(number) + " is not a number" + keeping;
                return false;
            }
            return SetNumber(binding, param, frame, number);
        }
    }
}

bool SetFromText(const ParamBinding& binding, hostsim::RegisteredParam& param, FrameSize frame,
                 const std::optional<std::string>& text, std::string& problem) {
    PF_ParamDefUnion parsed = param.def.u;
    if (text && hostsim::ParseParamValue(param, *text, parsed, problem)) {
        param.def.u = parsed;
        return true;
    }
    // A refusal quotes only text the host passed; where none was readable it quotes nothing.
    if (!text) problem = "\"" + Frei0rName(binding) + "\": no readable text given";
    problem += "; keeping " + CurrentText(binding, param, frame);
    return false;
}

double DegreesOfTurns(double turns) {
    const double degrees = turns * 360.0;
    // Coarsest first: of two angles an editor would save as the same number, the one with
    // fewer decimals is the one more likely typed.
    for (const double per_degree : {1.0, 10.0, 100.0, 1000.0}) {
        const double candidate = std::round(degrees * per_degree) / per_degree;
        // Printed and read back as %.6g does, without the locale's decimal point.
        char saved[32];
        const auto printed = std::to_chars(saved, saved + sizeof saved, candidate / 360.0, std::chars_format::general, 6);
        double read_back = 0;
        if (printed.ec == std::errc{} && std::from_chars(saved, printed.ptr, read_back).ec == std::errc{} &&
            read_back == turns) {
            return candidate;
        }
    }
    return degrees;
}

void GetAsFrei0r(const ParamBinding& binding, const hostsim::RegisteredParam& param, FrameSize frame, void* value,
                 std::string& text) {
    const PF_ParamDefUnion& u = param.def.u;
    const double length = FrameLength(binding, frame);
    double number = 0;
    switch (binding.unit) {
        case Frei0rUnit::kChoice: {
            const std::size_t index = static_cast<std::size_t>(u.pd.value) - 1;
            text = index < param.choices.size() ? param.choices[index] : std::to_string(u.pd.value);
            *static_cast<const char**>(value) = text.c_str();
            return;
        }
        case Frei0rUnit::kColor: {
            auto& color = *static_cast<f0r_param_color*>(value);
            color.r = static_cast<float>(u.cd.value.red / 255.0);
            color.g = static_cast<float>(u.cd.value.green / 255.0);
            color.b = static_cast<float>(u.cd.value.blue / 255.0);
            return;
        }
        case Frei0rUnit::kPointX: number = FromFixed(u.td.x_value) / length; break;
        case Frei0rUnit::kPointY: number = FromFixed(u.td.y_value) / length; break;
        case Frei0rUnit::kWidthFraction:
        case Frei0rUnit::kHeightFraction: number = u.fs_d.value / length; break;
        case Frei0rUnit::kTurns: number = FromFixed(u.ad.value) / 360.0; break;
        case Frei0rUnit::kRangeFraction: {
            const double low = FromFixed(u.fd.valid_min);
            const double high = FromFixed(u.fd.valid_max);
            number = high > low ? (FromFixed(u.fd.value) - low) / (high - low) : 0.0;
            break;
        }
        case Frei0rUnit::kSwitch: number = u.bd.value ? 1.0 : 0.0; break;
    }
    *static_cast<double*>(value) = number;
}

}  // namespace qxv::frei0r
