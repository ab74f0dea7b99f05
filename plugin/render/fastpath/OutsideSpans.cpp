#include "render/fastpath/FastMasks.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qxv {
namespace {

// Worst-case rounding of the shape coordinates u = m0·x + m1·y + m2 in single precision:
// three roundings, each within 2^-24 of the terms' magnitudes; doubled for slack, plus a
// floor for results near the subnormal range.
constexpr double kCoordinateRelativeError = 8.0 / 16777216.0;
constexpr double kCoordinateAbsoluteError = 1e-30;
// The ellipse test squares u and v, scales and adds them: four more roundings of
// non-negative terms, so its sum is at least (exact sum) × (1 - kSumRelativeError).
constexpr double kSumRelativeError = 8.0 / 16777216.0;
// Trades the coordinate error against the quadratic form (see ComputeEllipseSpan).
constexpr double kLambda = 1.0 / 1024.0;
// Spans are widened by whole pixels beyond the real roots, which the double-precision
// solution gets far closer than this.
constexpr double kWidening = 2.0;
// Beyond this a double no longer places a column to within the widening.
constexpr double kLargestUsefulRoot = 1e9;

struct Line {
    double slope;   // per column
    double offset;  // at column 0 of the row
    double error;   // bound on |single-precision value - exact value| anywhere in the row
};

Line RowLine(const float (&m)[3], double y, double last_column) {
    const double magnitude = std::fabs(m[0]) * last_column + std::fabs(m[1]) * std::fabs(y) + std::fabs(m[2]);
    return {m[0], static_cast<double>(m[1]) * y + m[2],
            magnitude * kCoordinateRelativeError + kCoordinateAbsoluteError};
}

RowSpan Clamp(double first, double last, A_long columns) {
    if (!(first <= last)) return {1, 0};
    const double low = std::floor(first - kWidening), high = std::ceil(last + kWidening);
    if (high < 0 || low > columns - 1) return {1, 0};
    return {static_cast<A_long>(std::max(low, 0.0)), static_cast<A_long>(std::min(high, columns - 1.0))};
}

// Columns where |slope·x + offset| < limit, as a real interval (empty when first > last).
void AbsBelow(const Line& line, double limit, double* first, double* last) {
    if (line.slope == 0) {
        const bool everywhere = std::fabs(line.offset) < limit;
        *first = everywhere ? -std::numeric_limits<double>::infinity() : 1;
        *last = everywhere ? std::numeric_limits<double>::infinity() : 0;
        return;
    }
    const double a = (-limit - line.offset) / line.slope, b = (limit - line.offset) / line.slope;
    *first = std::min(a, b);
    *last = std::max(a, b);
}

// The rectangle's pixel is outside when |u| >= a or |v| >= b in single precision. That holds
// for certain once the exact |u| is at least a + (u's rounding bound), and the same for v, so
// only columns with both exact values below those limits can be inside.
bool ComputeRectangleSpan(const RenderContext& ctx, const Line& u, const Line& v, A_long columns, RowSpan* span) {
    double u_first, u_last, v_first, v_last;
    AbsBelow(u, (ctx.half_width + u.error) * (1 + 1e-9), &u_first, &u_last);
    AbsBelow(v, (ctx.half_height + v.error) * (1 + 1e-9), &v_first, &v_last);
    *span = Clamp(std::max(u_first, v_first), std::min(u_last, v_last), columns);
    return true;
}

// The ellipse's pixel is outside when fl(v²·cv + u²·cu) >= 1. With E the rounding bound of a
// coordinate, |u_single| >= |u| - E, and (|u| - E)² >= (1 - λ)u² - (1/λ - 1)E² for any λ in
// (0, 1). So the test holds for certain once
//     (1 - λ)·q(x) - (1/λ - 1)(cu·Eu² + cv·Ev²) >= 1 / (1 - sum rounding),
// q(x) = cu·u(x)² + cv·v(x)² being a quadratic in the column. Only columns where q stays
// below that threshold can be inside.
bool ComputeEllipseSpan(const RenderContext& ctx, const Line& u, const Line& v, A_long columns, RowSpan* span) {
    const double cu = ctx.coef_u, cv = ctx.coef_v;
    const double a = cu * u.slope * u.slope + cv * v.slope * v.slope;
    const double b = 2 * (cu * u.slope * u.offset + cv * v.slope * v.offset);
    const double c = cu * u.offset * u.offset + cv * v.offset * v.offset;
    const double slack = (1 / kLambda - 1) * (cu * u.error * u.error + cv * v.error * v.error);
    const double threshold = (1 / (1 - kSumRelativeError) + slack) / (1 - kLambda) * (1 + 1e-9);
    if (!(a > 0) || !std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c)) return false;
    const double discriminant = b * b - 4 * a * (c - threshold);
    if (!std::isfinite(discriminant)) return false;
    if (discriminant < 0) {
        *span = {1, 0};  // q stays above the threshold along the whole row
        return true;
    }
    const double root = std::sqrt(discriminant);
    const double first = (-b - root) / (2 * a), last = (-b + root) / (2 * a);
    if (!(std::fabs(first) < kLargestUsefulRoot && std::fabs(last) < kLargestUsefulRoot)) return false;
    *span = Clamp(first, last, columns);
    return true;
}

bool UsableGeometry(const RenderContext& ctx) {
    for (const auto& row : ctx.pixel_to_shape) {
        for (float value : row) {
            if (!std::isfinite(value)) return false;
        }
    }
    if (ctx.is_ellipse) return std::isfinite(ctx.coef_u) && std::isfinite(ctx.coef_v) && ctx.coef_u > 0 &&
                               ctx.coef_v > 0;
    return std::isfinite(ctx.half_width) && std::isfinite(ctx.half_height);
}

}  // namespace

std::vector<RowSpan> ComputeOutsideSpans(const RenderContext& ctx, A_long columns, A_long rows) {
    std::vector<RowSpan> spans;
    if (columns <= 0 || rows <= 0 || !UsableGeometry(ctx)) return spans;
    spans.resize(static_cast<size_t>(rows));
    const double last_column = columns - 1.0;
    for (A_long y = 0; y < rows; ++y) {
        const Line u = RowLine(ctx.pixel_to_shape[0], y, last_column);
        const Line v = RowLine(ctx.pixel_to_shape[1], y, last_column);
        const bool certain = ctx.is_ellipse ? ComputeEllipseSpan(ctx, u, v, columns, &spans[y])
                                            : ComputeRectangleSpan(ctx, u, v, columns, &spans[y]);
        if (!certain) spans[y] = {0, columns - 1};
    }
    return spans;
}

}  // namespace qxv
