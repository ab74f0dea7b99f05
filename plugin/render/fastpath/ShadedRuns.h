// The 8-bit pixels of a run in the modes shaded from the amount of fill (those that blend
// channel by channel in lanes, Soft light, Hue and Color) shaded together when its first
// pixel is asked for: four at a time in the SSE unit, eight in the AVX unit where the
// processor has it (WideShadedRuns.cpp), each channel of the pixels in the lanes of one
// register, so that the host's call for each later pixel only finds its result. Shading one
// pixel per call kept a register's four lanes on its four channels (alpha's for nothing) and
// redid the conversions a call at a time; Hue's saturation, value and composite and Soft
// light's double-precision sums were most of a band pixel. Each lane takes the very steps
// of the pixel functions' own shading (PixelFunctions.cpp, Blending.h) in the same order and
// precision, so every byte is the one the pixel alone would give.
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "render/Blending.h"
#include "render/PixelFormats.h"
#include "render/PixelFunctions.h"
#include "render/fastpath/FastMasks.h"

namespace qxv {

// The modes that shade a pixel's four channels in one register.
constexpr bool ShadesInLanes(std::int32_t code) { return IsLaneWiseBlend(code) || code == kBlendSoftLight; }

// The hue-based modes whose composite keeps the fill's hue, so that its sector on the colour
// wheel is the same for every pixel: "Hue" (the source's saturation and value) and "Color"
// (the source's value). They blend the composite as "Normal".
constexpr bool KeepsFillHue(std::int32_t code) { return code == kBlendHue || code == kBlendColor; }

// The modes whose pixels are shaded from the amount of fill alone (the pixel functions'
// ShadeWithAmount), and whose 8-bit runs are shaded ahead.
constexpr bool ShadesFromAmount(std::int32_t code) { return ShadesInLanes(code) || KeepsFillHue(code); }

namespace shaded_runs {

// The channel at byte kOffset of four pixels, byte / 255 as ByteToFloat gives it.
template <int kOffset>
inline __m128 Channel(__m128i pixels) {
    const __m128i bytes = _mm_and_si128(_mm_srli_epi32(pixels, 8 * kOffset), _mm_set1_epi32(0xFF));
    return _mm_div_ps(_mm_cvtepi32_ps(bytes), _mm_set1_ps(255.0f));
}

// And back as FloatToByte gives it, at byte kOffset.
template <int kOffset>
inline __m128i Bytes(__m128 v) {
    return _mm_slli_epi32(LimitAndTruncateLanes(_mm_mul_ps(v, _mm_set1_ps(255.0f)), 255.0f), 8 * kOffset);
}

// One channel of four pixels in "Soft light" at the amounts k, in double precision two
// lanes at a time as BlendChannelFor computes it; the fill channel's side of the middle is
// the frame's.
inline __m128 SoftLight(__m128 s, float c, __m128 k) {
    const double cd = c;
    const auto half = [c, cd](__m128d sd, __m128d kd) {
        const __m128d mix = (1.0 - kd) * sd;
        if (c <= 0.5f) return _mm_cvtpd_ps((sd * kd) * (cd + 0.5) + mix);
        return _mm_cvtpd_ps((1.0 - (1.0 - (cd - 0.5)) * (1.0 - sd)) * kd + mix);
    };
    return _mm_movelh_ps(half(_mm_cvtps_pd(s), _mm_cvtps_pd(k)),
                         half(_mm_cvtps_pd(_mm_movehl_ps(s, s)), _mm_cvtps_pd(_mm_movehl_ps(k, k))));
}

// The colour channels of four pixels in "Hue" or "Color" at the amounts k, as the pixel
// function's ShadeWithAmount shades one: the composite of the fill's hue (its sector known),
// the source's value and, for "Hue", the source's saturation (SaturationAndValue,
// HsvToRgbInSector), blended as "Normal". A saturation of 0 needs no case of its own here:
// p, q and t are then each (1 - 0) * v = v, the grey the pixel function takes.
template <std::int32_t kCode>
inline void FillHue(const ShadingJob& job, __m128 r, __m128 g, __m128 b, __m128 k, __m128* red_out,
                    __m128* green_out, __m128* blue_out) {
    // Bytes / 255 are never negative zero or not-a-number, so the processor's max and min
    // choose as std::max and std::min do.
    const __m128 v = _mm_max_ps(_mm_max_ps(r, g), b);
    __m128 sat;
    if constexpr (kCode == kBlendHue) {
        const __m128 min = _mm_min_ps(_mm_min_ps(r, g), b);
        // (max - min) / max where they differ, so max > 0 and the quotient is finite.
        sat = _mm_andnot_ps(_mm_cmpeq_ps(v, min), _mm_div_ps(_mm_sub_ps(v, min), v));
    } else {
        sat = _mm_set1_ps(job.fill_hsv.s);
    }
    const float f = job.fill_sector.f;
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 p = (one - sat) * v;
    const __m128 q = (one - f * sat) * v;
    const __m128 t = (one - (1.0f - f) * sat) * v;
    __m128 red, green, blue;
    SectorChannels(job.fill_sector.i, v, p, q, t, &red, &green, &blue);
    *red_out = LaneWiseBlend<kBlendNormal>(r, red, k);
    *green_out = LaneWiseBlend<kBlendNormal>(g, green, k);
    *blue_out = LaneWiseBlend<kBlendNormal>(b, blue, k);
}

// Four pixels at the amounts k; alpha stays the source's byte.
template <class Format, std::int32_t kCode>
inline __m128i ShadeFour(const ShadingJob& job, __m128i pixels, __m128 k) {
    const __m128 r = Channel<Format::kRed>(pixels), g = Channel<Format::kGreen>(pixels),
                 b = Channel<Format::kBlue>(pixels);
    __m128 red, green, blue;
    if constexpr (kCode == kBlendSoftLight) {
        const RenderContext& ctx = job.context;
        red = SoftLight(r, ctx.fill_red, k);
        green = SoftLight(g, ctx.fill_green, k);
        blue = SoftLight(b, ctx.fill_blue, k);
    } else if constexpr (KeepsFillHue(kCode)) {
        FillHue<kCode>(job, r, g, b, k, &red, &green, &blue);
    } else {
        const RenderContext& ctx = job.context;
        red = LaneWiseBlend<kCode>(r, _mm_set1_ps(ctx.fill_red), k);
        green = LaneWiseBlend<kCode>(g, _mm_set1_ps(ctx.fill_green), k);
        blue = LaneWiseBlend<kCode>(b, _mm_set1_ps(ctx.fill_blue), k);
    }
    const __m128i alpha = _mm_and_si128(pixels, _mm_set1_epi32(static_cast<int>(0xFFu << (8 * Format::kAlpha))));
    return _mm_or_si128(_mm_or_si128(alpha, Bytes<Format::kRed>(red)),
                        _mm_or_si128(Bytes<Format::kGreen>(green), Bytes<Format::kBlue>(blue)));
}

}  // namespace shaded_runs

// For i below count: inputs[i] = the 8-bit pixel `pixels[i]` and outputs[i] = the pixel
// function's result for it at the amount amounts[i]. inputs, outputs and amounts hold count
// rounded up to eight; pixels only count.
template <class Format, std::int32_t kCode>
void ShadeRunFourLanes(const ShadingJob& job, int count, const float* amounts, const void* pixels,
                       std::uint32_t* inputs, std::uint32_t* outputs) {
    static_assert(Format::kEightBit && ShadesFromAmount(kCode), "8-bit pixels in a mode whose runs are shaded ahead");
    const auto* from = static_cast<const A_u_char*>(pixels);
    alignas(16) std::uint32_t last[4] = {};
    for (int i = 0; i < count; i += 4) {
        const A_u_char* four_pixels = from + 4 * i;
        if (count - i < 4) {
            // The last one to three, without reading past them.
            std::memcpy(last, four_pixels, static_cast<std::size_t>(count - i) * sizeof(std::uint32_t));
            four_pixels = reinterpret_cast<const A_u_char*>(last);
        }
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(four_pixels));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(inputs + i), four);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(outputs + i),
                         shaded_runs::ShadeFour<Format, kCode>(job, four, _mm_loadu_ps(amounts + i)));
    }
}

// The same eight pixels per step in the AVX unit, for processors that have it (HasWideLanes
// in FastMasks.h; never on Windows); `bgra` chooses the layout (Bgra8Format, else
// Argb8Format) and the job's blend code the mode.
void ShadeRunEightLanes(const ShadingJob& job, bool bgra, int count, const float* amounts, const void* pixels,
                        std::uint32_t* inputs, std::uint32_t* outputs);

// ShadeRunFourLanes, or ShadeRunEightLanes where the processor has it.
template <class Format, std::int32_t kCode>
void ShadeRun(const ShadingJob& job, int count, const float* amounts, const void* pixels, std::uint32_t* inputs,
              std::uint32_t* outputs) {
    if (HasWideLanes()) {
        ShadeRunEightLanes(job, std::is_same_v<Format, Bgra8Format>, count, amounts, pixels, inputs, outputs);
    } else {
        ShadeRunFourLanes<Format, kCode>(job, count, amounts, pixels, inputs, outputs);
    }
}

}  // namespace qxv
