// The effect's controls as frei0r parameters: which frei0r parameter stands for which control
// the plug-in registered, and in what unit a frei0r host's number maps onto it. Names, types,
// ranges, choices and defaults come from the plug-in's own registration. The order is the
// frei0r index order, which FFmpeg's positional filter_params and MLT's numbered properties
// depend on: never reorder.
#pragma once

#include <string>

#include "AE_Effect.h"
#include "hostsim/Params.h"

namespace qxv::frei0r {

enum class Frei0rUnit {
    kChoice,          // string: a choice label or its 1-based number
    kPointX,          // double: fraction of the frame width (a point's x)
    kPointY,          // double: fraction of the frame height (a point's y)
    kWidthFraction,   // double: pixels as a fraction of the frame width
    kHeightFraction,  // double: pixels as a fraction of the frame height
    kTurns,           // double: an angle in turns, 1 = 360 degrees
    kColor,           // color: r, g, b from 0 to 1, each becoming the byte round(v x 255)
    kRangeFraction,   // double: 0..1 across the control's valid range (Opacity 0..100 %)
    kSwitch,          // bool
};

struct ParamBinding {
    const char* control_name;  // as the plug-in registers it
    Frei0rUnit unit;
};

inline constexpr ParamBinding kParamBindings[] = {
    {"Vignette Type", Frei0rUnit::kChoice},   {"Point of origin", Frei0rUnit::kPointX},
    {"Point of origin", Frei0rUnit::kPointY}, {"Width", Frei0rUnit::kWidthFraction},
    {"Height", Frei0rUnit::kHeightFraction},  {"Angle", Frei0rUnit::kTurns},
    {"Feather", Frei0rUnit::kWidthFraction},  {"Fill with", Frei0rUnit::kChoice},
    {"Color", Frei0rUnit::kColor},            {"Opacity", Frei0rUnit::kRangeFraction},
    {"Blending mode", Frei0rUnit::kChoice},   {"Alpha falloff", Frei0rUnit::kChoice},
    {"Invert", Frei0rUnit::kSwitch},          {"Mask Only", Frei0rUnit::kSwitch},
};

constexpr int kFrei0rParamCount = static_cast<int>(sizeof(kParamBindings) / sizeof(kParamBindings[0]));

// The frei0r parameter's name: the control's, and a point's two numbers "X" and "Y" after it.
std::string Frei0rName(const ParamBinding& binding);
// What the frei0r number means, for the hosts' tooltips and metadata, from the registration:
// "Ellipse, Rectangle (or 1 to 2)", "fraction of the frame width", "0..1 for 0..100 %", ...
std::string Frei0rExplanation(const ParamBinding& binding, const hostsim::RegisteredParam& control);
int Frei0rType(Frei0rUnit unit);                  // F0R_PARAM_STRING, ...
PF_ParamType RegisteredType(Frei0rUnit unit);     // the control type the unit applies to

}  // namespace qxv::frei0r
