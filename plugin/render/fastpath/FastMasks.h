// The fast path's masks, each bit for bit what Mask.h gives pixel by pixel: where each row
// certainly lies outside the shape, and the masks of a run of neighbouring pixels at once.
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <vector>

#include "AE_Effect.h"
#include "render/RenderSetup.h"
#include "render/fastpath/PowCurveBounds.h"

namespace qxv {

// Where each row of a frame certainly lies outside the shape's outer outline. Most pixels of
// a vignette are outside it; knowing that per row lets them skip the shape test without any
// chance of a different result: a pixel is left to the exact test unless the rounding of
// its single-precision arithmetic provably cannot bring it inside.

// Columns first..last of a row may lie inside the outer outline; every other column of the
// row lies outside it. An empty span (first > last) puts the whole row outside.
struct RowSpan {
    A_long first;
    A_long last;
};

// One span per row for a frame of `columns` by `rows` pixels (column and row as the
// iteration passes them). Returns no spans when the geometry is not one the bound covers
// (non-finite or degenerate values); every pixel then takes the exact test.
std::vector<RowSpan> ComputeOutsideSpans(const RenderContext& ctx, A_long columns, A_long rows);

// The masks of a run of neighbouring pixels in one row, bit for bit what EllipseMask and
// RectangleMask give pixel by pixel. An ellipse band pixel's mask is a chain of square roots
// and divisions, each waiting for the one before; four pixels at a time through the SSE
// unit, whose single-precision arithmetic rounds exactly as the scalar one, do four chains
// in the time of one. The curves other than Linear then run over the whole run's positions
// at once (below): the pow curves' bounds two at a time, or four where the processor
// has AVX2 (WideCurveRuns.cpp), a rectangle's corners included; what is left pixel by pixel
// (Quadratic, Cubic, the rare exact pow) overlaps across the independent pixels of the run.

// The longest run one call computes; runs are whole groups of eight pixels.
constexpr int kMaskRunLength = 64;

struct ColumnCurves;  // below

// masks[i] = the mask of pixel (x + i, y) for i in 0..count-1, count in 1..kMaskRunLength
// (a rectangle's curves from the frame's columns where given: ColumnCurves, below);
// `masks` has room for count rounded up to a multiple of eight (the extra entries are
// written with masks of the pixels beyond). x + that rounded count must not overflow.
// Eight pixels per step in the AVX unit where the processor has it (HasWideLanes, below),
// four in the SSE unit elsewhere (MaskRun.cpp, WideMaskRuns.cpp); the two widths are named
// below for the tests that hold them to the same bits.
void EllipseMaskRun(const RenderContext* ctx, A_long x, A_long y, int count, float* masks);
void RectangleMaskRun(const RenderContext* ctx, const ColumnCurves* columns, A_long x, A_long y, int count,
                      float* masks);
void EllipseMaskRunFourLanes(const RenderContext* ctx, A_long x, A_long y, int count, float* masks);
void RectangleMaskRunFourLanes(const RenderContext* ctx, const ColumnCurves* columns, A_long x, A_long y, int count,
                               float* masks);
void EllipseMaskRunEightLanes(const RenderContext* ctx, A_long x, A_long y, int count, float* masks);
void RectangleMaskRunEightLanes(const RenderContext* ctx, const ColumnCurves* columns, A_long x, A_long y, int count,
                                float* masks);

// The curves over the band positions of a run, with which the mask runs end: BandCurve and
// CornerCurve of each wanted pixel, the same bits.

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

// CornerDistance in both lanes, each rounded as the scalar one.
inline __m128d CornerDistanceLanes(__m128d cu, __m128d cv) {
    const __m128d g = _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(cu, cu), _mm_mul_pd(cv, cv)));
    const __m128d beyond = _mm_cmpgt_pd(g, _mm_set1_pd(1.0));
    return _mm_or_pd(_mm_and_pd(beyond, _mm_set1_pd(1.0)), _mm_andnot_pd(beyond, g));
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

// An unturned rectangle's columns. Where the shape's axes run along the rows and columns
// (pixel_to_shape[0][1] and [1][0] zeros of either sign), a pixel's position across the
// width-axis band depends on its column alone (m01 * y is a zero that leaves the sum's
// magnitude alone) and the position across the height-axis band on its row alone. A frame
// then computes the width axis's curve once per column instead of once per pixel: a side
// pixel's value, and the bounds a corner combines with its row's (CornerCurve). Any bounds
// that hold will do: where both ends give one float, that float is the exact path's.
struct ColumnCurves {
    std::vector<float> side;  // BandCurve of the column's position
    // PowCurveBounds of it; low is -1 where the bounds do not serve it (the exact path runs).
    std::vector<double> low, high;
};

// The columns 0..columns + 7 (a run's last lanes may lie past the frame); none unless the
// shape is an unturned, feathered rectangle with a pow curve.
ColumnCurves ComputeColumnCurves(const RenderContext& ctx, A_long columns);

// For an unturned shape (as for ColumnCurves), a pixel's mask depends on |u| and |v| alone
// (the ellipse's squares and quotients change sign together, the rectangle takes magnitudes),
// and |u| on the column alone: columns that mirror each other about the origin have the same
// masks in every row. For a frame of `columns` columns; empty unless the shape is unturned.
struct MirrorColumns {
    std::vector<A_long> of;     // of[x]: the column left of x whose |u| has x's bits, or -1
    std::vector<A_long> ahead;  // how many columns from x on have of[x], of[x] - 1, ... so
};
MirrorColumns FindMirrorColumns(const RenderContext& ctx, A_long columns);

// Rows likewise, |v| depending on the row alone: of[y] is the row above y whose |v| has y's
// bits, or -1; empty unless the shape is unturned and some row has a mirror.
std::vector<A_long> FindMirrorRows(const RenderContext& ctx, A_long rows);

// CornerCurveRun for an unturned rectangle's run from column x: the width axis's bounds from
// the frame's columns, the row's position q (the same in every lane) bounded once.
inline void CornerCurveRunFromColumns(const RenderContext* ctx, const ColumnCurves& columns, A_long x,
                                      std::uint64_t wanted, const float* p, float q, float* values) {
    CurveBounds row;
    const bool row_served = PowCurveBounds(ctx->falloff, q, &row) && row.low >= 0.0;
    const __m128d low_v = _mm_set1_pd(row_served ? row.low : -1.0);
    const __m128d high_v = _mm_set1_pd(row_served ? row.high : -1.0);
    const int served_v = row_served ? 3 : 0;
    const double* low = columns.low.data() + x;
    const double* high = columns.high.data() + x;
    for (int pair = 0; pair < 64 && wanted >> pair; pair += 2) {
        const int lanes = static_cast<int>(wanted >> pair) & 3;
        if (!lanes) continue;
        const __m128d low_u = _mm_loadu_pd(low + pair);
        const __m128d high_u = _mm_loadu_pd(high + pair);
        const int served = served_v & _mm_movemask_pd(_mm_cmpge_pd(low_u, _mm_setzero_pd()));
        __m128 agreed_values;
        const int agreed = AgreedFloatLanes(served, CornerDistanceLanes(low_u, low_v),
                                            CornerDistanceLanes(high_u, high_v), &agreed_values);
        StoreTwoLanes(lanes, agreed, agreed_values, values + pair,
                      [&](int lane) { return ExactCorner(ctx, p[pair + lane], q); });
    }
}

// The same four lanes at a time in the AVX unit, for processors that have it (HasWideLanes).
void CornerCurveRunFromColumnsWide(const RenderContext* ctx, const ColumnCurves& columns, A_long x,
                                   std::uint64_t wanted, const float* p, float q, float* values);

// The curved values at the end of a rectangle's run from column x (count pixels), from the
// positions the run kept: `sides` for the side pixels in `side_pixels` (those across the
// width-axis band also in `u_sides`), `across_u` and `across_v` for the pixels in `corners`.
// From the frame's columns where they serve the run (null: none).
void RectangleCurves(const RenderContext* ctx, const ColumnCurves* columns, A_long x, int count,
                     std::uint64_t side_pixels, std::uint64_t u_sides, std::uint64_t corners, const float* sides,
                     const float* across_u, const float* across_v, float* masks);

// The pow curves over a run of band positions four at a time, in the AVX2 unit's 256-bit
// double lanes, for processors that have it: every lane takes the very steps of
// PowCurveBounds.h, each rounded as the SSE unit rounds it, so the bits are those of
// BandCurveRun and CornerCurveRun's two-lane loops.

// Whether this processor (and its operating system) runs the functions below and the mask
// runs' eight lanes. Never on Windows: mingw-w64's compiler does not align the stack for
// 32-byte spills there.
bool HasWideLanes();

// As BandCurveRun and CornerCurveRun, for the three pow curves only, with `t`, `p`, `q` and
// `values` holding the run's length rounded up to a multiple of four.
void BandCurveRunWide(const RenderContext* ctx, std::uint64_t wanted, const float* t, float* values);
void CornerCurveRunWide(const RenderContext* ctx, std::uint64_t wanted, const float* p, const float* q,
                        bool q_constant, float* values);

}  // namespace qxv
