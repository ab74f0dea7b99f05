#include "render/RenderSetup.h"

#include <cmath>

#include "params/ParamIndex.h"
#include "render/Blending.h"

namespace qxv {
namespace {

// Rationals are taken in single precision: each integer to float (den unsigned), then the
// quotient.
float RationalNumOverDen(const PF_RationalScale& r) {
    return static_cast<float>(r.num) / static_cast<float>(r.den);
}
float RationalDenOverNum(const PF_RationalScale& r) {
    return static_cast<float>(r.den) / static_cast<float>(r.num);
}

}  // namespace

void SetUpMask(const PF_InData* in_data, PF_ParamDef* const params[], RenderContext* ctx) {
    // Negative angle: with y pointing down, a positive Angle turns the width axis clockwise.
    const double angle = params[kParamAngle]->u.ad.value * (1.0 / 65536.0) * -0.017453292519943295;
    const float c = static_cast<float>(std::cos(angle));
    const float s = static_cast<float>(std::sin(angle));

    const float ox = static_cast<float>(params[kParamOrigin]->u.td.x_value / 65536.0);
    const float oy = static_cast<float>(params[kParamOrigin]->u.td.y_value / 65536.0);

    // Back to full-resolution square pixels: undo the pixel aspect and the downsampling.
    const float sx = RationalDenOverNum(in_data->pixel_aspect_ratio) * RationalNumOverDen(in_data->downsample_x);
    const float sy = RationalNumOverDen(in_data->downsample_y);

    float(&m)[3][3] = ctx->pixel_to_shape;
    m[0][0] = c / sx;
    m[0][1] = -(s / sy);
    m[0][2] = (oy * s) / sy - (ox * c) / sx;
    m[1][0] = s / sx;
    m[1][1] = c / sy;
    m[1][2] = -((ox * s) / sx) - (oy * c) / sy;
    m[2][0] = 0.0f;
    m[2][1] = 0.0f;
    m[2][2] = 1.0f;

    const float a = static_cast<float>(params[kParamWidth]->u.fs_d.value * 0.5);
    const float b = static_cast<float>(params[kParamHeight]->u.fs_d.value * 0.5);
    // The limit looks at the half-width only; the height axis gets the feather scaled by b/a.
    float f = static_cast<float>(params[kParamFeather]->u.fs_d.value);
    if (f >= a) f = a - 1.0f;
    const float ai = a - f;
    const float fb = f / (a / b);
    const float bi = b - fb;

    ctx->half_width = a;
    ctx->half_height = b;
    ctx->feather = f;
    ctx->inner_half_width = ai;
    ctx->inner_half_height = bi;

    ctx->is_ellipse = params[kParamVignetteType]->u.pd.value != kVignetteRectangle;
    if (ctx->is_ellipse) {
        ctx->coef_u = 1.0f / (a * a);
        ctx->coef_v = 1.0f / (b * b);
        ctx->outer_ab = b * a;
        ctx->inner_ab = bi * ai;
        ctx->inner_width_sq = ai * ai;
        ctx->inner_height_sq = bi * bi;
        ctx->inv_inner_width_sq = 1.0f / ctx->inner_width_sq;
        ctx->inv_inner_height_sq = 1.0f / ctx->inner_height_sq;
        ctx->width_sq = a * a;
        ctx->height_sq = b * b;
    } else {
        ctx->coef_u = 1.0f / f;
        ctx->coef_v = 1.0f / fb;
    }

    ctx->invert = (params[kParamInvert]->u.bd.value & 0xFF) != 0;
    ctx->falloff = params[kParamAlphaFalloff]->u.pd.value;
}

void SetUpCompositing(PF_ParamDef* const params[], RenderContext* ctx) {
    ctx->opacity = static_cast<float>(params[kParamOpacity]->u.fd.value * (1.0 / 65536.0) / 100.0);

    if (params[kParamFillWith]->u.pd.value == kFillTransparent) {
        ctx->fill_alpha = 0.0f;
    } else {
        // The colour's alpha byte plays no part.
        const PF_Pixel& color = params[kParamColor]->u.cd.value;
        ctx->fill_alpha = 1.0f;
        ctx->fill_red = static_cast<float>(color.red) / 255.0f;
        ctx->fill_green = static_cast<float>(color.green) / 255.0f;
        ctx->fill_blue = static_cast<float>(color.blue) / 255.0f;
    }

    if (params[kParamMaskOnly]->u.bd.value != 0 || ctx->fill_alpha == 0.0f) {
        ctx->blend_code = kBlendNone;
    } else {
        ctx->blend_code = BlendCodeForPopup(params[kParamBlendingMode]->u.pd.value);
    }
}

}  // namespace qxv
