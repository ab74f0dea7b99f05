#include "ParamBindings.h"

#include "Frei0rApi.h"

namespace qxv::frei0r {

int Frei0rType(Frei0rUnit unit) {
    switch (unit) {
        case Frei0rUnit::kChoice: return F0R_PARAM_STRING;
        case Frei0rUnit::kColor: return F0R_PARAM_COLOR;
        case Frei0rUnit::kSwitch: return F0R_PARAM_BOOL;
        // MLT 7.12 never sets POSITION parameters, so a point is two doubles.
        case Frei0rUnit::kPointX:
        case Frei0rUnit::kPointY:
        case Frei0rUnit::kWidthFraction:
        case Frei0rUnit::kHeightFraction:
        case Frei0rUnit::kTurns:
        case Frei0rUnit::kRangeFraction: break;
    }
    return F0R_PARAM_DOUBLE;
}

PF_ParamType RegisteredType(Frei0rUnit unit) {
    switch (unit) {
        case Frei0rUnit::kChoice: return PF_Param_POPUP;
        case Frei0rUnit::kPointX:
        case Frei0rUnit::kPointY: return PF_Param_POINT;
        case Frei0rUnit::kWidthFraction:
        case Frei0rUnit::kHeightFraction: return PF_Param_FLOAT_SLIDER;
        case Frei0rUnit::kTurns: return PF_Param_ANGLE;
        case Frei0rUnit::kColor: return PF_Param_COLOR;
        case Frei0rUnit::kRangeFraction: return PF_Param_FIX_SLIDER;
        case Frei0rUnit::kSwitch: break;
    }
    return PF_Param_CHECKBOX;
}

std::string Frei0rName(const ParamBinding& binding) {
    switch (binding.unit) {
        case Frei0rUnit::kPointX: return std::string(binding.control_name) + " X";
        case Frei0rUnit::kPointY: return std::string(binding.control_name) + " Y";
        default: return binding.control_name;
    }
}

std::string Frei0rExplanation(const ParamBinding& binding, const hostsim::RegisteredParam& control) {
    switch (binding.unit) {
        case Frei0rUnit::kChoice: {
            std::string text;
            for (std::size_t i = 0; i < control.choices.size(); ++i) text += (i ? ", " : "") + control.choices[i];
            return text + " (or 1 to " + std::to_string(control.choices.size()) + ")";
        }
        case Frei0rUnit::kPointX: return "x, fraction of the frame width";
        case Frei0rUnit::kPointY: return "y, fraction of the frame height";
        case Frei0rUnit::kWidthFraction: return "fraction of the frame width";
        case Frei0rUnit::kHeightFraction: return "fraction of the frame height";
        case Frei0rUnit::kTurns: return "turns (1 = 360 degrees)";
        case Frei0rUnit::kColor: return "r, g, b from 0 to 1";
        case Frei0rUnit::kRangeFraction: {
            const auto whole = [](PF_Fixed value) { return std::to_string(value / 65536); };
            const bool percent = control.def.u.fd.display_flags & PF_ValueDisplayFlag_PERCENT;
            return "0..1 for " + whole(control.def.u.fd.valid_min) + ".." + whole(control.def.u.fd.valid_max) +
                   (percent ? " %" : "");
        }
        case Frei0rUnit::kSwitch: break;
    }
    return control.checkbox_text;
}

}  // namespace qxv::frei0r
