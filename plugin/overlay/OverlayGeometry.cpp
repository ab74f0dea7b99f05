#include "overlay/OverlayGeometry.h"

#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "host/HostApp.h"
#include "overlay/FixedMath.h"
#include "params/ParamIndex.h"

namespace qxv {

OverlayParams ReadOverlayParams(PF_ParamDef* params[]) {
    OverlayParams p;
    p.vignette_type = params[kParamVignetteType]->u.pd.value;
    p.origin.x = params[kParamOrigin]->u.td.x_value;
    p.origin.y = params[kParamOrigin]->u.td.y_value;
    p.width = params[kParamWidth]->u.fs_d.value;
    p.height = params[kParamHeight]->u.fs_d.value;
    p.angle = params[kParamAngle]->u.ad.value;
    p.feather = params[kParamFeather]->u.fs_d.value;
    p.opacity = params[kParamOpacity]->u.fd.value;
    return p;
}

float AngleRadians(PF_Fixed degrees) {
    return static_cast<float>(degrees * kFixedScale * 0.017453292519943295);
}

float PixelAspect(const PF_InData* in_data) {
    return static_cast<float>(in_data->pixel_aspect_ratio.num) / static_cast<float>(in_data->pixel_aspect_ratio.den);
}

float InversePixelAspect(const PF_InData* in_data) {
    return static_cast<float>(in_data->pixel_aspect_ratio.den) / static_cast<float>(in_data->pixel_aspect_ratio.num);
}

namespace {

bool InCompWindow(const PF_EventExtra* extra) { return (*extra->contextH)->w_type == PF_Window_COMP; }

void LayerToComp(const PF_InData* in_data, const PF_EventExtra* extra, PF_FixedPoint* point) {
    extra->cbs.layer_to_comp(extra->cbs.refcon, extra->contextH, in_data->current_time,
                              static_cast<A_long>(in_data->time_scale), point);
}

void SourceToFrame(const PF_EventExtra* extra, PF_FixedPoint* point) {
    extra->cbs.source_to_frame(extra->cbs.refcon, extra->contextH, point);
}

}  // namespace

void LayerToWindow(const PF_InData* in_data, const PF_EventExtra* extra, PF_FixedPoint* point) {
    if (InCompWindow(extra)) LayerToComp(in_data, extra, point);
    SourceToFrame(extra, point);
}

PF_FixedPoint WindowToLayer(const PF_InData* in_data, const PF_EventExtra* extra, PF_Point window_point) {
    PF_FixedPoint point = {SaturateToLong(static_cast<std::int64_t>(window_point.h) * kFixedOne),
                           SaturateToLong(static_cast<std::int64_t>(window_point.v) * kFixedOne)};
    extra->cbs.frame_to_source(extra->cbs.refcon, extra->contextH, &point);
    if (InCompWindow(extra)) {
        extra->cbs.comp_to_layer(extra->cbs.refcon, extra->contextH, in_data->current_time,
                                  static_cast<A_long>(in_data->time_scale), &point);
    }
    return point;
}

CornerSet CornersToWindow(const PF_InData* in_data, const PF_EventExtra* extra, const FixedRect& rect) {
    CornerSet corners;
    corners.top_left = {rect.left, rect.top};
    corners.top_right = {rect.right, rect.top};
    corners.bottom_right = {rect.right, rect.bottom};
    corners.bottom_left = {rect.left, rect.bottom};
    PF_FixedPoint* const mapping_order[] = {&corners.top_left, &corners.top_right, &corners.bottom_right,
                                            &corners.bottom_left};
    if (InCompWindow(extra)) {
        for (PF_FixedPoint* point : mapping_order) LayerToComp(in_data, extra, point);
    }
    for (PF_FixedPoint* point : mapping_order) SourceToFrame(extra, point);
    return corners;
}

ShapeRects ComputeShapeRects(const PF_InData* in_data, const OverlayParams& params) {
    const PF_Fixed half_width = RoundToFixed(params.width * 0.5);
    const PF_Fixed half_height = RoundToFixed(params.height * 0.5);
    const float inverse_aspect = InversePixelAspect(in_data);

    // The horizontal edges are worked out in single precision, the vertical ones in integers.
    const float origin_x = static_cast<float>(params.origin.x);
    const float half_width_across = static_cast<float>(half_width) * inverse_aspect;
    const float left = origin_x - half_width_across;
    const float right = half_width_across + origin_x;

    ShapeRects rects;
    FixedRect& outline = rects.outline;
    outline.left = TruncateToLong(left);
    outline.right = TruncateToLong(right);
    outline.top = SaturateToLong(static_cast<std::int64_t>(params.origin.y) - half_height);
    outline.bottom = SaturateToLong(static_cast<std::int64_t>(params.origin.y) + half_height);

    const double ratio = params.height == 0 ? 0.0 : params.width / params.height;
    const PF_Fixed inset_x = RoundToFixed(params.feather * static_cast<double>(inverse_aspect));
    // A zero-width or zero-height outline has no ratio (F / 0), so the vertical inset would be
    // infinite or undefined. The feather rectangle then keeps the outline's top and bottom:
    // with no height there is nothing to inset, and with no width every feather already
    // reaches past the centre horizontally.
    PF_Fixed inset_y = 0;
    if (ratio != 0) {
        const double inset_y_pixels = params.feather / ratio;
        if (std::isfinite(inset_y_pixels)) inset_y = RoundToFixed(inset_y_pixels);
    }

    FixedRect& feather = rects.feather;
    feather.left = SaturateToLong(static_cast<std::int64_t>(outline.left) + inset_x);
    feather.top = SaturateToLong(static_cast<std::int64_t>(outline.top) + inset_y);
    feather.right = SaturateToLong(static_cast<std::int64_t>(outline.right) - inset_x);
    feather.bottom = SaturateToLong(static_cast<std::int64_t>(outline.bottom) - inset_y);
    return rects;
}

namespace {

template <typename Real>
void RotateAbout(CornerSet* corners, PF_FixedPoint centre, Real cos_a, Real sin_a) {
    for (PF_FixedPoint* p : {&corners->top_left, &corners->top_right, &corners->bottom_left, &corners->bottom_right}) {
        const Real dx = static_cast<Real>(static_cast<std::int64_t>(p->x) - centre.x);
        const Real dy = static_cast<Real>(static_cast<std::int64_t>(p->y) - centre.y);
        const Real x = dx * cos_a - dy * sin_a + static_cast<Real>(centre.x);
        const Real y = dy * cos_a + dx * sin_a + static_cast<Real>(centre.y);
        p->x = TruncateToLong(x);
        p->y = TruncateToLong(y);
    }
}

}  // namespace

void RotateCorners(const PF_InData* in_data, SuiteCache& cache, CornerSet* corners, PF_FixedPoint centre, float angle) {
    if (IsPremierePro(in_data)) {
        RotateAbout<float>(corners, centre, std::cos(angle), std::sin(angle));
        return;
    }
    const PF_ANSICallbacksSuite1* ansi = cache.ANSISuite();
    const double cos_a = ansi->cos(angle);
    const double sin_a = ansi->sin(angle);
    RotateAbout<double>(corners, centre, cos_a, sin_a);
}

EllipseOutline ComputeEllipseOutline(const PF_InData* in_data, SuiteCache& cache, PF_FixedPoint origin, double angle,
                                     double half_width, double half_height, const PF_EventExtra* extra) {
    // Premiere Pro's maths is the standard library's, so no suite is needed there.
    const PF_ANSICallbacksSuite1* ansi = IsPremierePro(in_data) ? nullptr : cache.ANSISuite();
    const auto cosine = [ansi](double v) { return ansi ? ansi->cos(v) : std::cos(v); };
    const auto sine = [ansi](double v) { return ansi ? ansi->sin(v) : std::sin(v); };

    const double aspect = PixelAspect(in_data);
    const double cos_a = cosine(angle);
    const double sin_a = sine(angle);

    EllipseOutline outline;
    for (int i = 0; i < kEllipseOutlinePoints; ++i) {
        const double t = i * 6.283185307179586 * 0.015625;
        const double along = cosine(t) * half_width;
        const double across = sine(t) * half_height;
        const double x = (cos_a * along - sin_a * across) / aspect;
        const double y = sin_a * along + cos_a * across;
        PF_FixedPoint point = {SaturateToLong(static_cast<std::int64_t>(origin.x) + RoundToFixed(x)),
                               SaturateToLong(static_cast<std::int64_t>(origin.y) + RoundToFixed(y))};
        LayerToWindow(in_data, extra, &point);
        outline[i] = {static_cast<float>(point.x * kFixedScale), static_cast<float>(point.y * kFixedScale)};
    }
    return outline;
}

namespace {

PF_Point FloorToPixel(PF_FixedPoint p) { return {FixedToWholePixel(p.x), FixedToWholePixel(p.y)}; }

PF_Point RoundToPixel(PF_FixedPoint p) { return {FixedToNearestPixel(p.x), FixedToNearestPixel(p.y)}; }

// Truncated toward zero in 16.16, before the floor to whole pixels.
PF_FixedPoint Midpoint(PF_FixedPoint a, PF_FixedPoint b) {
    return {static_cast<PF_Fixed>((static_cast<std::int64_t>(a.x) + b.x) / 2),
            static_cast<PF_Fixed>((static_cast<std::int64_t>(a.y) + b.y) / 2)};
}

}  // namespace

OverlayCorners ComputeOverlayCorners(const PF_InData* in_data, SuiteCache& cache, const OverlayParams& params,
                                     const PF_EventExtra* extra) {
    OverlayCorners corners;
    corners.origin = params.origin;
    LayerToWindow(in_data, extra, &corners.origin);
    const ShapeRects rects = ComputeShapeRects(in_data, params);
    corners.outline = CornersToWindow(in_data, extra, rects.outline);
    corners.feather = CornersToWindow(in_data, extra, rects.feather);
    const float angle = AngleRadians(params.angle);
    RotateCorners(in_data, cache, &corners.outline, corners.origin, angle);
    RotateCorners(in_data, cache, &corners.feather, corners.origin, angle);
    return corners;
}

PF_FixedPoint ComputeAngleHandle(const PF_InData* in_data, const OverlayParams& params, const PF_EventExtra* extra) {
    const double reach = in_data->height / 5.0;
    // The standard library's single-precision sine and cosine in both hosts.
    const float angle = AngleRadians(params.angle);
    const double sin_a = std::sin(angle);
    const double cos_a = std::cos(angle);
    const PF_Fixed dx = RoundToFixed(sin_a * reach);
    const PF_Fixed dy = RoundToFixed(cos_a * reach);
    const float x = static_cast<float>(dx) / PixelAspect(in_data) + static_cast<float>(params.origin.x);
    PF_FixedPoint handle = {TruncateToLong(x), SaturateToLong(static_cast<std::int64_t>(params.origin.y) - dy)};
    LayerToWindow(in_data, extra, &handle);
    return handle;
}

PF_FixedPoint OpacityHandle(PF_FixedPoint origin_window, PF_Fixed opacity) {
    return {SaturateToLong(static_cast<std::int64_t>(origin_window.x) - kOpacityTrackOffsetX * kFixedOne),
            SaturateToLong(static_cast<std::int64_t>(origin_window.y) + kOpacityTrackHalfLength * kFixedOne - opacity)};
}

std::array<PF_Point, kHandleCount> ComputeHitTestHandles(const PF_InData* in_data, SuiteCache& cache,
                                                         const OverlayParams& params, const PF_EventExtra* extra) {
    const OverlayCorners corners = ComputeOverlayCorners(in_data, cache, params, extra);
    const PF_FixedPoint angle_handle = ComputeAngleHandle(in_data, params, extra);
    const CornerSet& outline = corners.outline;
    const CornerSet& feather = corners.feather;
    return {
        FloorToPixel(outline.top_left),
        FloorToPixel(outline.top_right),
        FloorToPixel(outline.bottom_left),
        FloorToPixel(outline.bottom_right),
        FloorToPixel(angle_handle),
        FloorToPixel(Midpoint(feather.top_left, feather.bottom_left)),
        FloorToPixel(Midpoint(feather.top_right, feather.bottom_right)),
        FloorToPixel(Midpoint(feather.top_left, feather.top_right)),
        FloorToPixel(Midpoint(feather.bottom_left, feather.bottom_right)),
        FloorToPixel(OpacityHandle(corners.origin, params.opacity)),
    };
}

PixelCorners RoundCornersForDrawing(const CornerSet& corners) {
    return {RoundToPixel(corners.top_left), RoundToPixel(corners.top_right), RoundToPixel(corners.bottom_left),
            RoundToPixel(corners.bottom_right)};
}

}  // namespace qxv
