// A parameter array as the host hands it to Render, with the effect's defaults, for tests
// that drive the set-up and the render command directly.
#pragma once

#include <cstring>

#include "AE_Effect.h"
#include "params/ParamIndex.h"

namespace qxv::test {

struct ParamSet {
    PF_ParamDef defs[kParamCount];
    PF_ParamDef* list[kParamCount];

    ParamSet() {
        std::memset(defs, 0, sizeof defs);
        for (int i = 0; i < kParamCount; ++i) list[i] = &defs[i];
        defs[kParamVignetteType].u.pd.value = kVignetteEllipse;
        SetOrigin(50.0, 50.0);
        defs[kParamWidth].u.fs_d.value = 300.0;
        defs[kParamHeight].u.fs_d.value = 200.0;
        defs[kParamFeather].u.fs_d.value = 100.0;
        defs[kParamFillWith].u.pd.value = kFillColor;
        defs[kParamColor].u.cd.value = PF_Pixel{255, 0, 0, 0};
        SetOpacityPercent(25);
        defs[kParamBlendingMode].u.pd.value = 3;  // Multiply
        defs[kParamAlphaFalloff].u.pd.value = 1;  // Linear
    }

    void SetOrigin(double x, double y) {
        defs[kParamOrigin].u.td.x_value = static_cast<PF_Fixed>(x * 65536.0);
        defs[kParamOrigin].u.td.y_value = static_cast<PF_Fixed>(y * 65536.0);
    }
    void SetAngleDegrees(double degrees) { defs[kParamAngle].u.ad.value = static_cast<PF_Fixed>(degrees * 65536.0); }
    void SetOpacityPercent(double percent) {
        defs[kParamOpacity].u.fd.value = static_cast<PF_Fixed>(percent * 65536.0);
    }
    void SetColor(A_u_char red, A_u_char green, A_u_char blue) {
        defs[kParamColor].u.cd.value = PF_Pixel{255, red, green, blue};
    }
    PF_ParamDef& operator[](int index) { return defs[index]; }
};

// in_data with full resolution and square pixels.
inline PF_InData FullResolutionInData() {
    PF_InData in_data;
    std::memset(&in_data, 0, sizeof in_data);
    in_data.downsample_x = {1, 1};
    in_data.downsample_y = {1, 1};
    in_data.pixel_aspect_ratio = {1, 1};
    return in_data;
}

}  // namespace qxv::test
