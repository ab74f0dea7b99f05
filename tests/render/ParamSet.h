// A parameter array as the host hands it to Render, with the effect's defaults, for tests
// and benches that drive the set-up and the render command directly. The defaults are the
// registration's own: the plug-in's ParamsSetup fills the array, as a host would store it.
#pragma once

#include <cstring>

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "entry/Commands.h"
#include "params/ParamIndex.h"

namespace qxv::test {

struct ParamSet {
    PF_ParamDef defs[kParamCount];
    PF_ParamDef* list[kParamCount];

    ParamSet() {
        std::memset(defs, 0, sizeof defs);
        for (int i = 0; i < kParamCount; ++i) list[i] = &defs[i];
        Register();
    }
    // A copy's list points into the copy's own definitions.
    ParamSet(const ParamSet& other) { *this = other; }
    ParamSet& operator=(const ParamSet& other) {
        std::memcpy(defs, other.defs, sizeof defs);
        for (int i = 0; i < kParamCount; ++i) list[i] = &defs[i];
        added_ = other.added_;
        return *this;
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

private:
    // What add_param appends goes to the next slot after the input layer; the effect
    // reference is the set itself.
    int added_ = kParamInputLayer;

    static PF_Err AddParam(PF_ProgPtr effect_ref, PF_ParamIndex, PF_ParamDefPtr def) {
        auto* set = reinterpret_cast<ParamSet*>(effect_ref);
        if (set->added_ + 1 >= kParamCount) return PF_Err_BAD_CALLBACK_PARAM;
        set->defs[++set->added_] = *def;
        return PF_Err_NONE;
    }
    static PF_Err RegisterUi(PF_ProgPtr, PF_CustomUIInfo*) { return PF_Err_NONE; }
    static A_char* CopyName(A_char* dst, const A_char* src) { return std::strcpy(dst, src); }

    void Register() {
        PF_UtilCallbacks utils;
        std::memset(&utils, 0, sizeof utils);
        utils.ansi.strcpy = CopyName;
        PF_InData in_data;
        std::memset(&in_data, 0, sizeof in_data);
        in_data.effect_ref = reinterpret_cast<PF_ProgPtr>(this);
        in_data.inter.add_param = AddParam;
        in_data.inter.register_ui = RegisterUi;
        in_data.utils = &utils;
        PF_OutData out_data;
        std::memset(&out_data, 0, sizeof out_data);
        ParamsSetup(&in_data, &out_data);
    }
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
