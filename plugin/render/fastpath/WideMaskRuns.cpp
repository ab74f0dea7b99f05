// The mask runs FastMasks.h declares eight pixels per step, in the AVX unit's 256-bit single
// lanes, for processors that have it (see HasWideLanes): each step is MaskRun.cpp's, in the
// same order, and the square roots, divisions, products, sums and comparisons round each lane
// exactly as the SSE unit rounds it. An ellipse band pixel waits on a chain of square roots and
// divisions; eight chains in flight instead of four is most of what this buys. Only these
// functions are compiled for AVX2; other targets and Windows get the stubs at the end.
#include "render/fastpath/FastMasks.h"

#if defined(__x86_64__) && !defined(_WIN32)
#include <immintrin.h>

#define QXV_WIDE_MASK_LANES 1
#endif

namespace qxv {

#if QXV_WIDE_MASK_LANES

namespace {

#define QXV_WIDE [[gnu::target("avx2"), gnu::always_inline]] inline

struct ShapePoints8 {
    __m256 u;
    __m256 v;
};

QXV_WIDE __m256 Splat(float value) { return _mm256_set1_ps(value); }

// ShapeCoordinates for pixels x..x+7 of row y.
QXV_WIDE ShapePoints8 ShapeCoordinates8(const RenderContext* ctx, A_long x, A_long y) {
    const float (&m)[3][3] = ctx->pixel_to_shape;
    const float fy = static_cast<float>(y);
    const __m256 fx =
        _mm256_cvtepi32_ps(_mm256_add_epi32(_mm256_set1_epi32(x), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)));
    const __m256 u = _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(Splat(m[0][0]), fx), Splat(m[0][1] * fy)), Splat(m[0][2]));
    const __m256 v = _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(Splat(m[1][0]), fx), Splat(m[1][1] * fy)), Splat(m[1][2]));
    return {u, v};
}

// where ? a : b, lane by lane; `where` lanes are all ones or all zeros.
QXV_WIDE __m256 Select(__m256 where, __m256 a, __m256 b) {
    return _mm256_or_ps(_mm256_and_ps(where, a), _mm256_andnot_ps(where, b));
}

// The comparisons of the SSE unit's cmpps: ordered, so a lane that is not a number is false.
QXV_WIDE __m256 GreaterOrEqual(__m256 a, __m256 b) { return _mm256_cmp_ps(a, b, _CMP_GE_OQ); }
QXV_WIDE __m256 Greater(__m256 a, __m256 b) { return _mm256_cmp_ps(a, b, _CMP_GT_OQ); }
QXV_WIDE __m256 LessOrEqual(__m256 a, __m256 b) { return _mm256_cmp_ps(a, b, _CMP_LE_OQ); }

QXV_WIDE __m256 BandPosition8(__m256 t) {
    const __m256 one = Splat(1.0f);
    const __m256 in_range = _mm256_and_ps(GreaterOrEqual(t, _mm256_setzero_ps()), LessOrEqual(t, one));
    return Select(in_range, t, _mm256_and_ps(Greater(t, one), one));
}

QXV_WIDE __m256 EllipseBandPosition8(const RenderContext* ctx, ShapePoints8 p, __m256 u2, __m256 v2) {
    const __m256 r = _mm256_sqrt_ps(_mm256_add_ps(v2, u2));
    const __m256 du = _mm256_div_ps(p.u, r);
    const __m256 dv = _mm256_div_ps(p.v, r);
    const __m256 inner = _mm256_add_ps(_mm256_mul_ps(_mm256_mul_ps(du, Splat(ctx->inner_height_sq)), du),
                                       _mm256_mul_ps(_mm256_mul_ps(dv, Splat(ctx->inner_width_sq)), dv));
    const __m256 r_in = _mm256_div_ps(Splat(ctx->inner_ab), _mm256_sqrt_ps(inner));
    const __m256 outer = _mm256_add_ps(_mm256_mul_ps(_mm256_mul_ps(dv, Splat(ctx->width_sq)), dv),
                                       _mm256_mul_ps(_mm256_mul_ps(du, Splat(ctx->height_sq)), du));
    const __m256 r_out = _mm256_div_ps(Splat(ctx->outer_ab), _mm256_sqrt_ps(outer));
    return BandPosition8(_mm256_div_ps(_mm256_sub_ps(r, r_in), _mm256_sub_ps(r_out, r_in)));
}

QXV_WIDE int LaneBits(__m256 where) { return _mm256_movemask_ps(where); }

// CornerDistanceLanes on four double lanes.
QXV_WIDE __m256d CornerDistance4(__m256d cu, __m256d cv) {
    const __m256d g = _mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(cu, cu), _mm256_mul_pd(cv, cv)));
    return _mm256_blendv_pd(g, _mm256_set1_pd(1.0), _mm256_cmp_pd(g, _mm256_set1_pd(1.0), _CMP_GT_OQ));
}

// A Linear rectangle's corners, eight lanes, in double precision four at a time.
QXV_WIDE __m256 LinearCorners8(__m256 pu, __m256 qv) {
    const __m128 low = _mm256_cvtpd_ps(
        CornerDistance4(_mm256_cvtps_pd(_mm256_castps256_ps128(pu)), _mm256_cvtps_pd(_mm256_castps256_ps128(qv))));
    const __m128 high = _mm256_cvtpd_ps(CornerDistance4(_mm256_cvtps_pd(_mm256_extractf128_ps(pu, 1)),
                                                        _mm256_cvtps_pd(_mm256_extractf128_ps(qv, 1))));
    return _mm256_insertf128_ps(_mm256_castps128_ps256(low), high, 1);
}

QXV_WIDE void ApplyInvert8(const RenderContext* ctx, int count, float* masks) {
    if (!ctx->invert) return;
    for (int i = 0; i < count; i += 8) {
        _mm256_storeu_ps(masks + i, _mm256_sub_ps(Splat(1.0f), _mm256_loadu_ps(masks + i)));
    }
}

}  // namespace

[[gnu::target("avx2")]] void CornerCurveRunFromColumnsWide(const RenderContext* ctx, const ColumnCurves& columns,
                                                           A_long x, std::uint64_t wanted, const float* p, float q,
                                                           float* values) {
    CurveBounds row;
    const bool row_served = PowCurveBounds(ctx->falloff, q, &row) && row.low >= 0.0;
    const __m256d low_v = _mm256_set1_pd(row_served ? row.low : -1.0);
    const __m256d high_v = _mm256_set1_pd(row_served ? row.high : -1.0);
    const int served_v = row_served ? 15 : 0;
    const double* low = columns.low.data() + x;
    const double* high = columns.high.data() + x;
    for (int quad = 0; quad < 64 && wanted >> quad; quad += 4) {
        const int lanes = static_cast<int>(wanted >> quad) & 15;
        if (!lanes) continue;
        const __m256d low_u = _mm256_loadu_pd(low + quad);
        const __m256d high_u = _mm256_loadu_pd(high + quad);
        const int served = served_v & _mm256_movemask_pd(_mm256_cmp_pd(low_u, _mm256_setzero_pd(), _CMP_GE_OQ));
        const __m128 low_values = _mm256_cvtpd_ps(CornerDistance4(low_u, low_v));
        const __m128 high_values = _mm256_cvtpd_ps(CornerDistance4(high_u, high_v));
        const int agreed = served & _mm_movemask_ps(_mm_castsi128_ps(
                                        _mm_cmpeq_epi32(_mm_castps_si128(low_values), _mm_castps_si128(high_values))));
        if (lanes == 15 && agreed == 15) {
            _mm_storeu_ps(values + quad, low_values);
            continue;
        }
        alignas(16) float four[4];
        _mm_store_ps(four, low_values);
        for (int lane = 0; lane < 4; ++lane) {
            if (!(lanes & (1 << lane))) continue;
            values[quad + lane] = agreed & (1 << lane) ? four[lane] : ExactCorner(ctx, p[quad + lane], q);
        }
    }
}

[[gnu::target("avx2")]] void EllipseMaskRunEightLanes(const RenderContext* ctx, A_long x, A_long y, int count,
                                                      float* masks) {
    const __m256 one = Splat(1.0f);
    const bool feathered = ctx->feather != 0.0f;
    const bool linear = IsLinearFalloff(ctx->falloff);
    alignas(32) float positions[kMaskRunLength];
    std::uint64_t curved = 0;
    for (int i = 0; i < count; i += 8) {
        const ShapePoints8 p = ShapeCoordinates8(ctx, x + i, y);
        const __m256 u2 = _mm256_mul_ps(p.u, p.u);
        const __m256 v2 = _mm256_mul_ps(p.v, p.v);
        const __m256 outside = GreaterOrEqual(
            _mm256_add_ps(_mm256_mul_ps(v2, Splat(ctx->coef_v)), _mm256_mul_ps(u2, Splat(ctx->coef_u))), one);
        __m256 value = _mm256_and_ps(outside, one);
        if (feathered) {
            const __m256 beyond_inner = Greater(_mm256_add_ps(_mm256_mul_ps(v2, Splat(ctx->inv_inner_height_sq)),
                                                              _mm256_mul_ps(u2, Splat(ctx->inv_inner_width_sq))),
                                                one);
            const __m256 band = _mm256_andnot_ps(outside, beyond_inner);
            if (const int lanes = LaneBits(band)) {
                const __m256 t = EllipseBandPosition8(ctx, p, u2, v2);
                if (linear) {
                    value = Select(band, t, value);
                } else {
                    _mm256_store_ps(positions + i, t);
                    curved |= static_cast<std::uint64_t>(lanes) << i;
                }
            }
        }
        _mm256_storeu_ps(masks + i, value);
    }
    if (curved) (IsPowCurve(ctx->falloff) ? BandCurveRunWide : BandCurveRun)(ctx, curved, positions, masks);
    ApplyInvert8(ctx, count, masks);
}

[[gnu::target("avx2")]] void RectangleMaskRunEightLanes(const RenderContext* ctx, const ColumnCurves* columns,
                                                        A_long x, A_long y, int count, float* masks) {
    const __m256 one = Splat(1.0f);
    const __m256 magnitude = _mm256_castsi256_ps(_mm256_set1_epi32(0x7fffffff));
    const bool feathered = ctx->feather != 0.0f;
    const bool linear = IsLinearFalloff(ctx->falloff);
    // Zeroed for the compiler, which cannot see that only the lanes the bits name are read.
    alignas(32) float sides[kMaskRunLength] = {}, across_u[kMaskRunLength] = {}, across_v[kMaskRunLength] = {};
    std::uint64_t curved_sides = 0, curved_u_sides = 0, curved_corners = 0;
    for (int i = 0; i < count; i += 8) {
        const ShapePoints8 p = ShapeCoordinates8(ctx, x + i, y);
        const __m256 au = _mm256_and_ps(p.u, magnitude);
        const __m256 av = _mm256_and_ps(p.v, magnitude);
        const __m256 outside =
            _mm256_or_ps(GreaterOrEqual(au, Splat(ctx->half_width)), GreaterOrEqual(av, Splat(ctx->half_height)));
        __m256 value = _mm256_and_ps(outside, one);
        if (feathered) {
            const __m256 beyond_u = GreaterOrEqual(au, Splat(ctx->inner_half_width));
            const __m256 beyond_v = GreaterOrEqual(av, Splat(ctx->inner_half_height));
            const __m256 band = _mm256_andnot_ps(outside, _mm256_or_ps(beyond_u, beyond_v));
            if (const int lanes = LaneBits(band)) {
                const __m256 pu =
                    BandPosition8(_mm256_mul_ps(_mm256_sub_ps(au, Splat(ctx->inner_half_width)), Splat(ctx->coef_u)));
                const __m256 qv = BandPosition8(
                    _mm256_mul_ps(_mm256_sub_ps(av, Splat(ctx->inner_half_height)), Splat(ctx->coef_v)));
                const __m256 side = Select(beyond_u, pu, qv);
                const __m256 corner = _mm256_and_ps(band, _mm256_and_ps(beyond_u, beyond_v));
                const int corners = LaneBits(corner);
                if (linear) {
                    value = Select(band, side, value);
                    if (corners) value = Select(corner, LinearCorners8(pu, qv), value);
                } else {
                    _mm256_store_ps(sides + i, side);
                    _mm256_store_ps(across_u + i, pu);
                    _mm256_store_ps(across_v + i, qv);
                    curved_sides |= static_cast<std::uint64_t>(lanes & ~corners) << i;
                    curved_u_sides |= static_cast<std::uint64_t>(lanes & ~corners & LaneBits(beyond_u)) << i;
                    curved_corners |= static_cast<std::uint64_t>(corners) << i;
                }
            }
        }
        _mm256_storeu_ps(masks + i, value);
    }
    RectangleCurves(ctx, columns, x, count, curved_sides, curved_u_sides, curved_corners, sides, across_u, across_v,
                    masks);
    ApplyInvert8(ctx, count, masks);
}

#else

void EllipseMaskRunEightLanes(const RenderContext*, A_long, A_long, int, float*) {}
void RectangleMaskRunEightLanes(const RenderContext*, const ColumnCurves*, A_long, A_long, int, float*) {}
void CornerCurveRunFromColumnsWide(const RenderContext*, const ColumnCurves&, A_long, std::uint64_t, const float*, float,
                                   float*) {}

#endif

}  // namespace qxv
