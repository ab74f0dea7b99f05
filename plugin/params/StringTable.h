// The effect's user-visible strings, one numbered table. Entries are fetched by position.
#pragma once

#include "AE_Effect.h"
#include "params/BlendModes.h"

namespace qxv {

enum StrID {
    StrID_NONE = 0,
    StrID_Name,
    StrID_Description,
    StrID_Origin_Param_Name,
    StrID_Width_Param_Name,
    StrID_Height_Param_Name,
    StrID_Angle_Param_Name,
    StrID_Feather_Param_Name,
    StrID_Color_Param_Name,
    StrID_Opacity_Param_Name,
    StrID_Opacity_Disabled_Param_Name,
    StrID_Invert_Param_Name,
    StrID_DependString1,
    StrID_DependString2,
    StrID_Err_LoadSuite,
    StrID_Err_FreeSuite,
    StrID_VignetteType_Param_Name,
    StrID_VignetteType_Choices,
    StrID_BlendMode_Param_Name,
    StrID_BlendMode_Disabled_Param_Name,
    StrID_BlendMode_Choices,
    StrID_MaskOnly_Param_Name,
    StrID_FillWith_Param_Name,
    StrID_FillWith_Choices,
    StrID_NUMTYPES
};

struct StringTableEntry {
    A_long index;
    const A_char* text;
};

// The trailing '|' of the vignette types is part of the text; the host offers only as many
// choices as the popup declares. Subtract and Divide are named but never offered.
inline constexpr StringTableEntry kStringTable[StrID_NUMTYPES] = {
    {StrID_NONE, ""},
    {StrID_Name, "Vignette"},
    {StrID_Description, "Vignette plugin for After Effects. Darkens, tints or clears the frame outside an ellipse or rectangle."},
    {StrID_Origin_Param_Name, "Point of origin"},
    {StrID_Width_Param_Name, "Width"},
    {StrID_Height_Param_Name, "Height"},
    {StrID_Angle_Param_Name, "Angle"},
    {StrID_Feather_Param_Name, "Feather"},
    {StrID_Color_Param_Name, "Color"},
    {StrID_Opacity_Param_Name, "Opacity"},
    {StrID_Opacity_Disabled_Param_Name, "Opacity (100%)"},
    {StrID_Invert_Param_Name, "Invert"},
    {StrID_DependString1, "All Dependencies requested."},
    {StrID_DependString2, "Missing Dependencies requested."},
    {StrID_Err_LoadSuite, "Error loading suite."},
    {StrID_Err_FreeSuite, "Error releasing suite."},
    {StrID_VignetteType_Param_Name, "Vignette Type"},
    {StrID_VignetteType_Choices, "Ellipse|Rectangle|"},
    {StrID_BlendMode_Param_Name, "Blending mode"},
    {StrID_BlendMode_Disabled_Param_Name, "Blending mode (disabled)"},
    {StrID_BlendMode_Choices, kBlendModeChoices},
    {StrID_MaskOnly_Param_Name, "Mask Only"},
    {StrID_FillWith_Param_Name, "Fill with"},
    {StrID_FillWith_Choices, "Color|Transparent"},
};

constexpr const A_char* StringTableText(StrID id) { return kStringTable[id].text; }

}  // namespace qxv
