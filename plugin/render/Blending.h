// How a working pixel takes its fill once its mask is known: the blending modes, each mode's
// formula on one colour channel, the HSV conversions of the hue-based modes, and the shading
// with the fill, the transparency or the bare mask.
#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "AE_Effect.h"
#include "params/BlendModes.h"
#include "render/RenderSetup.h"

namespace qxv {

// The two ways a mode mixes (the list's last column, params/BlendModes.h): each colour
// channel on its own, or the three together through HSV (Hue, Saturation, Color, Luminosity).
enum class BlendMix { kPerChannel, kHsv };

#define QXV_BLEND_CODE(name, code, label, mix) kBlend##name = code,
enum BlendCode : std::int32_t {
    kBlendNone = 0,  // plain fill, transparency or bare mask: no blending
    QXV_BLEND_MODES(QXV_BLEND_CODE)
};
#undef QXV_BLEND_CODE

// Popup value 1..25 (the menu offers 1..kBlendPopupOffered); anything else falls back to Multiply.
inline std::int32_t BlendCodeForPopup(std::int32_t popup_value) {
    // Indexed by popup value - 1, in menu order.
#define QXV_BLEND_POPUP(name, code, label, mix) kBlend##name,
    static constexpr std::int32_t kCodes[] = {QXV_BLEND_MODES(QXV_BLEND_POPUP)};
#undef QXV_BLEND_POPUP
    constexpr std::int32_t kCount = sizeof(kCodes) / sizeof(kCodes[0]);
    if (popup_value < 1 || popup_value > kCount) return kBlendMultiply;
    return kCodes[popup_value - 1];
}

constexpr bool IsHueBlend(std::int32_t code) {
    switch (code) {
#define QXV_BLEND_IS_HSV(name, code, label, mix) \
    case code:                                   \
        return BlendMix::mix == BlendMix::kHsv;
        QXV_BLEND_MODES(QXV_BLEND_IS_HSV)
#undef QXV_BLEND_IS_HSV
        default:
            return false;
    }
}

// Calls f with the mode's code as a compile-time constant (std::integral_constant); modes
// mixed through HSV and anything unknown arrive as kBlendNone, which the callers treat on
// their own.
template <class F>
inline decltype(auto) WithBlendCode(std::int32_t code, F&& f) {
    switch (code) {
#define QXV_BLEND_CASE(name, code, label, mix)                                                          \
    case code:                                                                                          \
        return f(std::integral_constant < std::int32_t,                                                 \
                 BlendMix::mix == BlendMix::kPerChannel ? static_cast<std::int32_t>(kBlend##name) : kBlendNone > {});
        QXV_BLEND_MODES(QXV_BLEND_CASE)
#undef QXV_BLEND_CASE
        default:
            return f(std::integral_constant<std::int32_t, kBlendNone>{});
    }
}

// One colour channel of a blend: s the source, c the fill, k the amount. Each formula is the
// mix k*B + (1-k)*s of the mode's blend result B, written in the order it is evaluated;
// results are not limited here. The branches above the middle grey of Overlay, Soft light,
// Hard light, Linear light, Vivid light and Pin light, and both of Soft light, run in double
// precision, as the effect always has; changing that would change output bits.

// The modes whose formula has no test: the same expression serves a single channel or the
// four lanes at once, each lane rounded exactly as the channel alone would be.
constexpr bool IsLaneWiseBlend(std::int32_t code) {
    return code == kBlendNormal || code == kBlendAdd || code == kBlendLinearDodge || code == kBlendMultiply ||
           code == kBlendScreen || code == kBlendLinearBurn || code == kBlendSubtract;
}

// The amount k is one float for every lane, or a lane each (four pixels' same channel).
template <std::int32_t kCode, class Channel, class Amount>
inline Channel LaneWiseBlend(Channel s, Channel c, Amount k) {
    static_assert(IsLaneWiseBlend(kCode), "a mode with a test");
    if constexpr (kCode == kBlendNormal) {
        return (1.0f - k) * s + c * k;
    } else if constexpr (kCode == kBlendAdd || kCode == kBlendLinearDodge) {
        return (s + c) * k + (1.0f - k) * s;
    } else if constexpr (kCode == kBlendMultiply) {
        return ((s * k) * c) + (1.0f - k) * s;
    } else if constexpr (kCode == kBlendScreen) {
        return ((s + c) - s * c) * k + (1.0f - k) * s;
    } else if constexpr (kCode == kBlendLinearBurn) {
        return ((s + c) - 1.0f) * k + (1.0f - k) * s;
    } else {
        return (s - c) * k + (1.0f - k) * s;  // Subtract
    }
}

// "Soft light" on the four lanes of a pixel (ChannelLanes), each lane in double precision as
// the channel alone: both branches are evaluated and each lane keeps the one its fill channel
// chooses, so no lane's arithmetic differs from the scalar formula's. What depends on the fill
// alone is computed once (SoftLightFill), the same values the formula computes per pixel.
struct SoftLightFill {
    __m128d below_middle[2];    // c <= 0.5, lanes 0-1 and 2-3, as all-ones or zeros
    __m128d plus_half[2];       // c + 0.5
    __m128d one_minus_past[2];  // 1 - (c - 0.5)
    int below_lanes;            // bit i: lane i is below the middle
};

inline SoftLightFill MakeSoftLightFill(__m128 c) {
    const __m128 below = _mm_cmple_ps(c, _mm_set1_ps(0.5f));
    const __m128d halves[2] = {_mm_cvtps_pd(c), _mm_cvtps_pd(_mm_movehl_ps(c, c))};
    SoftLightFill fill;
    fill.below_middle[0] = _mm_castps_pd(_mm_unpacklo_ps(below, below));
    fill.below_middle[1] = _mm_castps_pd(_mm_unpackhi_ps(below, below));
    for (int i = 0; i < 2; ++i) {
        fill.plus_half[i] = halves[i] + 0.5;
        fill.one_minus_past[i] = 1.0 - (halves[i] - 0.5);
    }
    fill.below_lanes = _mm_movemask_ps(below);
    return fill;
}

inline __m128 SoftLightLanes(__m128 s, const SoftLightFill& fill, float k) {
    const double kd = k;
    // A fill whose lanes all take the same branch (any colour but one with channels on both
    // sides of the middle) evaluates that branch alone.
    const auto half = [kd, &fill](__m128d sd, int i) {
        const __m128d mix = (1.0 - kd) * sd;
        if (fill.below_lanes == 15) return _mm_cvtpd_ps((sd * kd) * fill.plus_half[i] + mix);
        const __m128d high = (1.0 - fill.one_minus_past[i] * (1.0 - sd)) * kd + mix;
        if (fill.below_lanes == 0) return _mm_cvtpd_ps(high);
        const __m128d low = (sd * kd) * fill.plus_half[i] + mix;
        return _mm_cvtpd_ps(_mm_or_pd(_mm_and_pd(fill.below_middle[i], low), _mm_andnot_pd(fill.below_middle[i], high)));
    };
    return _mm_movelh_ps(half(_mm_cvtps_pd(s), 0), half(_mm_cvtps_pd(_mm_movehl_ps(s, s)), 1));
}

// The formula of one mode, chosen at compile time; BlendChannel dispatches to it at run time,
// so both forms evaluate the same expressions.
template <std::int32_t kCode>
inline float BlendChannelFor(float s, float c, float k) {
    const double sd = s, cd = c, kd = k;
    if constexpr (IsLaneWiseBlend(kCode)) {
        (void)sd, (void)cd, (void)kd;
        return LaneWiseBlend<kCode>(s, c, k);
    } else if constexpr (kCode == kBlendOverlay) {
        if (c <= 0.5f) return ((s * k) * c) * 2.0f + (1.0f - k) * s;
        return static_cast<float>(((2.0 * (cd - 0.5) + sd) - 2.0 * sd * (cd - 0.5)) * kd + (1.0 - kd) * sd);
    } else if constexpr (kCode == kBlendSoftLight) {
        if (c <= 0.5f) return static_cast<float>((sd * kd) * (cd + 0.5) + (1.0 - kd) * sd);
        return static_cast<float>((1.0 - (1.0 - (cd - 0.5)) * (1.0 - sd)) * kd + (1.0 - kd) * sd);
    } else if constexpr (kCode == kBlendHardLight) {
        if (c <= 0.5f) return ((s * k) * 2.0f) * c + (1.0f - k) * s;
        return static_cast<float>((1.0 - (1.0 - 2.0 * (cd - 0.5)) * (1.0 - sd)) * kd + (1.0 - kd) * sd);
    } else if constexpr (kCode == kBlendDarken || kCode == kBlendDarkerColor) {
        return s > c ? (1.0f - k) * s + c * k : s;
    } else if constexpr (kCode == kBlendLighten || kCode == kBlendLighterColor) {
        return c > s ? (1.0f - k) * s + c * k : s;
    } else if constexpr (kCode == kBlendDifference) {
        if (s > c) return (s - c) * k + (1.0f - k) * s;
        return (c - s) * k + (1.0f - k) * s;
    } else if constexpr (kCode == kBlendColorDodge) {
        if (c == 1.0f) return (1.0f - k) * s + k;
        return (s / (1.0f - c)) * k + (1.0f - k) * s;
    } else if constexpr (kCode == kBlendColorBurn) {
        if (c == 0.0f) return (1.0f - k) * s;
        return (1.0f - (1.0f - s) / c) * k + (1.0f - k) * s;
    } else if constexpr (kCode == kBlendLinearLight) {
        if (c <= 0.5f) return ((c * 2.0f + s) - 1.0f) * k + (1.0f - k) * s;
        return static_cast<float>((2.0 * (cd - 0.5) + sd) * kd + (1.0 - kd) * sd);
    } else if constexpr (kCode == kBlendVividLight) {
        if (c <= 0.5f) return (s * k) / (1.0f - c * 2.0f) + (1.0f - k) * s;
        return static_cast<float>((1.0 - (1.0 - sd) / (2.0 * (cd - 0.5))) * kd + (1.0 - kd) * sd);
    } else if constexpr (kCode == kBlendPinLight) {
        // The test only chooses the blend result: the mix is evaluated either way, and
        // s*k + (1-k)*s need not give s back in the last bit. Only Darken and Lighten return
        // s untouched when their test fails.
        if (c <= 0.5f) {
            const float t = 2.0f * c > s ? s : 2.0f * c;
            return t * k + (1.0f - k) * s;
        }
        const double t = sd > 2.0 * (cd - 0.5) ? sd : 2.0 * (cd - 0.5);
        return static_cast<float>((1.0 - kd) * sd + kd * t);
    } else if constexpr (kCode == kBlendDivide) {
        if (c == 0.0f) return (1.0f - k) * s;
        return (s / c) * k + (1.0f - k) * s;
    } else {
        (void)sd, (void)cd, (void)kd, (void)c, (void)k;
        return s;  // not a blend code
    }
}

inline float BlendChannel(float s, float c, float k, std::int32_t code) {
    return WithBlendCode(code, [&](auto mode) { return BlendChannelFor<decltype(mode)::value>(s, c, k); });
}

// RGB <-> HSV in single precision for the hue-based blend modes. Hue runs 0..1 for a full
// turn; the value is the largest channel, not a weighted luminance.

// The saturation and value of RgbToHsv alone, which the modes that keep the fill's hue need.
inline void SaturationAndValue(float r, float g, float b, float* sat, float* v) {
    const float max = std::max(std::max(r, g), b);
    const float min = std::min(std::min(r, g), b);
    *v = max;
    *sat = max == min ? 0.0f : (max - min) / max;
    if (!std::isfinite(*sat)) *sat = 0.0f;  // see RgbToHsv
}

inline void RgbToHsv(float r, float g, float b, float* h, float* sat, float* v) {
    const float max = std::max(std::max(r, g), b);
    const float min = std::min(std::min(r, g), b);
    *v = max;
    if (max == min) {
        *h = 0.0f;
        *sat = 0.0f;
        return;
    }
    const float d = max - min;
    *sat = d / max;
    // Ties go to red, then green: the tests are exact equalities with the maximum.
    if (max == r) {
        *h = ((g - b) / d + (b > g ? 6.0f : 0.0f)) / 6.0f;
    } else if (max == g) {
        *h = ((b - r) / d + 2.0f) / 6.0f;
    } else {
        *h = ((r - g) / d + 4.0f) / 6.0f;
    }
    // Float frames may carry any finite channels. A largest channel at or just above 0 with a
    // negative one below it, or channels so far apart that their difference overflows, leave
    // no saturation or hue in single precision: such a colour counts as grey rather than let
    // an infinity or a NaN into the frame. Every colour with a finite hue and saturation keeps
    // them bit for bit.
    if (!std::isfinite(*sat)) *sat = 0.0f;
    if (!std::isfinite(*h)) *h = 0.0f;
}

// Where a hue lies on the colour wheel: its sixth of the turn (0..5) and how far into it.
struct HueSector {
    float f;
    int i;
};

inline HueSector SectorOfHue(float h) {
    const float h6 = h * 6.0f;
    const float sector = std::floor(h6);
    // Sector 6 (h = 1) and anything unexpected share the last sector's formula.
    return {h6 - sector, (sector >= 0.0f && sector <= 5.0f) ? static_cast<int>(sector) : 5};
}

// The red, green and blue of a hue's sector from its value v and the sector's three mixes
// p, q and t (HsvToRgbInSector's), for floats or a register's lanes of them alike.
template <class T>
[[gnu::always_inline]] inline void SectorChannels(int sector, const T& v, const T& p, const T& q, const T& t,
                                                  T* red, T* green, T* blue) {
    switch (sector) {
        case 0: *red = v, *green = t, *blue = p; break;
        case 1: *red = q, *green = v, *blue = p; break;
        case 2: *red = p, *green = v, *blue = t; break;
        case 3: *red = p, *green = q, *blue = v; break;
        case 4: *red = t, *green = p, *blue = v; break;
        default: *red = v, *green = p, *blue = q; break;
    }
}

// HsvToRgb for a saturation that is not 0, the hue's sector known.
inline void HsvToRgbInSector(HueSector hue, float sat, float v, PF_PixelFloat* out) {
    const float f = hue.f;
    const float p = (1.0f - sat) * v;
    const float q = (1.0f - f * sat) * v;
    const float t = (1.0f - (1.0f - f) * sat) * v;
    float red, green, blue;
    SectorChannels(hue.i, v, p, q, t, &red, &green, &blue);
    out->red = red;
    out->green = green;
    out->blue = blue;
}

// Writes red, green and blue; alpha is left as it is.
inline void HsvToRgb(float h, float sat, float v, PF_PixelFloat* out) {
    if (sat == 0.0f) {
        out->red = out->green = out->blue = v;
        return;
    }
    HsvToRgbInSector(SectorOfHue(h), sat, v, out);
}

// What a working pixel becomes once its mask is known: the fill, the transparency or the
// bare mask, in single precision on normalised floats.

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
