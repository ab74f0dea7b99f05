// The four-lane curve runs FastMasks.h declares, in a file of their own: only the functions
// here are compiled for AVX2 (per-function target attributes), and called only where the
// processor has it. Other targets, and Windows (see HasWideLanes), get the stubs at the
// end.
#include "render/fastpath/FastMasks.h"

#if defined(__x86_64__) && !defined(_WIN32)
#include <immintrin.h>

#define QXV_WIDE_CURVE_LANES 1
#endif

namespace qxv {

#if QXV_WIDE_CURVE_LANES

bool HasWideLanes() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

namespace {

#define QXV_WIDE [[gnu::target("avx2"), gnu::always_inline]] inline

// Each step below is PowCurveBounds.h's, in the same order, on four lanes instead of two.

QXV_WIDE __m256d Times(__m256d a, double b) { return _mm256_mul_pd(a, _mm256_set1_pd(b)); }
QXV_WIDE __m256d OneMinus(__m256d a) { return _mm256_sub_pd(_mm256_set1_pd(1.0), a); }

// table[index lane i] in lane i, by four loads: on the processors measured (Zen 3) they
// cost less than the gather instruction, most for Gamma 2.2's three tables (bench/README.md).
QXV_WIDE __m256d Gather(const double* table, __m128i index) {
    const std::int64_t low = _mm_cvtsi128_si64(index), high = _mm_extract_epi64(index, 1);
    return _mm256_setr_pd(table[static_cast<std::int32_t>(low)], table[low >> 32],
                          table[static_cast<std::int32_t>(high)], table[high >> 32]);
}

// The lanes of four 32-bit masks (all ones or zeros) as bits 0..3.
QXV_WIDE int LaneBits(__m128i where) { return _mm_movemask_ps(_mm_castsi128_ps(where)); }

// pow_curve_lanes::ExpSeries.
QXV_WIDE __m256d ExpSeries(__m256d s) {
    using pow_curve_tables::kExpSeries;
    const __m256d s2 = _mm256_mul_pd(s, s), s4 = _mm256_mul_pd(s2, s2);
    const __m256d low = OneMinus(Times(s, kExpSeries[0]));
    const __m256d middle = _mm256_sub_pd(_mm256_set1_pd(kExpSeries[1]), Times(s, kExpSeries[2]));
    const __m256d high = _mm256_sub_pd(_mm256_set1_pd(kExpSeries[3]), Times(s, kExpSeries[4]));
    return _mm256_add_pd(low, _mm256_add_pd(_mm256_mul_pd(s2, middle), _mm256_mul_pd(s4, high)));
}

// pow_curve_lanes::GammaSeries.
QXV_WIDE __m256d GammaSeries(__m256d d) {
    using pow_curve_tables::kGammaSeries;
    const __m256d d2 = _mm256_mul_pd(d, d), d4 = _mm256_mul_pd(d2, d2);
    const __m256d low = _mm256_add_pd(_mm256_set1_pd(1.0), Times(d, kGammaSeries[0]));
    const __m256d middle = _mm256_add_pd(_mm256_set1_pd(kGammaSeries[1]), Times(d, kGammaSeries[2]));
    const __m256d high = _mm256_add_pd(_mm256_set1_pd(kGammaSeries[3]), Times(d, kGammaSeries[4]));
    return _mm256_add_pd(low, _mm256_add_pd(_mm256_mul_pd(d2, middle), _mm256_mul_pd(d4, high)));
}

// pow_curve_lanes::ExpOfNegative; a lane out of the table reads its entry 0, as there. The
// whole part is rounded towards zero in the double lanes (the value the integer conversion
// gives back), so that the series need not wait for the conversions to and from integers.
QXV_WIDE int ExpOfNegative(__m256d steps, __m256d* step, __m256d* series) {
    using namespace pow_curve_tables;
    const __m128i whole = _mm256_cvttpd_epi32(steps);
    const __m128i in_table = _mm_and_si128(_mm_cmpgt_epi32(whole, _mm_set1_epi32(-1)),
                                           _mm_cmplt_epi32(whole, _mm_set1_epi32(kExpSteps)));
    *series = ExpSeries(_mm256_sub_pd(steps, _mm256_round_pd(steps, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC)));
    *step = Gather(kExpOfNegativeStep, _mm_and_si128(whole, in_table));
    return LaneBits(in_table);
}

// pow_curve_lanes::GammaPower, with SplitForGamma on four lanes' bits: a lane it does not
// serve takes the zeros of an empty split, as there.
QXV_WIDE int GammaPower(const float* t, __m256d* tables, __m256d* series) {
    using namespace pow_curve_tables;
    const __m128i bits = _mm_castps_si128(_mm_loadu_ps(t));
    const __m128i biased_exponent = _mm_srli_epi32(bits, 23);
    const __m128i served = _mm_and_si128(_mm_cmpgt_epi32(biased_exponent, _mm_setzero_si128()),
                                         _mm_cmplt_epi32(biased_exponent, _mm_set1_epi32(128)));
    const __m128i mantissa = _mm_and_si128(_mm_and_si128(bits, _mm_set1_epi32(0x7FFFFF)), served);
    const __m128i interval = _mm_srli_epi32(mantissa, 16);
    const __m128i power_of_two = _mm_and_si128(_mm_sub_epi32(_mm_set1_epi32(127), biased_exponent), served);
    const __m128i from_centre =
        _mm_sub_epi32(_mm_and_si128(mantissa, _mm_set1_epi32(0xFFFF)), _mm_set1_epi32(0x8000));
    const __m256d d = _mm256_mul_pd(_mm256_cvtepi32_pd(from_centre), Gather(kMantissaUnitOverCentre, interval));
    *series = GammaSeries(d);
    *tables = _mm256_mul_pd(Gather(kGammaOfPowerOfTwo, power_of_two), Gather(kGammaOfCentre, interval));
    return LaneBits(served);
}

// pow_curve_lanes::ServedByExp of four floats, as lane bits: ordered comparisons, false for a
// lane that is not a number, as the scalar ones.
QXV_WIDE int ServedByExp(const float* t) {
    const __m128 value = _mm_loadu_ps(t);
    return _mm_movemask_ps(_mm_and_ps(_mm_cmp_ps(value, _mm_set1_ps(0x1p-126f), _CMP_GE_OQ),
                                      _mm_cmp_ps(value, _mm_set1_ps(1.0f), _CMP_LE_OQ)));
}

// PowCurveBoundsFor on t[0..3].
template <std::int32_t kFalloff>
QXV_WIDE int Bounds(const float* t, __m256d* low, __m256d* high) {
    const double kLow = 1.0 - kRelativeBound, kHigh = 1.0 + kRelativeBound;
    if constexpr (kFalloff == kFalloffGamma22) {
        __m256d tables, series;
        const int lanes = GammaPower(t, &tables, &series);
        *low = _mm256_mul_pd(Times(tables, kLow), series);
        *high = _mm256_mul_pd(Times(tables, kHigh), series);
        return lanes;
    } else if constexpr (kFalloff == kFalloffGaussian) {
        const __m256d wide = _mm256_cvtps_pd(_mm_loadu_ps(t));
        const __m256d steps =
            _mm256_mul_pd(Times(_mm256_mul_pd(wide, wide), pow_curve_tables::kLn360Steps), _mm256_sqrt_pd(wide));
        __m256d step, series;
        const int lanes = ServedByExp(t) & ExpOfNegative(steps, &step, &series);
        const __m256d bound = _mm256_add_pd(Times(steps, 0x1p-51), _mm256_set1_pd(0x1p-44));  // GaussianBound
        *low = OneMinus(_mm256_mul_pd(_mm256_mul_pd(step, _mm256_add_pd(_mm256_set1_pd(1.0), bound)), series));
        *high = OneMinus(_mm256_mul_pd(_mm256_mul_pd(step, OneMinus(bound)), series));
        return lanes;
    } else {
        __m256d step, series;
        const __m256d steps = Times(_mm256_cvtps_pd(_mm_loadu_ps(t)), pow_curve_tables::kLn2_5Steps);
        const int served = ServedByExp(t) & ExpOfNegative(steps, &step, &series);
        const __m256d low_w = OneMinus(_mm256_mul_pd(Times(step, kHigh), series));
        *low = Times(low_w, pow_curve_lanes::kFiveThirdsBelow);
        *high = Times(OneMinus(_mm256_mul_pd(Times(step, kLow), series)), pow_curve_lanes::kFiveThirdsAbove);
        return served & _mm256_movemask_pd(_mm256_cmp_pd(low_w, _mm256_setzero_pd(), _CMP_GT_OQ));
    }
}

// AgreedFloatLanes on four lanes.
QXV_WIDE int AgreedFloats(int served, __m256d low, __m256d high, __m128* values) {
    *values = _mm256_cvtpd_ps(low);
    const __m128i same = _mm_cmpeq_epi32(_mm_castps_si128(*values), _mm_castps_si128(_mm256_cvtpd_ps(high)));
    return served & _mm_movemask_ps(_mm_castsi128_ps(same));
}

// CornerDistanceLanes on four lanes.
QXV_WIDE __m256d CornerDistance(__m256d cu, __m256d cv) {
    const __m256d g = _mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(cu, cu), _mm256_mul_pd(cv, cv)));
    return _mm256_blendv_pd(g, _mm256_set1_pd(1.0), _mm256_cmp_pd(g, _mm256_set1_pd(1.0), _CMP_GT_OQ));
}

QXV_WIDE int NotNegative(__m256d v) { return _mm256_movemask_pd(_mm256_cmp_pd(v, _mm256_setzero_pd(), _CMP_GE_OQ)); }

// Lanes quad..quad+3 of a run, as StoreTwoLanes.
template <class Exact>
QXV_WIDE void StoreFourLanes(int wanted, int agreed, __m128 agreed_values, float* values, Exact exact) {
    if (wanted == 15 && agreed == 15) {
        _mm_storeu_ps(values, agreed_values);
        return;
    }
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, agreed_values);
    for (int lane = 0; lane < 4; ++lane) {
        if (wanted & (1 << lane)) values[lane] = agreed & (1 << lane) ? lanes[lane] : exact(lane);
    }
}

template <std::int32_t kFalloff>
[[gnu::target("avx2")]] void BandRun(const RenderContext* ctx, std::uint64_t wanted, const float* t, float* values) {
    for (int quad = 0; quad < 64 && wanted >> quad; quad += 4) {
        const int lanes = static_cast<int>(wanted >> quad) & 15;
        if (!lanes) continue;
        __m256d low, high;
        const int served = Bounds<kFalloff>(t + quad, &low, &high);
        __m128 agreed_values;
        const int agreed = AgreedFloats(served, low, high, &agreed_values);
        StoreFourLanes(lanes, agreed, agreed_values, values + quad,
                       [&](int lane) { return static_cast<float>(FalloffCurve(ctx, t[quad + lane])); });
    }
}

template <std::int32_t kFalloff>
[[gnu::target("avx2")]] void CornerRun(const RenderContext* ctx, std::uint64_t wanted, const float* p,
                                       const float* q, bool q_constant, float* values) {
    __m256d low_v = _mm256_setzero_pd(), high_v = _mm256_setzero_pd();
    int served_v = 0;
    if (q_constant) {
        const float only = q[__builtin_ctzll(wanted)];
        const float same[4] = {only, only, only, only};
        served_v = Bounds<kFalloff>(same, &low_v, &high_v);
    }
    for (int quad = 0; quad < 64 && wanted >> quad; quad += 4) {
        const int lanes = static_cast<int>(wanted >> quad) & 15;
        if (!lanes) continue;
        if (!q_constant) served_v = Bounds<kFalloff>(q + quad, &low_v, &high_v);
        __m256d low_u, high_u;
        const int served = Bounds<kFalloff>(p + quad, &low_u, &high_u) & served_v & NotNegative(low_u) &
                           NotNegative(low_v);
        __m128 agreed_values;
        const int agreed =
            AgreedFloats(served, CornerDistance(low_u, low_v), CornerDistance(high_u, high_v), &agreed_values);
        StoreFourLanes(lanes, agreed, agreed_values, values + quad,
                       [&](int lane) { return ExactCorner(ctx, p[quad + lane], q[quad + lane]); });
    }
}

}  // namespace

void BandCurveRunWide(const RenderContext* ctx, std::uint64_t wanted, const float* t, float* values) {
    WithPowCurve(ctx->falloff, [&](auto curve) { BandRun<decltype(curve)::value>(ctx, wanted, t, values); });
}

void CornerCurveRunWide(const RenderContext* ctx, std::uint64_t wanted, const float* p, const float* q,
                        bool q_constant, float* values) {
    WithPowCurve(ctx->falloff,
                 [&](auto curve) { CornerRun<decltype(curve)::value>(ctx, wanted, p, q, q_constant, values); });
}

#else

bool HasWideLanes() { return false; }
void BandCurveRunWide(const RenderContext*, std::uint64_t, const float*, float*) {}
void CornerCurveRunWide(const RenderContext*, std::uint64_t, const float*, const float*, bool, float*) {}

#endif

}  // namespace qxv
