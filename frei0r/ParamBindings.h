// The effect's controls as frei0r parameters: which frei0r parameter stands for which control
// the plug-in registered, in what frei0r type and in what unit. Names, types, ranges, choices
// and defaults come from the plug-in's own registration; this table only says how a frei0r
// host's 0..1 numbers map onto them. The order is the frei0r index order, which FFmpeg's
// positional filter_params and MLT's numbered properties depend on: never reorder.
#pragma once

#include "AE_Effect.h"

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
    const char* frei0r_name;
    const char* control_name;  // as the plug-in registers it
    Frei0rUnit unit;
    const char* explanation;  // choices: null, the registered choice names are listed instead
};

inline constexpr ParamBinding kParamBindings[] = {
    {"Vignette Type", "Vignette Type", Frei0rUnit::kChoice, nullptr},
    {"Point of origin X", "Point of origin", Frei0rUnit::kPointX, "centre x, fraction of the frame width"},
    {"Point of origin Y", "Point of origin", Frei0rUnit::kPointY, "centre y, fraction of the frame height"},
    {"Width", "Width", Frei0rUnit::kWidthFraction, "shape width, fraction of the frame width"},
    {"Height", "Height", Frei0rUnit::kHeightFraction, "shape height, fraction of the frame height"},
    {"Angle", "Angle", Frei0rUnit::kTurns, "rotation in turns (1 = 360 degrees)"},
    {"Feather", "Feather", Frei0rUnit::kWidthFraction, "soft edge, fraction of the frame width"},
    {"Fill with", "Fill with", Frei0rUnit::kChoice, nullptr},
    {"Color", "Color", Frei0rUnit::kColor, "fill colour"},
    {"Opacity", "Opacity", Frei0rUnit::kRangeFraction, "0..1 for 0..100 %"},
    {"Blending mode", "Blending mode", Frei0rUnit::kChoice, nullptr},
    {"Alpha falloff", "Alpha falloff", Frei0rUnit::kChoice, nullptr},
    {"Invert", "Invert", Frei0rUnit::kSwitch, "invert the mask"},
    {"Mask Only", "Mask Only", Frei0rUnit::kSwitch, "show only the mask"},
};

constexpr int kFrei0rParamCount = static_cast<int>(sizeof(kParamBindings) / sizeof(kParamBindings[0]));

int Frei0rType(Frei0rUnit unit);                  // F0R_PARAM_STRING, ...
PF_ParamType RegisteredType(Frei0rUnit unit);     // the control type the unit applies to

}  // namespace qxv::frei0r
