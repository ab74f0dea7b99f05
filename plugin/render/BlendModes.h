// Blend-mode codes, numbered as the host's transfer modes, and the mapping from the
// "Blending mode" popup to them.
#pragma once

#include <cstdint>

namespace qxv {

enum BlendCode : std::int32_t {
    kBlendNone = 0,  // plain fill, transparency or bare mask: no blending
    kBlendNormal = 2,
    kBlendAdd = 4,
    kBlendMultiply = 5,
    kBlendScreen = 6,
    kBlendOverlay = 7,
    kBlendSoftLight = 8,
    kBlendHardLight = 9,
    kBlendDarken = 10,
    kBlendLighten = 11,
    kBlendHue = 13,
    kBlendSaturation = 14,
    kBlendColor = 15,
    kBlendLuminosity = 16,
    kBlendColorBurn = 24,
    kBlendDifference = 26,
    kBlendColorDodge = 27,
    kBlendLinearDodge = 29,
    kBlendLinearBurn = 30,
    kBlendLinearLight = 31,
    kBlendVividLight = 32,
    kBlendPinLight = 33,
    kBlendLighterColor = 35,
    kBlendDarkerColor = 36,
    kBlendSubtract = 37,
    kBlendDivide = 38
};

// Popup value 1..25 (the menu offers 1..23); anything else falls back to Multiply.
std::int32_t BlendCodeForPopup(std::int32_t popup_value);

// Hue, Saturation, Color and Luminosity mix the three colour channels through HSV; every
// other mode treats each channel on its own.
inline bool IsHueBlend(std::int32_t code) { return code >= kBlendHue && code <= kBlendLuminosity; }

}  // namespace qxv
