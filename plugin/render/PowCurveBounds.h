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
//   with c the centre of m's interval of width 1/128 and d = (m - c) / c, |d| <= 2^-8. The two
//   table entries are within u each; the series to d^5 leaves out at most
//   0.022 * 2^-48 / (1 - 2^-8) < 2^-53; m - c is exact, d's rounding (2u) moves the result
//   by 0.454 * |d| * 2u, and Horner's five steps and the two products round by u each.
//   Together under 14u < 2^-49, so the exact path's value lies within 2^-46 + 2^-49 of ours.
// - Gaussian: the exact path computes y' = pow(t, 2.5) and z' = pow(360, -y'), then 1 - z'.
//   We compute y = (t * t) * sqrt(t) (t * t is exact for a float t, sqrt and the product
//   round by u each) and x = y * ln 360 (the constant and the product: 2u more), so y' and
//   x / ln 360 differ relatively by at most 2^-46 + 4u. Since 360^-y = e^(-y ln 360) and
//   y <= 1, e^-x and the true 360^-y' differ by a factor within e^(±ln 360 (2^-46 + 4u)),
//   under 1 ± 6.1 * 2^-46. e^-x itself (e^(-k/32) within u, the degree-7 series of e^-r
//   with r < 1/32 leaving out under 2^-53, eight roundings) is within 10u, and z' adds pow's
//   own 2^-46. In all under 7.2 * 2^-46 < 2^-43.
// - Exponential: x = t * ln 2.5 within 2u relative, x <= 0.92, so e^-x is within
//   0.92 * 2u + 10u of 2.5^-t, and pow's 2^-46 comes on top: under 2^-45.
// kRelativeBound, 2^-41, is at least four times each of these; the products by 1 ± it round
// by u, which the margin covers. The steps after the power (1 - z, × 2.5, / 1.5) are the
// exact path's own, applied to both ends: they are monotonic, so they keep the order.
//
// Inputs the interval does not serve (0, subnormal floats, anything outside 0..1) get no
// bounds, and the caller takes the exact path; so does any case where the ends disagree.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "render/FalloffCurve.h"
#include "render/PowCurveTables.h"

namespace qxv {

struct CurveBounds {
    double low;
    double high;
};

inline constexpr double kRelativeBound = 0x1p-41;

// e^-x for 0 <= x < kExpSteps / kExpStepsPerUnit; false past that.
inline bool ExpOfNegative(double x, double* result) {
    using namespace pow_curve_tables;
    const int k = static_cast<int>(x * kExpStepsPerUnit);  // scaling by 32 is exact
    if (!(k >= 0 && k < kExpSteps)) return false;
    // Exact: k/32 <= x < 2k/32 for k >= 1 (Sterbenz), and r = x for k = 0.
    const double r = x - k * (1.0 / kExpStepsPerUnit);
    const double series =
        1.0 - r * (1.0 - r * (1.0 / 2 - r * (1.0 / 6 - r * (1.0 / 24 - r * (1.0 / 120 - r * (1.0 / 720 - r * (1.0 / 5040)))))));
    *result = kExpOfNegativeStep[k] * series;
    return true;
}

// t^0.454 for a normal float t in (0, 1]; false for any other t.
inline bool GammaPower(float t, double* result) {
    using namespace pow_curve_tables;
    std::uint32_t bits;
    std::memcpy(&bits, &t, sizeof bits);
    const std::uint32_t biased_exponent = bits >> 23;
    if (biased_exponent == 0 || biased_exponent > 127) return false;  // 0, subnormal, > 1, sign
    const std::uint32_t mantissa = bits & 0x7FFFFFu;
    const int interval = static_cast<int>(mantissa >> 16);
    const double m = 1.0 + mantissa * 0x1p-23;
    const double centre = 1.0 + (2 * interval + 1) * (1.0 / (2 * kGammaIntervals));
    const double d = (m - centre) * kCentreReciprocal[interval];
    const double series =
        1.0 +
        d * (kGammaSeries[0] + d * (kGammaSeries[1] + d * (kGammaSeries[2] + d * (kGammaSeries[3] + d * kGammaSeries[4]))));
    *result = kGammaOfPowerOfTwo[127 - biased_exponent] * kGammaOfCentre[interval] * series;
    return true;
}

// Bounds on FalloffCurve(ctx, t) for the three pow curves; false for the other curves and
// for the inputs the interval does not serve.
inline bool PowCurveBounds(std::int32_t falloff, float t, CurveBounds* bounds) {
    const double kLow = 1.0 - kRelativeBound, kHigh = 1.0 + kRelativeBound;
    switch (falloff) {
        case kFalloffGamma22: {
            double power;
            if (!GammaPower(t, &power)) return false;
            bounds->low = power * kLow;
            bounds->high = power * kHigh;
            return true;
        }
        case kFalloffGaussian: {
            if (!(t >= 0x1p-126f && t <= 1.0f)) return false;
            const double wide = t;
            const double y = (wide * wide) * std::sqrt(wide);
            double z;
            if (!ExpOfNegative(y * pow_curve_tables::kLn360, &z)) return false;
            bounds->low = 1.0 - z * kHigh;
            bounds->high = 1.0 - z * kLow;
            return true;
        }
        case kFalloffExponential: {
            if (!(t >= 0x1p-126f && t <= 1.0f)) return false;
            double p;
            if (!ExpOfNegative(t * pow_curve_tables::kLn2_5, &p)) return false;
            bounds->low = (1.0 - p * kHigh) * 2.5 / 1.5;
            bounds->high = (1.0 - p * kLow) * 2.5 / 1.5;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace qxv
