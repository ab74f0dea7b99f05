// The falloff curve of a band position as the mask's float: FalloffCurve's result bit for
// bit, through PowCurveBounds first so that the pow curves rarely need the C library's pow.
#pragma once

#include <emmintrin.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "render/FalloffCurve.h"
#include "render/fastpath/PowCurveBounds.h"
#include "render/RenderContext.h"

namespace qxv {

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

// Lanes 0 and 1 of `low` and `high` rounded to float; bit i of the result is set where lane
// i is among `served` and its two ends round to the same float, which `values` holds in
// lane i.
inline int AgreedFloatLanes(int served, __m128d low, __m128d high, __m128* values) {
    *values = _mm_cvtpd_ps(low);
    const __m128i same = _mm_cmpeq_epi32(_mm_castps_si128(*values), _mm_castps_si128(_mm_cvtpd_ps(high)));
    return served & _mm_movemask_ps(_mm_castsi128_ps(same)) & 3;
}

// Lanes i and i + 1 of a run: each wanted lane (bit 0, bit 1 of `wanted`) takes its agreed
// float, or `exact(i)` where there is none.
template <class Exact>
inline void StoreTwoLanes(int wanted, int agreed, __m128 agreed_values, float* values, Exact exact) {
    if (wanted == 3 && agreed == 3) {
        _mm_storel_pi(reinterpret_cast<__m64*>(values), agreed_values);
        return;
    }
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, agreed_values);
    for (int lane = 0; lane < 2; ++lane) {
        if (wanted & (1 << lane)) values[lane] = agreed & (1 << lane) ? lanes[lane] : exact(lane);
    }
}

// values[i] = BandCurve(ctx, t[i]) for every i whose bit is set in `wanted`; t and values hold
// at least the run's length rounded up to an even count. The pow curves' bounds go two
// neighbours at a time, with no call and no branch per pixel but the rare exact one.
inline void BandCurveRun(const RenderContext* ctx, std::uint64_t wanted, const float* t, float* values) {
    const bool bounded = WithPowCurve(ctx->falloff, [ctx, wanted, t, values](auto curve) {
        for (int pair = 0; pair < 64 && wanted >> pair; pair += 2) {
            const int lanes = static_cast<int>(wanted >> pair) & 3;
            if (!lanes) continue;
            __m128d low, high;
            const int served = PowCurveBoundsFor<decltype(curve)::value>(t[pair], t[pair + 1], &low, &high);
            __m128 agreed_values;
            const int agreed = AgreedFloatLanes(served, low, high, &agreed_values);
            StoreTwoLanes(lanes, agreed, agreed_values, values + pair,
                          [&](int lane) { return static_cast<float>(FalloffCurve(ctx, t[pair + lane])); });
        }
    });
    if (bounded) return;
    for (; wanted; wanted &= wanted - 1) {
        const int i = __builtin_ctzll(wanted);
        values[i] = static_cast<float>(FalloffCurve(ctx, t[i]));
    }
}

// A rectangle's corner: the two axes' curved values combined as a distance, limited to 1.
inline double CornerDistance(double cu, double cv) {
    const double g = std::sqrt(cu * cu + cv * cv);
    return g > 1.0 ? 1.0 : g;
}

// CornerDistance in both lanes, each rounded as the scalar one.
inline __m128d CornerDistanceLanes(__m128d cu, __m128d cv) {
    const __m128d g = _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(cu, cu), _mm_mul_pd(cv, cv)));
    const __m128d beyond = _mm_cmpgt_pd(g, _mm_set1_pd(1.0));
    return _mm_or_pd(_mm_and_pd(beyond, _mm_set1_pd(1.0)), _mm_andnot_pd(beyond, g));
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

// values[i] = CornerCurve(ctx, p[i], q[i]) for every i whose bit is set in `wanted`, two
// neighbours at a time as in BandCurveRun. `q_constant`: every wanted q[i] holds the same
// float (a row across an unturned shape), whose bounds are then computed once.
inline void CornerCurveRun(const RenderContext* ctx, std::uint64_t wanted, const float* p, const float* q,
                           bool q_constant, float* values) {
    const bool bounded = WithPowCurve(ctx->falloff, [ctx, wanted, p, q, q_constant, values](auto curve) {
        constexpr std::int32_t kFalloff = decltype(curve)::value;
        __m128d low_v = _mm_setzero_pd(), high_v = _mm_setzero_pd();
        int served_v = 0;
        if (q_constant) {
            const float only = q[__builtin_ctzll(wanted)];
            served_v = PowCurveBoundsFor<kFalloff>(only, only, &low_v, &high_v);
        }
        for (int pair = 0; pair < 64 && wanted >> pair; pair += 2) {
            const int lanes = static_cast<int>(wanted >> pair) & 3;
            if (!lanes) continue;
            __m128d low_u, high_u;
            if (!q_constant) served_v = PowCurveBoundsFor<kFalloff>(q[pair], q[pair + 1], &low_v, &high_v);
            const int served = PowCurveBoundsFor<kFalloff>(p[pair], p[pair + 1], &low_u, &high_u) & served_v &
                               _mm_movemask_pd(_mm_cmpge_pd(low_u, _mm_setzero_pd())) &
                               _mm_movemask_pd(_mm_cmpge_pd(low_v, _mm_setzero_pd()));
            __m128 agreed_values;
            const int agreed = AgreedFloatLanes(served, CornerDistanceLanes(low_u, low_v),
                                                CornerDistanceLanes(high_u, high_v), &agreed_values);
            StoreTwoLanes(lanes, agreed, agreed_values, values + pair,
                          [&](int lane) { return ExactCorner(ctx, p[pair + lane], q[pair + lane]); });
        }
    });
    if (bounded) return;
    for (; wanted; wanted &= wanted - 1) {
        const int i = __builtin_ctzll(wanted);
        values[i] = ExactCorner(ctx, p[i], q[i]);
    }
}

}  // namespace qxv
