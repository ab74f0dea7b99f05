// The effect's parameters as the host registers them, in index order. Ids and types are
// what saved projects store; never change them.
#pragma once

#include "AE_Effect.h"
#include "params/ParamIndex.h"
#include "params/StringTable.h"

namespace qxv {

struct ParamSpec {
    ParamIndex index;
    A_long id;
    const A_char* name;
    PF_ParamType type;
    PF_ParamFlags flags;
    double dephault;       // in the type's own units: pixels, percent, degrees, 1-based choice, 0/1
    double valid_max;      // sliders: valid and slider range is 0..valid_max
    A_short num_choices;   // popups
    const A_char* text;    // popup choices or checkbox label
};

constexpr PF_ParamFlags kCannotTimeVary = PF_ParamFlag_CANNOT_TIME_VARY;
constexpr PF_ParamFlags kSupervised = PF_ParamFlag_SUPERVISE | PF_ParamFlag_CANNOT_TIME_VARY;
constexpr double kMaxLength = 15000;  // Width, Height and Feather, in pixels
constexpr double kMaxOpacity = 100;   // percent

inline constexpr ParamSpec kParamTable[] = {
    {kParamVignetteType, 14, kStringTable[StrID_VignetteType_Param_Name].text, PF_Param_POPUP, kCannotTimeVary, 1,
     0, 2, kStringTable[StrID_VignetteType_Choices].text},
    {kParamOrigin, 1, kStringTable[StrID_Origin_Param_Name].text, PF_Param_POINT, 0, 50, 0, 0, nullptr},
    {kParamWidth, 2, kStringTable[StrID_Width_Param_Name].text, PF_Param_FLOAT_SLIDER, 0, 300, kMaxLength, 0,
     nullptr},
    {kParamHeight, 3, kStringTable[StrID_Height_Param_Name].text, PF_Param_FLOAT_SLIDER, 0, 200, kMaxLength, 0,
     nullptr},
    {kParamAngle, 13, kStringTable[StrID_Angle_Param_Name].text, PF_Param_ANGLE, 0, 0, 0, 0, nullptr},
    {kParamFeather, 4, kStringTable[StrID_Feather_Param_Name].text, PF_Param_FLOAT_SLIDER, 0, 100, kMaxLength, 0,
     nullptr},
    {kParamFillWith, 15, kStringTable[StrID_FillWith_Param_Name].text, PF_Param_POPUP, kCannotTimeVary, kFillColor,
     0, 2, kStringTable[StrID_FillWith_Choices].text},
    {kParamColor, 12, kStringTable[StrID_Color_Param_Name].text, PF_Param_COLOR, 0, 0, 0, 0, nullptr},
    {kParamOpacity, 5, kStringTable[StrID_Opacity_Param_Name].text, PF_Param_FIX_SLIDER, 0, 25, kMaxOpacity, 0,
     nullptr},
    // 23 choices although the text names 25: the last two are never offered.
    {kParamBlendingMode, 7, kStringTable[StrID_BlendMode_Param_Name].text, PF_Param_POPUP, kCannotTimeVary, 3, 0, 23,
     kStringTable[StrID_BlendMode_Choices].text},
    {kParamInvert, 8, kStringTable[StrID_Invert_Param_Name].text, PF_Param_CHECKBOX, kCannotTimeVary, 0, 0, 0,
     "Invert mask"},
    {kParamMaskOnly, 9, kStringTable[StrID_MaskOnly_Param_Name].text, PF_Param_CHECKBOX, kSupervised, 0, 0, 0,
     "Shows only mask, no source"},
    {kParamAlphaFalloff, 16, "Alpha falloff", PF_Param_POPUP, kCannotTimeVary, 1, 0, 6,
     "Linear|Quadratic|Cubic|Gamma 2.2|Gaussian|Exponential"},
};

static_assert(sizeof(kParamTable) / sizeof(kParamTable[0]) == kParamCount - 1, "one entry per effect parameter");

}  // namespace qxv
