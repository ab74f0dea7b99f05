#include "overlay/OverlayDrawing.h"

#include <initializer_list>

#include "host/HostApp.h"
#include "host/SuiteCache.h"
#include "overlay/DrawbotOwners.h"
#include "overlay/FixedMath.h"
#include "overlay/OverlayGeometry.h"
#include "params/ParamIndex.h"

namespace qxv {

PF_Err StrokeOverlayPath(const OverlayCanvas& canvas, DRAWBOT_SurfaceRef surface, DRAWBOT_PenRef pen,
                         DRAWBOT_PathRef path) {
    if (IsPremierePro(canvas.in_data)) return canvas.suites.surface->StrokePath(surface, pen, path);
    const PF_Boolean draw_shadow = 1;
    return canvas.cache->OverlayThemeSuite()->PF_StrokePath(canvas.drawing_ref, path, draw_shadow);
}

void StrokeOwnPath(const OverlayCanvas& canvas, DRAWBOT_SupplierRef supplier, const DRAWBOT_ColorRGBA& premiere_colour,
                   DRAWBOT_PathRef path, DrawingChain* chain) {
    if (!IsPremierePro(canvas.in_data)) {
        chain->Run(StrokeOverlayPath, canvas, nullptr, nullptr, path);
        return;
    }
    DRAWBOT_SurfaceRef surface = nullptr;
    chain->Run(canvas.suites.draw->GetSurface, canvas.drawing_ref, &surface);
    const DRAWBOT_PenP pen(canvas.suites.supplier, canvas.release_failure, supplier, premiere_colour,
                           kPremierePenWidth);
    chain->Run(StrokeOverlayPath, canvas, surface, pen.Get(), path);
}

namespace {

float X(PF_Point p) { return static_cast<float>(p.h); }
float Y(PF_Point p) { return static_cast<float>(p.v); }

}  // namespace

PF_Err StrokeQuad(const OverlayCanvas& canvas, const PixelCorners& quad) {
    DrawingChain chain;
    DRAWBOT_SupplierRef supplier = nullptr;
    chain.Run(canvas.suites.draw->GetSupplier, canvas.drawing_ref, &supplier);
    const DRAWBOT_PathP path(canvas.suites.supplier, canvas.release_failure, supplier);

    const DRAWBOT_PathSuite1* path_suite = canvas.suites.path;
    chain.Run(path_suite->MoveTo, path.Get(), X(quad.top_left), Y(quad.top_left));
    chain.Run(path_suite->LineTo, path.Get(), X(quad.top_right), Y(quad.top_right));
    chain.Run(path_suite->LineTo, path.Get(), X(quad.bottom_right), Y(quad.bottom_right));
    chain.Run(path_suite->LineTo, path.Get(), X(quad.bottom_left), Y(quad.bottom_left));
    chain.Run(path_suite->Close, path.Get());

    StrokeOwnPath(canvas, supplier, kPremiereOverlayColor, path.Get(), &chain);
    return chain.Status();
}

PF_Err StrokeEllipseOutline(const OverlayCanvas& canvas, PF_FixedPoint origin, double angle, double half_width,
                            double half_height, const PF_EventExtra* extra) {
    DrawingChain chain;
    DRAWBOT_SupplierRef supplier = nullptr;
    chain.Run(canvas.suites.draw->GetSupplier, canvas.drawing_ref, &supplier);
    const DRAWBOT_PathP path(canvas.suites.supplier, canvas.release_failure, supplier);
    const EllipseOutline points =
        ComputeEllipseOutline(canvas.in_data, *canvas.cache, origin, angle, half_width, half_height, extra);

    // The outline starts with a zero-length segment and ends by returning to point 0
    // instead of closing the path.
    const DRAWBOT_PathSuite1* path_suite = canvas.suites.path;
    chain.Run(path_suite->MoveTo, path.Get(), points[0].x, points[0].y);
    for (const DRAWBOT_PointF32& point : points) chain.Run(path_suite->LineTo, path.Get(), point.x, point.y);
    chain.Run(path_suite->LineTo, path.Get(), points[0].x, points[0].y);

    StrokeOwnPath(canvas, supplier, kPremiereOutlineColor, path.Get(), &chain);
    return chain.Status();
}

namespace {

constexpr float kCornerSquareHalfSize = 3.0f;
constexpr float kFeatherCircleRadius = 4.0f;
constexpr float kAngleCircleRadius = 6.0f;
constexpr float kArcStart = 0.0f;
constexpr float kFullCircleSweep = 360.0f;

DRAWBOT_PointF32 ToWindowFloat(PF_FixedPoint p) {
    return {static_cast<float>(p.x * kFixedScale), static_cast<float>(p.y * kFixedScale)};
}

PixelCorners CornerSquare(PF_Point corner) {
    const A_long size = static_cast<A_long>(kCornerSquareHalfSize);
    return {{corner.h - size, corner.v - size},
            {corner.h + size, corner.v - size},
            {corner.h - size, corner.v + size},
            {corner.h + size, corner.v + size}};
}

DRAWBOT_PointF32 Centre(PF_Point a, PF_Point b) {
    return {static_cast<float>((static_cast<double>(a.h) + b.h) * 0.5),
            static_cast<float>((static_cast<double>(a.v) + b.v) * 0.5)};
}

// Everything the event draws; the pens and paths made here and in the routines it calls are
// all gone when it returns, given back or noted in the canvas's release failure.
void DrawWithCanvas(const OverlayCanvas& canvas, const OverlayParams& p, const OverlayCorners& corners,
                    PF_EventExtra* extra, DrawingChain& chain) {
    const PF_InData* in_data = canvas.in_data;
    SuiteCache& cache = *canvas.cache;
    const DrawbotSuites& suites = canvas.suites;
    const PixelCorners outline = RoundCornersForDrawing(corners.outline);
    const PixelCorners feather = RoundCornersForDrawing(corners.feather);

    DRAWBOT_SurfaceRef surface = nullptr;
    chain.Run(suites.draw->GetSurface, canvas.drawing_ref, &surface);
    if (p.vignette_type == kVignetteEllipse) {
        chain.Run(StrokeEllipseOutline, canvas, p.origin, AngleRadians(p.angle), p.width * 0.5, p.height * 0.5, extra);
    }
    chain.Run(StrokeQuad, canvas, outline);

    DRAWBOT_ColorRGBA colour = {};
    if (IsPremierePro(in_data)) {
        colour = kPremiereOverlayColor;
    } else {
        chain.Run([&] { return cache.OverlayThemeSuite()->PF_GetPreferredForegroundColor(&colour); });
    }

    for (PF_Point corner : {outline.top_left, outline.top_right, outline.bottom_right, outline.bottom_left}) {
        chain.Run(StrokeQuad, canvas, CornerSquare(corner));
    }

    DRAWBOT_SupplierRef supplier = nullptr;
    chain.Run(suites.draw->GetSupplier, canvas.drawing_ref, &supplier);
    // Once a step has failed nothing more is drawn, and a pen or path asked of a supplier we
    // never got would only give the host a null reference to refuse.
    if (chain.Failed()) return;
    DRAWBOT_PathP path(suites.supplier, canvas.release_failure, supplier);
    const DRAWBOT_PenP pen(suites.supplier, canvas.release_failure, supplier, colour, kPremierePenWidth);
    const DRAWBOT_PathSuite1* path_suite = suites.path;
    const auto stroke = [&] { chain.Run(StrokeOverlayPath, canvas, surface, pen.Get(), path.Get()); };

    // The feather shows only as four circles, all in one path: top, bottom, left, right.
    const DRAWBOT_PointF32 feather_handles[] = {
        Centre(feather.top_left, feather.top_right), Centre(feather.bottom_left, feather.bottom_right),
        Centre(feather.top_left, feather.bottom_left), Centre(feather.top_right, feather.bottom_right)};
    for (const DRAWBOT_PointF32& centre : feather_handles) {
        chain.Run(path_suite->AddArc, path.Get(), &centre, kFeatherCircleRadius, kArcStart, kFullCircleSweep);
    }
    stroke();

    const DRAWBOT_PointF32 origin = ToWindowFloat(corners.origin);
    DRAWBOT_PointF32 angle_handle = {};
    if (chain.Failed()) return;
    angle_handle = ToWindowFloat(ComputeAngleHandle(in_data, p, extra));
    path.Replace(supplier);
    chain.Run(path_suite->MoveTo, path.Get(), origin.x, origin.y);
    chain.Run(path_suite->LineTo, path.Get(), angle_handle.x, angle_handle.y);
    stroke();

    if (chain.Failed()) return;
    path.Replace(supplier);
    chain.Run(path_suite->AddArc, path.Get(), &angle_handle, kAngleCircleRadius, kArcStart, kFullCircleSweep);
    stroke();

    const float track_x = origin.x - static_cast<float>(kOpacityTrackOffsetX);
    const float track_top = origin.y - static_cast<float>(kOpacityTrackHalfLength);
    const float track_bottom = track_top + static_cast<float>(2 * kOpacityTrackHalfLength);
    if (chain.Failed()) return;
    path.Replace(supplier);
    chain.Run(path_suite->MoveTo, path.Get(), track_x, track_top);
    chain.Run(path_suite->LineTo, path.Get(), track_x, track_bottom);
    stroke();

    // The knob sits Opacity window pixels above the track's 0 % end; what its stroke
    // returns no longer matters, nothing is drawn after it.
    if (chain.Failed()) return;
    const float level = track_top + static_cast<float>(100.0 - p.opacity * kFixedScale);
    const A_long left = TruncateToLong(track_x - 5.0f);
    const A_long right = TruncateToLong(track_x + 6.0f);
    const A_long top = TruncateToLong(level - 2.0f);
    const A_long bottom = TruncateToLong(level + 2.0f);
    StrokeQuad(canvas, {{left, top}, {right, top}, {left, bottom}, {right, bottom}});
}

}  // namespace

void DrawOverlay(PF_InData* in_data, SuiteCache& cache, PF_ParamDef* params[], PF_EventExtra* extra) {
    const OverlayParams p = ReadOverlayParams(params);
    const OverlayCorners corners = ComputeOverlayCorners(in_data, cache, p, extra);

    OverlayCanvas canvas = {in_data, &cache, {}, nullptr, nullptr};
    // Every drawing call below goes through these suites: without all four, draw nothing
    // (the user has been told).
    if (AEFX_AcquireDrawbotSuites(cache, &canvas.suites) != PF_Err_NONE) return;

    DrawingChain chain;
    chain.Run(cache.EffectCustomUISuite()->PF_GetDrawingReference, extra->contextH, &canvas.drawing_ref);
    if (!canvas.drawing_ref) return;  // the host does not want us to draw now

    DrawbotReleaseFailure release_failure;
    canvas.release_failure = &release_failure;
    DrawWithCanvas(canvas, p, corners, extra, chain);
    ThrowIfDrawbotError(release_failure.err);
}

}  // namespace qxv
