// What a working pixel becomes once its mask is known: the fill, the transparency or the
// bare mask, in single precision on normalised floats.
#pragma once

#include "AE_Effect.h"
#include "render/BlendChannel.h"
#include "render/BlendModes.h"
#include "render/HsvConversion.h"
#include "render/RenderContext.h"

namespace qxv {

// The amount of fill that mask value m gives, before the blend applies the opacity.
inline float FillAmount(const RenderContext* ctx, float m) {
    if (ctx->fill_alpha != 0.0f) return m;
    // "Transparent": the remaining alpha, limited to 0..1 with not-a-number as 0.
    const float k = 1.0f - m * ctx->opacity;
    if (!(k > 0.0f)) return 0.0f;
    if (!(k < 1.0f)) return 1.0f;
    return k;
}

struct Hsv {
    float h, s, v;
};

inline Hsv FillHsv(const RenderContext* ctx) {
    Hsv fill;
    RgbToHsv(ctx->fill_red, ctx->fill_green, ctx->fill_blue, &fill.h, &fill.s, &fill.v);
    return fill;
}

// The hue-based modes lay an HSV composite of source and fill over the source as "Normal".
// `fill` is FillHsv(ctx), which callers shading a whole frame compute once.
inline void BlendHue(const RenderContext* ctx, const Hsv& fill, const PF_PixelFloat* src, float k, PF_PixelFloat* out) {
    float src_h, src_s, src_v;
    RgbToHsv(src->red, src->green, src->blue, &src_h, &src_s, &src_v);
    PF_PixelFloat composite = *src;
    switch (ctx->blend_code) {
        case kBlendHue: HsvToRgb(fill.h, src_s, src_v, &composite); break;
        case kBlendSaturation: HsvToRgb(src_h, fill.s, src_v, &composite); break;
        case kBlendColor: HsvToRgb(fill.h, fill.s, src_v, &composite); break;
        default: HsvToRgb(src_h, src_s, fill.v, &composite); break;  // Luminosity
    }
    out->alpha = src->alpha;
    out->blue = BlendChannel(src->blue, composite.blue, k, kBlendNormal);
    out->green = BlendChannel(src->green, composite.green, k, kBlendNormal);
    out->red = BlendChannel(src->red, composite.red, k, kBlendNormal);
}

// Blend code 0: the amount becomes the alpha, replacing the source's. Opacity is not
// applied again: under "Mask Only" with a colour fill it is not applied at all.
inline void ShadeWithoutBlend(const RenderContext* ctx, float k, const PF_PixelFloat* src, PF_PixelFloat* out) {
    out->alpha = k;
    if (ctx->fill_alpha == 0.0f) {
        out->red = src->red;
        out->green = src->green;
        out->blue = src->blue;
    } else {
        out->red = ctx->fill_red;
        out->green = ctx->fill_green;
        out->blue = ctx->fill_blue;
    }
}

// Everything after the mask: writes every channel of out, reads src only. The fill's HSV
// comes from `fill_hsv` where given, else from the context.
inline void ShadeWithMask(const RenderContext* ctx, float m, const PF_PixelFloat* src, PF_PixelFloat* out,
                          const Hsv* fill_hsv = nullptr) {
    float k = FillAmount(ctx, m);
    const std::int32_t code = ctx->blend_code;
    if (code == kBlendNone) {
        ShadeWithoutBlend(ctx, k, src, out);
        return;
    }
    k = k * ctx->opacity;
    if (IsHueBlend(code)) {
        BlendHue(ctx, fill_hsv ? *fill_hsv : FillHsv(ctx), src, k, out);
        return;
    }
    out->alpha = src->alpha;
    out->blue = BlendChannel(src->blue, ctx->fill_blue, k, code);
    out->green = BlendChannel(src->green, ctx->fill_green, k, code);
    out->red = BlendChannel(src->red, ctx->fill_red, k, code);
}

// ShadeWithMask with a per-channel mode fixed at compile time; kBlendNone stands for every
// mode decided at run time (no blend, the hue-based modes).
template <std::int32_t kCode>
inline void ShadeWithMaskFor(const RenderContext* ctx, float m, const PF_PixelFloat* src, PF_PixelFloat* out,
                             const Hsv* fill_hsv) {
    if constexpr (kCode == kBlendNone) {
        ShadeWithMask(ctx, m, src, out, fill_hsv);
    } else {
        (void)fill_hsv;
        const float k = FillAmount(ctx, m) * ctx->opacity;
        out->alpha = src->alpha;
        out->blue = BlendChannelFor<kCode>(src->blue, ctx->fill_blue, k);
        out->green = BlendChannelFor<kCode>(src->green, ctx->fill_green, k);
        out->red = BlendChannelFor<kCode>(src->red, ctx->fill_red, k);
    }
}

}  // namespace qxv
