// ShadedRuns.h's runs eight pixels per step, in the AVX unit's 256-bit lanes, for processors
// that have it (see HasWideLanes): each step is ShadedRuns.h's, in the same order and
// precision, each lane rounded as the SSE unit rounds it. Only these functions are compiled
// for AVX2; other targets and Windows get the stub at the end.
#include "render/fastpath/ShadedRuns.h"

#if defined(__x86_64__) && !defined(_WIN32)
#include <immintrin.h>

#define QXV_WIDE_SHADED_RUNS 1
#endif

namespace qxv {

#if QXV_WIDE_SHADED_RUNS

namespace {

#define QXV_WIDE [[gnu::target("avx2"), gnu::always_inline]] inline

QXV_WIDE __m256 Splat(float value) { return _mm256_set1_ps(value); }

template <int kOffset>
QXV_WIDE __m256 Channel8(__m256i pixels) {
    const __m256i bytes = _mm256_and_si256(_mm256_srli_epi32(pixels, 8 * kOffset), _mm256_set1_epi32(0xFF));
    return _mm256_div_ps(_mm256_cvtepi32_ps(bytes), Splat(255.0f));
}

template <int kOffset>
QXV_WIDE __m256i Bytes8(__m256 v) {
    const __m256 above_zero = _mm256_max_ps(_mm256_mul_ps(v, Splat(255.0f)), _mm256_setzero_ps());
    return _mm256_slli_epi32(_mm256_cvttps_epi32(_mm256_min_ps(above_zero, Splat(255.0f))), 8 * kOffset);
}

// The two halves of eight floats as doubles, and eight doubles back.
QXV_WIDE __m256d Low(__m256 v) { return _mm256_cvtps_pd(_mm256_castps256_ps128(v)); }
QXV_WIDE __m256d High(__m256 v) { return _mm256_cvtps_pd(_mm256_extractf128_ps(v, 1)); }
QXV_WIDE __m256 Floats(__m256d low, __m256d high) {
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm256_cvtpd_ps(low)), _mm256_cvtpd_ps(high), 1);
}

// Four lanes of SoftLight's double-precision half; `below`: the fill channel c <= 0.5.
QXV_WIDE __m256d SoftLightHalf(__m256d sd, __m256d kd, bool below, double cd) {
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d mix = _mm256_mul_pd(_mm256_sub_pd(one, kd), sd);
    if (below) return _mm256_add_pd(_mm256_mul_pd(_mm256_mul_pd(sd, kd), _mm256_set1_pd(cd + 0.5)), mix);
    const __m256d past = _mm256_set1_pd(1.0 - (cd - 0.5));
    return _mm256_add_pd(_mm256_mul_pd(_mm256_sub_pd(one, _mm256_mul_pd(past, _mm256_sub_pd(one, sd))), kd), mix);
}

QXV_WIDE __m256 SoftLight8(__m256 s, float c, __m256 k) {
    const bool below = c <= 0.5f;
    return Floats(SoftLightHalf(Low(s), Low(k), below, c), SoftLightHalf(High(s), High(k), below, c));
}

template <std::int32_t kCode>
QXV_WIDE void FillHue8(const ShadingJob& job, __m256 r, __m256 g, __m256 b, __m256 k, __m256* red_out,
                       __m256* green_out, __m256* blue_out) {
    const __m256 v = _mm256_max_ps(_mm256_max_ps(r, g), b);
    __m256 sat;
    if constexpr (kCode == kBlendHue) {
        const __m256 min = _mm256_min_ps(_mm256_min_ps(r, g), b);
        sat = _mm256_andnot_ps(_mm256_cmp_ps(v, min, _CMP_EQ_OQ), _mm256_div_ps(_mm256_sub_ps(v, min), v));
    } else {
        sat = Splat(job.fill_hsv.s);
    }
    const float f = job.fill_sector.f;
    const __m256 one = Splat(1.0f);
    const __m256 p = _mm256_mul_ps(_mm256_sub_ps(one, sat), v);
    const __m256 q = _mm256_mul_ps(_mm256_sub_ps(one, _mm256_mul_ps(Splat(f), sat)), v);
    const __m256 t = _mm256_mul_ps(_mm256_sub_ps(one, _mm256_mul_ps(Splat(1.0f - f), sat)), v);
    __m256 red, green, blue;
    SectorChannels(job.fill_sector.i, v, p, q, t, &red, &green, &blue);
    // LaneWiseBlend<kBlendNormal>: (1 - k) * s + c * k.
    const __m256 rest = _mm256_sub_ps(one, k);
    *red_out = _mm256_add_ps(_mm256_mul_ps(rest, r), _mm256_mul_ps(red, k));
    *green_out = _mm256_add_ps(_mm256_mul_ps(rest, g), _mm256_mul_ps(green, k));
    *blue_out = _mm256_add_ps(_mm256_mul_ps(rest, b), _mm256_mul_ps(blue, k));
}

// LaneWiseBlend's formulas, written out for the AVX unit's lanes.
template <std::int32_t kCode>
QXV_WIDE __m256 LaneWiseBlend8(__m256 s, __m256 c, __m256 k) {
    const __m256 one = Splat(1.0f);
    const __m256 rest = _mm256_mul_ps(_mm256_sub_ps(one, k), s);  // (1 - k) * s
    if constexpr (kCode == kBlendNormal) {
        return _mm256_add_ps(rest, _mm256_mul_ps(c, k));
    } else if constexpr (kCode == kBlendAdd || kCode == kBlendLinearDodge) {
        return _mm256_add_ps(_mm256_mul_ps(_mm256_add_ps(s, c), k), rest);
    } else if constexpr (kCode == kBlendMultiply) {
        return _mm256_add_ps(_mm256_mul_ps(_mm256_mul_ps(s, k), c), rest);
    } else if constexpr (kCode == kBlendScreen) {
        return _mm256_add_ps(_mm256_mul_ps(_mm256_sub_ps(_mm256_add_ps(s, c), _mm256_mul_ps(s, c)), k), rest);
    } else if constexpr (kCode == kBlendLinearBurn) {
        return _mm256_add_ps(_mm256_mul_ps(_mm256_sub_ps(_mm256_add_ps(s, c), one), k), rest);
    } else {
        return _mm256_add_ps(_mm256_mul_ps(_mm256_sub_ps(s, c), k), rest);  // Subtract
    }
}

template <class Format, std::int32_t kCode>
QXV_WIDE __m256i ShadeEight(const ShadingJob& job, __m256i pixels, __m256 k) {
    const __m256 r = Channel8<Format::kRed>(pixels), g = Channel8<Format::kGreen>(pixels),
                 b = Channel8<Format::kBlue>(pixels);
    __m256 red, green, blue;
    if constexpr (kCode == kBlendSoftLight) {
        const RenderContext& ctx = job.context;
        red = SoftLight8(r, ctx.fill_red, k);
        green = SoftLight8(g, ctx.fill_green, k);
        blue = SoftLight8(b, ctx.fill_blue, k);
    } else if constexpr (KeepsFillHue(kCode)) {
        FillHue8<kCode>(job, r, g, b, k, &red, &green, &blue);
    } else {
        const RenderContext& ctx = job.context;
        red = LaneWiseBlend8<kCode>(r, Splat(ctx.fill_red), k);
        green = LaneWiseBlend8<kCode>(g, Splat(ctx.fill_green), k);
        blue = LaneWiseBlend8<kCode>(b, Splat(ctx.fill_blue), k);
    }
    const __m256i alpha =
        _mm256_and_si256(pixels, _mm256_set1_epi32(static_cast<int>(0xFFu << (8 * Format::kAlpha))));
    return _mm256_or_si256(_mm256_or_si256(alpha, Bytes8<Format::kRed>(red)),
                           _mm256_or_si256(Bytes8<Format::kGreen>(green), Bytes8<Format::kBlue>(blue)));
}

template <class Format, std::int32_t kCode>
[[gnu::target("avx2")]] void ShadeRun8(const ShadingJob& job, int count, const float* amounts, const void* pixels,
                                       std::uint32_t* inputs, std::uint32_t* outputs) {
    const auto* from = static_cast<const A_u_char*>(pixels);
    alignas(32) std::uint32_t last[8] = {};
    for (int i = 0; i < count; i += 8) {
        const A_u_char* eight_pixels = from + 4 * i;
        if (count - i < 8) {
            std::memcpy(last, eight_pixels, static_cast<std::size_t>(count - i) * sizeof(std::uint32_t));
            eight_pixels = reinterpret_cast<const A_u_char*>(last);
        }
        const __m256i eight = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(eight_pixels));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(inputs + i), eight);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(outputs + i),
                            ShadeEight<Format, kCode>(job, eight, _mm256_loadu_ps(amounts + i)));
    }
}

template <class Format>
void ShadeRun8For(const ShadingJob& job, int count, const float* amounts, const void* pixels, std::uint32_t* inputs,
                  std::uint32_t* outputs) {
    const auto run = [&](auto mode) {
        constexpr std::int32_t kCode = decltype(mode)::value;
        if constexpr (ShadesFromAmount(kCode)) ShadeRun8<Format, kCode>(job, count, amounts, pixels, inputs, outputs);
    };
    // WithBlendCode leaves the hue-based modes to run-time dispatch; two of them have runs.
    switch (job.context.blend_code) {
        case kBlendHue: return run(std::integral_constant<std::int32_t, kBlendHue>{});
        case kBlendColor: return run(std::integral_constant<std::int32_t, kBlendColor>{});
        default: return WithBlendCode(job.context.blend_code, run);
    }
}

}  // namespace

void ShadeRunEightLanes(const ShadingJob& job, bool bgra, int count, const float* amounts, const void* pixels,
                        std::uint32_t* inputs, std::uint32_t* outputs) {
    (bgra ? ShadeRun8For<Bgra8Format> : ShadeRun8For<Argb8Format>)(job, count, amounts, pixels, inputs, outputs);
}

#else

void ShadeRunEightLanes(const ShadingJob&, bool, int, const float*, const void*, std::uint32_t*, std::uint32_t*) {}

#endif

}  // namespace qxv
