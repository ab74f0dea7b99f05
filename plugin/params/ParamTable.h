// The effect's parameters as the host registers them, in index order. Ids and types are
// what saved projects store; never change them.
#pragma once

#include "AE_Effect.h"
#include "params/BlendModes.h"
#include "params/ParamIndex.h"
#include "params/StringTable.h"

namespace qxv {

// Everything about one parameter that the setup, the UI update and the string lookups read.
struct ParamRecord {
    ParamIndex index;
    A_long id;
    PF_ParamType type;
    PF_ParamFlags flags;
    const A_char* name;           // as the controls show it
    const A_char* disabled_name;  // shown instead while "Mask Only" is on; null: never relabelled
    double dephault;              // in the type's own units: pixels, percent, degrees, 1-based choice, 0/1
    double valid_max;             // sliders: valid and slider range is 0..valid_max
    A_short num_choices;          // popups
    const A_char* text;           // popup choices or checkbox label
};

constexpr PF_ParamFlags kCannotTimeVary = PF_ParamFlag_CANNOT_TIME_VARY;
constexpr PF_ParamFlags kSupervised = PF_ParamFlag_SUPERVISE | PF_ParamFlag_CANNOT_TIME_VARY;
constexpr double kMaxLength = 15000;  // Width, Height and Feather, in pixels
constexpr double kMaxOpacity = 100;   // percent

// One line a parameter, in index order: index, id, type, flags; its name and the name it takes
// while "Mask Only" is on; default and range; choices or checkbox text. Names and choices come
// from the string table, except the two checkbox texts and "Alpha falloff", which the host
// receives as literals.
inline constexpr ParamRecord kParamTable[] = {
    {kParamVignetteType, 14, PF_Param_POPUP, kCannotTimeVary, StringTableText(StrID_VignetteType_Param_Name),
     nullptr, kVignetteEllipse, 0, 2, StringTableText(StrID_VignetteType_Choices)},
    {kParamOrigin, 1, PF_Param_POINT, 0, StringTableText(StrID_Origin_Param_Name), nullptr, 50, 0, 0, nullptr},
    {kParamWidth, 2, PF_Param_FLOAT_SLIDER, 0, StringTableText(StrID_Width_Param_Name), nullptr, 300, kMaxLength, 0,
     nullptr},
    {kParamHeight, 3, PF_Param_FLOAT_SLIDER, 0, StringTableText(StrID_Height_Param_Name), nullptr, 200, kMaxLength,
     0, nullptr},
    {kParamAngle, 13, PF_Param_ANGLE, 0, StringTableText(StrID_Angle_Param_Name), nullptr, 0, 0, 0, nullptr},
    {kParamFeather, 4, PF_Param_FLOAT_SLIDER, 0, StringTableText(StrID_Feather_Param_Name), nullptr, 100,
     kMaxLength, 0, nullptr},
    {kParamFillWith, 15, PF_Param_POPUP, kCannotTimeVary, StringTableText(StrID_FillWith_Param_Name), nullptr,
     kFillColor, 0, 2, StringTableText(StrID_FillWith_Choices)},
    {kParamColor, 12, PF_Param_COLOR, 0, StringTableText(StrID_Color_Param_Name), nullptr, 0, 0, 0, nullptr},
    {kParamOpacity, 5, PF_Param_FIX_SLIDER, 0, StringTableText(StrID_Opacity_Param_Name),
     StringTableText(StrID_Opacity_Disabled_Param_Name), 25, kMaxOpacity, 0, nullptr},
    // Fewer choices than the text names: the last modes are never offered.
    {kParamBlendingMode, 7, PF_Param_POPUP, kCannotTimeVary, StringTableText(StrID_BlendMode_Param_Name),
     StringTableText(StrID_BlendMode_Disabled_Param_Name), kBlendPopupMultiply, 0, kBlendPopupOffered,
     StringTableText(StrID_BlendMode_Choices)},
    {kParamInvert, 8, PF_Param_CHECKBOX, kCannotTimeVary, StringTableText(StrID_Invert_Param_Name), nullptr, 0, 0,
     0, "Invert mask"},
    {kParamMaskOnly, 9, PF_Param_CHECKBOX, kSupervised, StringTableText(StrID_MaskOnly_Param_Name), nullptr, 0, 0, 0,
     "Shows only mask, no source"},
    {kParamAlphaFalloff, 16, PF_Param_POPUP, kCannotTimeVary, "Alpha falloff", nullptr, 1, 0, 6,
     "Linear|Quadratic|Cubic|Gamma 2.2|Gaussian|Exponential"},
};

static_assert(sizeof(kParamTable) / sizeof(kParamTable[0]) == kParamCount - 1, "one entry per effect parameter");

constexpr const ParamRecord& RecordOf(ParamIndex index) { return kParamTable[index - 1]; }

}  // namespace qxv
