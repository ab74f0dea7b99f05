#include "render/fastpath/FastMasks.h"

#include <emmintrin.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>

#include "render/Mask.h"

namespace qxv {
namespace {

// Every step below is the scalar mask's, in the same order: the SSE operations round each
// lane exactly as the scalar instructions round one value, and nothing is fused or
// reordered (the plug-in is built without floating-point contraction).

struct ShapePoints {
    __m128 u;
    __m128 v;
};

// ShapeCoordinates for pixels x..x+3 of row y.
ShapePoints ShapeCoordinates4(const RenderContext* ctx, A_long x, A_long y) {
    const float (&m)[3][3] = ctx->pixel_to_shape;
    const float fy = static_cast<float>(y);
    const __m128 fx = _mm_cvtepi32_ps(_mm_add_epi32(_mm_set1_epi32(x), _mm_setr_epi32(0, 1, 2, 3)));
    const __m128 u = _mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(m[0][0]), fx), _mm_set1_ps(m[0][1] * fy)),
                                _mm_set1_ps(m[0][2]));
    const __m128 v = _mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(m[1][0]), fx), _mm_set1_ps(m[1][1] * fy)),
                                _mm_set1_ps(m[1][2]));
    return {u, v};
}

// where ? a : b, lane by lane; `where` lanes are all ones or all zeros.
__m128 Select(__m128 where, __m128 a, __m128 b) { return _mm_or_ps(_mm_and_ps(where, a), _mm_andnot_ps(where, b)); }

// BandPosition for four lanes: inside 0..1 as it is, above 1 as 1, below 0 or not a number as 0.
__m128 BandPosition4(__m128 t) {
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 in_range = _mm_and_ps(_mm_cmpge_ps(t, _mm_setzero_ps()), _mm_cmple_ps(t, one));
    return Select(in_range, t, _mm_and_ps(_mm_cmpgt_ps(t, one), one));
}

// The ellipse band's position t for four lanes (EllipseBandValue before the curve).
__m128 EllipseBandPosition4(const RenderContext* ctx, ShapePoints p, __m128 u2, __m128 v2) {
    const __m128 r = _mm_sqrt_ps(_mm_add_ps(v2, u2));
    const __m128 du = _mm_div_ps(p.u, r);
    const __m128 dv = _mm_div_ps(p.v, r);
    const __m128 inner = _mm_add_ps(_mm_mul_ps(_mm_mul_ps(du, _mm_set1_ps(ctx->inner_height_sq)), du),
                                    _mm_mul_ps(_mm_mul_ps(dv, _mm_set1_ps(ctx->inner_width_sq)), dv));
    const __m128 r_in = _mm_div_ps(_mm_set1_ps(ctx->inner_ab), _mm_sqrt_ps(inner));
    const __m128 outer = _mm_add_ps(_mm_mul_ps(_mm_mul_ps(dv, _mm_set1_ps(ctx->width_sq)), dv),
                                    _mm_mul_ps(_mm_mul_ps(du, _mm_set1_ps(ctx->height_sq)), du));
    const __m128 r_out = _mm_div_ps(_mm_set1_ps(ctx->outer_ab), _mm_sqrt_ps(outer));
    return BandPosition4(_mm_div_ps(_mm_sub_ps(r, r_in), _mm_sub_ps(r_out, r_in)));
}

// Lanes 0..3 of `band` that are set, as bits 0..3.
int LaneBits(__m128 band) { return _mm_movemask_ps(band); }

// A Linear rectangle's corners, four lanes: CornerDistance of the two positions in double
// precision, two lanes at a time.
__m128 LinearCorners4(__m128 pu, __m128 qv) {
    const __m128 low = _mm_cvtpd_ps(CornerDistanceLanes(_mm_cvtps_pd(pu), _mm_cvtps_pd(qv)));
    const __m128 high =
        _mm_cvtpd_ps(CornerDistanceLanes(_mm_cvtps_pd(_mm_movehl_ps(pu, pu)), _mm_cvtps_pd(_mm_movehl_ps(qv, qv))));
    return _mm_movelh_ps(low, high);
}

// The pow curves in four lanes where the processor has them.
bool WideCurves(const RenderContext* ctx) { return IsPowCurve(ctx->falloff) && HasWideLanes(); }

// 1 - m for the whole run (count rounded up to four) where the frame is inverted, after the
// curves.
void ApplyInvert(const RenderContext* ctx, int count, float* masks) {
    if (!ctx->invert) return;
    for (int i = 0; i < count; i += 4) _mm_storeu_ps(masks + i, _mm_sub_ps(_mm_set1_ps(1.0f), _mm_loadu_ps(masks + i)));
}

}  // namespace

void EllipseMaskRunFourLanes(const RenderContext* ctx, A_long x, A_long y, int count, float* masks) {
    const __m128 one = _mm_set1_ps(1.0f);
    const bool feathered = ctx->feather != 0.0f;
    const bool linear = IsLinearFalloff(ctx->falloff);
    // The curves other than Linear run over the whole run's band positions at the end.
    alignas(16) float positions[kMaskRunLength];
    std::uint64_t curved = 0;
    for (int i = 0; i < count; i += 4) {
        const ShapePoints p = ShapeCoordinates4(ctx, x + i, y);
        const __m128 u2 = _mm_mul_ps(p.u, p.u);
        const __m128 v2 = _mm_mul_ps(p.v, p.v);
        const __m128 outside = _mm_cmpge_ps(
            _mm_add_ps(_mm_mul_ps(v2, _mm_set1_ps(ctx->coef_v)), _mm_mul_ps(u2, _mm_set1_ps(ctx->coef_u))), one);
        __m128 value = _mm_and_ps(outside, one);
        if (feathered) {
            const __m128 beyond_inner =
                _mm_cmpgt_ps(_mm_add_ps(_mm_mul_ps(v2, _mm_set1_ps(ctx->inv_inner_height_sq)),
                                        _mm_mul_ps(u2, _mm_set1_ps(ctx->inv_inner_width_sq))),
                             one);
            const __m128 band = _mm_andnot_ps(outside, beyond_inner);
            if (const int lanes = LaneBits(band)) {
                const __m128 t = EllipseBandPosition4(ctx, p, u2, v2);
                if (linear) {
                    value = Select(band, t, value);  // float(double(t)) is t
                } else {
                    _mm_store_ps(positions + i, t);
                    curved |= static_cast<std::uint64_t>(lanes) << i;
                }
            }
        }
        _mm_storeu_ps(masks + i, value);
    }
    if (curved) (WideCurves(ctx) ? BandCurveRunWide : BandCurveRun)(ctx, curved, positions, masks);
    ApplyInvert(ctx, count, masks);
}

void RectangleMaskRunFourLanes(const RenderContext* ctx, const ColumnCurves* columns, A_long x, A_long y, int count,
                               float* masks) {
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    const bool feathered = ctx->feather != 0.0f;
    const bool linear = IsLinearFalloff(ctx->falloff);
    // The curves other than Linear run over the whole run at the end: the sides' positions,
    // and the corners' positions across both axes.
    alignas(16) float sides[kMaskRunLength], across_u[kMaskRunLength], across_v[kMaskRunLength];
    std::uint64_t curved_sides = 0, curved_u_sides = 0, curved_corners = 0;
    for (int i = 0; i < count; i += 4) {
        const ShapePoints p = ShapeCoordinates4(ctx, x + i, y);
        const __m128 au = _mm_and_ps(p.u, magnitude);
        const __m128 av = _mm_and_ps(p.v, magnitude);
        const __m128 outside = _mm_or_ps(_mm_cmpge_ps(au, _mm_set1_ps(ctx->half_width)),
                                         _mm_cmpge_ps(av, _mm_set1_ps(ctx->half_height)));
        __m128 value = _mm_and_ps(outside, one);
        if (feathered) {
            const __m128 beyond_u = _mm_cmpge_ps(au, _mm_set1_ps(ctx->inner_half_width));
            const __m128 beyond_v = _mm_cmpge_ps(av, _mm_set1_ps(ctx->inner_half_height));
            const __m128 band = _mm_andnot_ps(outside, _mm_or_ps(beyond_u, beyond_v));
            if (const int lanes = LaneBits(band)) {
                // Positions across the bands of the width axis and of the height axis.
                const __m128 pu = BandPosition4(
                    _mm_mul_ps(_mm_sub_ps(au, _mm_set1_ps(ctx->inner_half_width)), _mm_set1_ps(ctx->coef_u)));
                const __m128 qv = BandPosition4(
                    _mm_mul_ps(_mm_sub_ps(av, _mm_set1_ps(ctx->inner_half_height)), _mm_set1_ps(ctx->coef_v)));
                const __m128 side = Select(beyond_u, pu, qv);
                const __m128 corner = _mm_and_ps(band, _mm_and_ps(beyond_u, beyond_v));
                const int corners = LaneBits(corner);
                if (linear) {
                    value = Select(band, side, value);  // float(double(t)) is t
                    if (corners) value = Select(corner, LinearCorners4(pu, qv), value);
                } else {
                    _mm_store_ps(sides + i, side);
                    _mm_store_ps(across_u + i, pu);
                    _mm_store_ps(across_v + i, qv);
                    curved_sides |= static_cast<std::uint64_t>(lanes & ~corners) << i;
                    curved_u_sides |= static_cast<std::uint64_t>(lanes & ~corners & LaneBits(beyond_u)) << i;
                    curved_corners |= static_cast<std::uint64_t>(corners) << i;
                }
            }
        }
        _mm_storeu_ps(masks + i, value);
    }
    RectangleCurves(ctx, columns, x, count, curved_sides, curved_u_sides, curved_corners, sides, across_u, across_v,
                    masks);
    ApplyInvert(ctx, count, masks);
}

void EllipseMaskRun(const RenderContext* ctx, A_long x, A_long y, int count, float* masks) {
    (HasWideLanes() ? EllipseMaskRunEightLanes : EllipseMaskRunFourLanes)(ctx, x, y, count, masks);
}

void RectangleMaskRun(const RenderContext* ctx, const ColumnCurves* columns, A_long x, A_long y, int count,
                      float* masks) {
    (HasWideLanes() ? RectangleMaskRunEightLanes : RectangleMaskRunFourLanes)(ctx, columns, x, y, count, masks);
}

ColumnCurves ComputeColumnCurves(const RenderContext& ctx, A_long columns) {
    ColumnCurves curves;
    const bool unturned = ctx.pixel_to_shape[0][1] == 0.0f && ctx.pixel_to_shape[1][0] == 0.0f;
    if (ctx.is_ellipse || ctx.feather == 0.0f || !IsPowCurve(ctx.falloff) || !unturned || columns <= 0) return curves;
    try {
        const std::size_t count = static_cast<std::size_t>(columns) + 8;
        curves.side.resize(count);
        curves.low.resize(count);
        curves.high.resize(count);
        for (std::size_t x = 0; x < count; ++x) {
            // The run's position across the width-axis band (RectangleMaskRunFourLanes), with
            // the column's coordinate as RectangleMask takes it: any row gives the same.
            const float au = std::fabs(ShapeCoordinates(&ctx, static_cast<A_long>(x), 0).u);
            const float pu = BandPosition((au - ctx.inner_half_width) * ctx.coef_u);
            // BandCurve, with the bounds it takes kept for the corners.
            CurveBounds bounds;
            const bool served = PowCurveBounds(ctx.falloff, pu, &bounds);
            float agreed;
            curves.side[x] = served && AgreedFloat(bounds, &agreed) ? agreed : static_cast<float>(FalloffCurve(&ctx, pu));
            curves.low[x] = served ? bounds.low : -1.0;
            curves.high[x] = served ? bounds.high : -1.0;
        }
    } catch (const std::bad_alloc&) {
        return ColumnCurves{};  // only a shortcut is lost: the runs compute every pixel's curve
    }
    return curves;
}

namespace {

// of[i] for i in 0..count - 1: the index below i whose coordinate's magnitude has the bits of
// i's (`magnitude_bits`), or -1, where the coordinate crosses 0 at `origin`: an index's mirror
// lies as far on the other side, give or take the rounding, which the bits settle. False
// where none has a mirror (or there was no memory for them).
template <class MagnitudeBits>
bool FindMirrors(A_long count, double origin, MagnitudeBits magnitude_bits, std::vector<A_long>* of) {
    if (count <= 1 || !(std::fabs(origin) < 1e9)) return false;
    try {
        of->assign(static_cast<std::size_t>(count), -1);
    } catch (const std::bad_alloc&) {
        return false;  // only a shortcut is lost
    }
    bool any = false;
    for (A_long i = 0; i < count; ++i) {
        const double across = std::nearbyint(2.0 * origin - static_cast<double>(i));
        for (double candidate = across - 1.0; candidate <= across + 1.0; candidate += 1.0) {
            if (candidate < 0.0 || candidate >= static_cast<double>(i)) continue;
            const A_long other = static_cast<A_long>(candidate);
            if (magnitude_bits(other) == magnitude_bits(i)) {
                (*of)[static_cast<std::size_t>(i)] = other;
                any = true;
                break;
            }
        }
    }
    return any;
}

std::uint32_t MagnitudeBits(float coordinate) {
    const float magnitude = std::fabs(coordinate);
    std::uint32_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    return bits;
}

bool Unturned(const float (&m)[3][3]) { return m[0][1] == 0.0f && m[1][0] == 0.0f; }

}  // namespace

MirrorColumns FindMirrorColumns(const RenderContext& ctx, A_long columns) {
    const float (&m)[3][3] = ctx.pixel_to_shape;
    if (!Unturned(m) || !(m[0][0] != 0.0f)) return {};
    MirrorColumns mirrors;
    const double origin = -static_cast<double>(m[0][2]) / static_cast<double>(m[0][0]);
    const auto bits = [&ctx](A_long x) { return MagnitudeBits(ShapeCoordinates(&ctx, x, 0).u); };
    if (!FindMirrors(columns, origin, bits, &mirrors.of)) return {};
    try {
        mirrors.ahead.assign(mirrors.of.size(), 0);
    } catch (const std::bad_alloc&) {
        return {};
    }
    for (std::size_t x = mirrors.of.size(); x-- > 0;) {
        if (mirrors.of[x] < 0) continue;
        const bool next_follows = x + 1 < mirrors.of.size() && mirrors.of[x + 1] == mirrors.of[x] - 1;
        mirrors.ahead[x] = next_follows ? mirrors.ahead[x + 1] + 1 : 1;
    }
    return mirrors;
}

std::vector<A_long> FindMirrorRows(const RenderContext& ctx, A_long rows) {
    const float (&m)[3][3] = ctx.pixel_to_shape;
    if (!Unturned(m) || !(m[1][1] != 0.0f)) return {};
    std::vector<A_long> of;
    const double origin = -static_cast<double>(m[1][2]) / static_cast<double>(m[1][1]);
    const auto bits = [&ctx](A_long y) { return MagnitudeBits(ShapeCoordinates(&ctx, 0, y).v); };
    if (!FindMirrors(rows, origin, bits, &of)) return {};
    return of;
}

void RectangleCurves(const RenderContext* ctx, const ColumnCurves* columns, A_long x, int count,
                     std::uint64_t side_pixels, std::uint64_t u_sides, std::uint64_t corners, const float* sides,
                     const float* across_u, const float* across_v, float* masks) {
    if (!side_pixels && !corners) return;
    const std::size_t lanes = static_cast<std::size_t>((count + 7) & ~7);
    if (columns && x >= 0 && static_cast<std::size_t>(x) + lanes <= columns->side.size()) {
        // Unturned: the row's position across the height-axis band is the same in every lane
        // (v = m10 * x + m11 * y + m12 with m10 a zero), its curve and bounds found once.
        for (std::uint64_t wanted = side_pixels & u_sides; wanted; wanted &= wanted - 1) {
            const int i = __builtin_ctzll(wanted);
            masks[i] = columns->side[static_cast<std::size_t>(x + i)];
        }
        if (const std::uint64_t v_sides = side_pixels & ~u_sides) {
            const float value = BandCurve(ctx, sides[__builtin_ctzll(v_sides)]);
            for (std::uint64_t wanted = v_sides; wanted; wanted &= wanted - 1) masks[__builtin_ctzll(wanted)] = value;
        }
        if (corners) {
            (HasWideLanes() ? CornerCurveRunFromColumnsWide : CornerCurveRunFromColumns)(
                ctx, *columns, x, corners, across_u, across_v[__builtin_ctzll(corners)], masks);
        }
        return;
    }
    const bool wide = WideCurves(ctx);
    if (side_pixels) (wide ? BandCurveRunWide : BandCurveRun)(ctx, side_pixels, sides, masks);
    // Where the shape is not turned, v (and so the position across the height axis) is the
    // same for every pixel of the row: v = m10 * x + m11 * y + m12 with m10 a zero of either
    // sign and x >= 0 gives the same zero, so the same sum, in every lane.
    const bool v_constant = ctx->pixel_to_shape[1][0] == 0.0f && x >= 0;
    if (corners) (wide ? CornerCurveRunWide : CornerCurveRun)(ctx, corners, across_u, across_v, v_constant, masks);
}

}  // namespace qxv
