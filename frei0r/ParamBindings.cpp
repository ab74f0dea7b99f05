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

}  // namespace qxv::frei0r
