// On its own, apart from the parameter table: the render set-up, the entry point, the overlay,
// the tests and the bench need the positions only.
//
// Positions of the effect's parameters in the host's parameter array. Index 0 is the input
// layer, which the host supplies itself.
#pragma once

namespace qxv {

enum ParamIndex {
    kParamInputLayer = 0,
    kParamVignetteType,   // popup: 1 Ellipse, 2 Rectangle
    kParamOrigin,         // point, 16.16 layer coordinates
    kParamWidth,          // float slider, pixels
    kParamHeight,         // float slider, pixels
    kParamAngle,          // angle, 16.16 degrees
    kParamFeather,        // float slider, pixels
    kParamFillWith,       // popup: 1 Color, 2 Transparent
    kParamColor,          // colour, 8-bit
    kParamOpacity,        // fixed slider, 16.16 percent
    kParamBlendingMode,   // popup: params/BlendModes.h
    kParamInvert,         // checkbox
    kParamMaskOnly,       // checkbox
    kParamAlphaFalloff,   // popup, 6 curves
    kParamCount           // what out_data->num_params reports
};

enum VignetteType { kVignetteEllipse = 1, kVignetteRectangle = 2 };
enum FillWith { kFillColor = 1, kFillTransparent = 2 };

}  // namespace qxv
