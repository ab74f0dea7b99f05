#include "overlay/OverlayParams.h"

#include "overlay/FixedMath.h"
#include "params/ParamIndex.h"

namespace qxv {

OverlayParams ReadOverlayParams(PF_ParamDef* params[]) {
    OverlayParams p;
    p.vignette_type = params[kParamVignetteType]->u.pd.value;
    p.origin.x = params[kParamOrigin]->u.td.x_value;
    p.origin.y = params[kParamOrigin]->u.td.y_value;
    p.width = params[kParamWidth]->u.fs_d.value;
    p.height = params[kParamHeight]->u.fs_d.value;
    p.angle = params[kParamAngle]->u.ad.value;
    p.feather = params[kParamFeather]->u.fs_d.value;
    p.opacity = params[kParamOpacity]->u.fd.value;
    return p;
}

float AngleRadians(PF_Fixed degrees) {
    return static_cast<float>(degrees * kFixedScale * 0.017453292519943295);
}

float PixelAspect(const PF_InData* in_data) {
    return static_cast<float>(in_data->pixel_aspect_ratio.num) / static_cast<float>(in_data->pixel_aspect_ratio.den);
}

float InversePixelAspect(const PF_InData* in_data) {
    return static_cast<float>(in_data->pixel_aspect_ratio.den) / static_cast<float>(in_data->pixel_aspect_ratio.num);
}

}  // namespace qxv
