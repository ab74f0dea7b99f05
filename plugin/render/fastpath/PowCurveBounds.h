// The "Gamma 2.2", "Gaussian" and "Exponential" curves without the C library's pow: a narrow
// interval that surely holds the double FalloffCurve computes with the library's pow. Where
// both ends of the interval round to the same float, that float is the exact path's result
// (rounding is monotonic), and the caller needs no pow at all.
//
// How the interval is made to hold the exact result. Let u = 2^-53.
// - The library's pow is taken to be within 2^-46 of the true power, relatively (64 units in
//   the last place). glibc's is within one unit. mingw-w64's computes exp2l(y * log2l(x)) on
//   the x87 unit; where the host leaves that unit at 53-bit precision, as Windows does for
//   its threads, the error grows with |y * log2 x|, to about 40u for a gamma power of a tiny
//   t, far inside the assumption. For every float input this is also checked outright:
//   PowCurveProofTest on a sample in every run, under wine with the x87 unit at both
//   precisions as well, and on every float in 0..1 on request (bench/README.md).
// - Gamma: t = m * 2^-n with m in [1, 2); t^0.454 = 2^(-0.454 n) * c^0.454 * (1 + d)^0.454
//   with c the centre of m's interval of width 1/128 and d = (m - c) / c, |d| <= 2^-8.
//   (m - c) * 2^23 is a whole number below 2^15 in size, taken from the float's bits, and d
//   is it times the table's 2^-23 / c: 2u, which moves the result by 0.454 * |d| * 2u. The
//   series to d^5 leaves out at most 0.022 * 2^-48 / (1 - 2^-8) < 2^-53. It runs in
//   Estrin's order, (1 + a1 d) + (d^2 (a2 + a3 d) + d^4 (a4 + a5 d)): the first bracket and
//   the last sum round by u each, the second bracket (below 2^-18) by a few u of its size,
//   so within 2.01u of the polynomial's value, which is above 0.998. The three table entries
//   are within u each, their product and the product with the series round by u each.
//   Together under 8u = 2^-50, so the exact path's value lies within 2^-46 + 2^-50 of ours.
// - Gaussian: the exact path computes y' = pow(t, 2.5) and z' = pow(360, -y'), then 1 - z'.
//   We compute X = 128 x, x = t^2.5 ln 360, as (t * t * C) * sqrt(t) with C = 128 ln 360:
//   t * t is exact for a float t; C, the product with it, sqrt and the last product round by
//   u each, so y' and x / ln 360 differ relatively by at most 2^-46 + 4u. Since
//   360^-y = e^(-y ln 360) and y <= 1, e^-x and the true 360^-y' differ by a factor within
//   e^(±ln 360 (2^-46 + 4u)), under 1 ± 6.1 * 2^-46. e^-x = e^(-k/128) e^(-s/128) with
//   k = X rounded towards zero and s = X - k in [0, 1), exact. The table entry is within u.
//   The series to s^5, in Estrin's order (1 - b1 s) + (s^2 (b2 - b3 s) + s^4 (b4 - b5 s)),
//   b_k = 1 / (k! 128^k): its terms alternate and shrink, so it leaves out under
//   (s/128)^6 / 720 < 2^-51.4; b1 s is exact, the first bracket and the last sum round by u
//   each, the second bracket (below 2^-15) by a few u of its size; the series is above
//   0.992, so within 4.9u relatively, and its product with the entry rounds by u: e^-x is
//   within 7u, and z' adds pow's own 2^-46. In all under 7.2 * 2^-46 < 2^-43; more closely,
//   with the factor's exponent at most x (2^-46 + 4u) for x = y ln 360 itself, under
//   (1 + x) 2^-46 + (4x + 7)u < (1 + x) * 1.06 * 2^-46. The Gaussian's bound is therefore
//   (1 + x) 2^-44, over three times that for every x and eight times tighter than 2^-41
//   where x is small: there 1 - z is small, and a wide interval would leave its float
//   undecided (X * 2^-51 is exact, the sum and 1 ± it round by u, far inside the margin).
// - Exponential: X = t * (128 ln 2.5) within 2u relative, x <= 0.92, so e^-x is within
//   0.92 * 2u + 7u of 2.5^-t, and pow's 2^-46 comes on top: under 2^-45.
// kRelativeBound, 2^-41, the Gamma 2.2 and Exponential curves' bound, is at least four times
// each of these. The products by 1 ± a bound round by u, which the margins cover (they take
// the table entries before the series comes in, whose chain of steps is the longest: the
// same roundings in another order). The steps after the power keep the order: 1 - z is the
// exact path's own step applied to both ends, and monotonic; the Exponential's × 2.5 / 1.5
// is bounded outwards instead (kFiveThirdsBelow).
//
// Inputs the interval does not serve (0, subnormal floats, anything outside 0..1) get no
// bounds, and the caller takes the exact path; so does any case where the ends disagree.
//
// Two inputs go through at once, one in each lane of the SSE unit's double-precision
// arithmetic, which rounds each lane exactly as the scalar unit would: a single input is the
// same computation with one lane looked at.
//
// At the end, the floats the bounds settle: BandCurve and CornerCurve, a band position's and
// a rectangle corner's mask bit for bit as FalloffCurve gives it.
#pragma once

#include <emmintrin.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "render/FalloffCurves.h"
#include "render/fastpath/PowCurveTables.h"

namespace qxv {

struct CurveBounds {
    double low;
    double high;
};

inline constexpr double kRelativeBound = 0x1p-41;

namespace pow_curve_lanes {

// Lane bits: bit 0 for the first input, bit 1 for the second.
inline int Lanes(bool first, bool second) { return (first ? 1 : 0) | (second ? 2 : 0); }

// table[i] in lane 0 and table[j] in lane 1.
inline __m128d Gather(const double* table, int i, int j) { return _mm_set_pd(table[j], table[i]); }

inline __m128d Times(__m128d a, double b) { return _mm_mul_pd(a, _mm_set1_pd(b)); }
inline __m128d OneMinus(__m128d a) { return _mm_sub_pd(_mm_set1_pd(1.0), a); }

// The two floats as doubles (exact).
inline __m128d Widen(float a, float b) { return _mm_cvtps_pd(_mm_setr_ps(a, b, 0.0f, 0.0f)); }

// The two series in Estrin's order, whose steps wait for each other less than Horner's.
// e^(-s / 128) = (1 - b1 s) + (s^2 (b2 - b3 s) + s^4 (b4 - b5 s)), b_k = 1 / (k! 128^k).
inline __m128d ExpSeries(__m128d s) {
    using pow_curve_tables::kExpSeries;
    const __m128d s2 = _mm_mul_pd(s, s), s4 = _mm_mul_pd(s2, s2);
    const __m128d low = OneMinus(Times(s, kExpSeries[0]));
    const __m128d middle = _mm_sub_pd(_mm_set1_pd(kExpSeries[1]), Times(s, kExpSeries[2]));
    const __m128d high = _mm_sub_pd(_mm_set1_pd(kExpSeries[3]), Times(s, kExpSeries[4]));
    return _mm_add_pd(low, _mm_add_pd(_mm_mul_pd(s2, middle), _mm_mul_pd(s4, high)));
}

// (1 + d)^0.454 = (1 + a1 d) + (d^2 (a2 + a3 d) + d^4 (a4 + a5 d)).
inline __m128d GammaSeries(__m128d d) {
    using pow_curve_tables::kGammaSeries;
    const __m128d d2 = _mm_mul_pd(d, d), d4 = _mm_mul_pd(d2, d2);
    const __m128d low = _mm_add_pd(_mm_set1_pd(1.0), Times(d, kGammaSeries[0]));
    const __m128d middle = _mm_add_pd(_mm_set1_pd(kGammaSeries[1]), Times(d, kGammaSeries[2]));
    const __m128d high = _mm_add_pd(_mm_set1_pd(kGammaSeries[3]), Times(d, kGammaSeries[4]));
    return _mm_add_pd(low, _mm_add_pd(_mm_mul_pd(d2, middle), _mm_mul_pd(d4, high)));
}

// e^-x = e^(-k / 128) e^(-s / 128) for X = 128 x = k + s, k whole and 0 <= s < 1: the table
// entry in *step and the series in *series, for 0 <= X < kExpSteps, in the lanes returned.
inline int ExpOfNegative(__m128d steps, __m128d* step, __m128d* series) {
    using namespace pow_curve_tables;
    static_assert(kExpStepsPerUnit == 128, "X, the series and the header's bounds count in steps of 1/128");
    const __m128i whole = _mm_cvttpd_epi32(steps);
    const int k0 = _mm_cvtsi128_si32(whole), k1 = _mm_cvtsi128_si32(_mm_srli_si128(whole, 4));
    const int lanes = Lanes(k0 >= 0 && k0 < kExpSteps, k1 >= 0 && k1 < kExpSteps);
    // Exact: k <= X < 2k for k >= 1 (Sterbenz), and s = X for k = 0.
    const __m128d s = _mm_sub_pd(steps, _mm_cvtepi32_pd(whole));
    *series = ExpSeries(s);
    *step = Gather(kExpOfNegativeStep, lanes & 1 ? k0 : 0, lanes & 2 ? k1 : 0);
    return lanes;
}

// The gamma power's table positions of one float: false for 0, subnormals, values above 1
// and negative ones.
struct GammaSplit {
    int power_of_two;  // n, for t = m * 2^-n
    int interval;      // m's interval of width 1/128
    int from_centre;   // (m - c) * 2^23, c the interval's centre: m's 16 low bits less 2^15
};

inline bool SplitForGamma(float t, GammaSplit* split) {
    std::uint32_t bits;
    std::memcpy(&bits, &t, sizeof bits);
    const std::uint32_t biased_exponent = bits >> 23;
    if (biased_exponent == 0 || biased_exponent > 127) return false;
    const std::uint32_t mantissa = bits & 0x7FFFFFu;
    *split = {static_cast<int>(127 - biased_exponent), static_cast<int>(mantissa >> 16),
              static_cast<int>(mantissa & 0xFFFFu) - 0x8000};
    return true;
}

// t^0.454 = (2^(-0.454 n) c^0.454) (1 + d)^0.454 for both floats: the tables' product in
// *tables and the series in *series, in the lanes returned. A lane not served computes
// with an empty split's zeros.
inline int GammaPower(float t0, float t1, __m128d* tables, __m128d* series) {
    using namespace pow_curve_tables;
    GammaSplit a{0, 0, -0x8000}, b{0, 0, -0x8000};
    const int lanes = Lanes(SplitForGamma(t0, &a), SplitForGamma(t1, &b));
    const __m128d d = _mm_mul_pd(_mm_cvtepi32_pd(_mm_setr_epi32(a.from_centre, b.from_centre, 0, 0)),
                                 Gather(kMantissaUnitOverCentre, a.interval, b.interval));
    *series = GammaSeries(d);
    *tables = _mm_mul_pd(Gather(kGammaOfPowerOfTwo, a.power_of_two, b.power_of_two),
                         Gather(kGammaOfCentre, a.interval, b.interval));
    return lanes;
}

// The Exponential's last two steps, w * 2.5 / 1.5 on w = 1 - 2.5^-t, as one product for each
// end: each step rounds by u, so the exact path's value lies within (5/3) w (1 ± u)^2, and
// for w > 0 these factors, (5/3)(1 ∓ 2^-50) rounded (by u, and the product by u more), put
// each end beyond it (2^-50 = 8u against the 5u of the roundings). A w of 0 or less (a
// tiny t) gets no bounds.
inline constexpr double kFiveThirdsBelow = 5.0 / 3.0 * (1.0 - 0x1p-50);
inline constexpr double kFiveThirdsAbove = 5.0 / 3.0 * (1.0 + 0x1p-50);

// The Gaussian's relative bound, (1 + x) 2^-44 for X = 128 x.
inline __m128d GaussianBound(__m128d steps) { return _mm_add_pd(Times(steps, 0x1p-51), _mm_set1_pd(0x1p-44)); }

// The Gaussian's and the Exponential's inputs: normal floats up to 1.
inline bool ServedByExp(float t) { return t >= 0x1p-126f && t <= 1.0f; }

}  // namespace pow_curve_lanes

// Bounds on FalloffCurve(ctx, t0) and FalloffCurve(ctx, t1) for the pow curve kFalloff, lane
// 0 for t0 and lane 1 for t1 of `low` and `high`; the lanes returned (bit 0 for t0, bit 1 for
// t1) are the ones served. Inlined into the loops over a run, which choose the curve once.
template <std::int32_t kFalloff>
[[gnu::always_inline]] inline int PowCurveBoundsFor(float t0, float t1, __m128d* low, __m128d* high) {
    using namespace pow_curve_lanes;
    const double kLow = 1.0 - kRelativeBound, kHigh = 1.0 + kRelativeBound;
    // The table entries times 1 -/+ the bound, then times the series: the series, the longest
    // chain of steps, comes last.
    if constexpr (kFalloff == kFalloffGamma22) {
        __m128d tables, series;
        const int lanes = GammaPower(t0, t1, &tables, &series);
        *low = _mm_mul_pd(Times(tables, kLow), series);
        *high = _mm_mul_pd(Times(tables, kHigh), series);
        return lanes;
    } else if constexpr (kFalloff == kFalloffGaussian) {
        // X = 128 ln 360 t^2.5, as (t * t * 128 ln 360) * sqrt(t).
        const __m128d wide = Widen(t0, t1);
        const __m128d steps =
            _mm_mul_pd(Times(_mm_mul_pd(wide, wide), pow_curve_tables::kLn360Steps), _mm_sqrt_pd(wide));
        __m128d step, series;
        const int lanes = Lanes(ServedByExp(t0), ServedByExp(t1)) & ExpOfNegative(steps, &step, &series);
        const __m128d bound = GaussianBound(steps);
        *low = OneMinus(_mm_mul_pd(_mm_mul_pd(step, _mm_add_pd(_mm_set1_pd(1.0), bound)), series));
        *high = OneMinus(_mm_mul_pd(_mm_mul_pd(step, OneMinus(bound)), series));
        return lanes;
    } else {
        static_assert(kFalloff == kFalloffExponential, "a pow curve");
        __m128d step, series;
        const int served = Lanes(ServedByExp(t0), ServedByExp(t1)) &
                           ExpOfNegative(Times(Widen(t0, t1), pow_curve_tables::kLn2_5Steps), &step, &series);
        const __m128d low_w = OneMinus(_mm_mul_pd(Times(step, kHigh), series));
        *low = Times(low_w, kFiveThirdsBelow);
        *high = Times(OneMinus(_mm_mul_pd(Times(step, kLow), series)), kFiveThirdsAbove);
        return served & _mm_movemask_pd(_mm_cmpgt_pd(low_w, _mm_setzero_pd()));
    }
}

// Calls f with std::integral_constant<std::int32_t, falloff> for the three pow curves; false
// for the other curves.
template <class F>
inline bool WithPowCurve(std::int32_t falloff, F&& f) {
    switch (falloff) {
        case kFalloffGamma22: f(std::integral_constant<std::int32_t, kFalloffGamma22>{}); return true;
        case kFalloffGaussian: f(std::integral_constant<std::int32_t, kFalloffGaussian>{}); return true;
        case kFalloffExponential: f(std::integral_constant<std::int32_t, kFalloffExponential>{}); return true;
        default: return false;
    }
}

// PowCurveBoundsFor the curve `falloff`; 0 for the other curves.
inline int PowCurveBoundsLanes(std::int32_t falloff, float t0, float t1, __m128d* low, __m128d* high) {
    int lanes = 0;
    WithPowCurve(falloff, [&](auto curve) { lanes = PowCurveBoundsFor<decltype(curve)::value>(t0, t1, low, high); });
    return lanes;
}

// The same in bounds[0] and bounds[1].
inline int PowCurveBoundsPair(std::int32_t falloff, float t0, float t1, CurveBounds (&bounds)[2]) {
    __m128d low = _mm_setzero_pd(), high = _mm_setzero_pd();
    const int lanes = PowCurveBoundsLanes(falloff, t0, t1, &low, &high);
    _mm_storel_pd(&bounds[0].low, low);
    _mm_storeh_pd(&bounds[1].low, low);
    _mm_storel_pd(&bounds[0].high, high);
    _mm_storeh_pd(&bounds[1].high, high);
    return lanes;
}

// Bounds on FalloffCurve(ctx, t) for the three pow curves; false for the other curves and
// for the inputs the interval does not serve.
inline bool PowCurveBounds(std::int32_t falloff, float t, CurveBounds* bounds) {
    CurveBounds pair[2];
    const int lanes = PowCurveBoundsPair(falloff, t, t, pair);
    *bounds = pair[0];
    return (lanes & 1) != 0;
}

// The falloff curve of a band position as the mask's float: FalloffCurve's result bit for
// bit, through PowCurveBounds first so that the pow curves rarely need the C library's pow.

inline bool SameFloat(float a, float b) {
    std::uint32_t a_bits, b_bits;
    std::memcpy(&a_bits, &a, sizeof a_bits);
    std::memcpy(&b_bits, &b, sizeof b_bits);
    return a_bits == b_bits;
}

// The curves PowCurveBounds serves; the others are cheaper computed outright.
inline bool IsPowCurve(std::int32_t falloff) { return falloff >= kFalloffGamma22 && falloff <= kFalloffExponential; }

// The float both ends of the bounds round to, if they agree.
inline bool AgreedFloat(const CurveBounds& bounds, float* value) {
    const float low = static_cast<float>(bounds.low);
    if (!SameFloat(low, static_cast<float>(bounds.high))) return false;
    *value = low;
    return true;
}

// float(FalloffCurve(ctx, t)).
inline float BandCurve(const RenderContext* ctx, float t) {
    CurveBounds bounds;
    float value;
    if (IsPowCurve(ctx->falloff) && PowCurveBounds(ctx->falloff, t, &bounds) && AgreedFloat(bounds, &value)) {
        return value;
    }
    return static_cast<float>(FalloffCurve(ctx, t));
}

// A rectangle's corner: the two axes' curved values combined as a distance, limited to 1.
inline double CornerDistance(double cu, double cv) {
    const double g = std::sqrt(cu * cu + cv * cv);
    return g > 1.0 ? 1.0 : g;
}

// The exact corner: float(CornerDistance(FalloffCurve(ctx, p), FalloffCurve(ctx, q))).
inline float ExactCorner(const RenderContext* ctx, float p, float q) {
    return static_cast<float>(CornerDistance(FalloffCurve(ctx, p), FalloffCurve(ctx, q)));
}

// ExactCorner(ctx, p, q), through the bounds first. Squares, sum, square root and limit are
// all monotonic where the curved values are not negative, so bounds on both curved values
// bound the corner's result.
inline float CornerCurve(const RenderContext* ctx, float p, float q) {
    CurveBounds b[2];
    if (IsPowCurve(ctx->falloff) && PowCurveBoundsPair(ctx->falloff, p, q, b) == 3 && b[0].low >= 0.0 &&
        b[1].low >= 0.0) {
        const float low = static_cast<float>(CornerDistance(b[0].low, b[1].low));
        if (SameFloat(low, static_cast<float>(CornerDistance(b[0].high, b[1].high)))) return low;
    }
    return ExactCorner(ctx, p, q);
}

}  // namespace qxv
