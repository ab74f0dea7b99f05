#include "overlay/DrawOverlay.h"

#include <initializer_list>

#include "host/DrawbotSuites.h"
#include "host/HostApp.h"
#include "host/SuiteCache.h"
#include "overlay/DrawbotRefs.h"
#include "overlay/FixedMath.h"
#include "overlay/OverlayHandles.h"
#include "overlay/OverlayParams.h"
#include "overlay/OverlayStroke.h"
#include "overlay/StrokeEllipseOutline.h"
#include "overlay/StrokeQuad.h"
#include "params/ParamIndex.h"

namespace qxv {
namespace {

constexpr float kCornerSquareHalfSize = 3.0f;
constexpr float kFeatherCircleRadius = 4.0f;
constexpr float kAngleCircleRadius = 6.0f;
constexpr float kArcStart = 0.0f;
constexpr float kFullCircleSweep = 360.0f;
constexpr float kOpacityTrackOffsetX = 40.0f;
constexpr float kOpacityTrackHalfLength = 50.0f;

// Holds the four Drawbot suites for one draw and gives back whatever was obtained, also
// after a partial acquisition or when an exception leaves the draw.
class DrawbotSuitesHold {
public:
    DrawbotSuitesHold(PF_InData* in_data, PF_OutData* out_data) : in_data_(in_data), out_data_(out_data), suites_{} {}
    ~DrawbotSuitesHold() { AEFX_ReleaseDrawbotSuites(in_data_, out_data_, &suites_); }
    DrawbotSuitesHold(const DrawbotSuitesHold&) = delete;
    DrawbotSuitesHold& operator=(const DrawbotSuitesHold&) = delete;

    PF_Err Acquire() { return AEFX_AcquireDrawbotSuites(in_data_, out_data_, &suites_); }
    const DrawbotSuites& Suites() const { return suites_; }

private:
    PF_InData* in_data_;
    PF_OutData* out_data_;
    DrawbotSuites suites_;
};

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

}  // namespace

void DrawOverlay(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_EventExtra* extra) {
    SuiteCache cache(in_data->pica_basicP);
    const OverlayParams p = ReadOverlayParams(params);
    const OverlayCorners corners = ComputeOverlayCorners(in_data, p, extra);
    const PixelCorners outline = RoundCornersForDrawing(corners.outline);
    const PixelCorners feather = RoundCornersForDrawing(corners.feather);

    DrawbotSuitesHold drawbot(in_data, out_data);
    // Every drawing call below goes through these suites: without all four, draw nothing.
    if (drawbot.Acquire() != PF_Err_NONE) return;
    const DrawbotSuites& suites = drawbot.Suites();

    DRAWBOT_DrawRef drawing_ref = nullptr;
    PF_Err status = cache.EffectCustomUISuite()->PF_GetDrawingReference(extra->contextH, &drawing_ref);
    if (!drawing_ref) return;  // the host does not want us to draw now

    DRAWBOT_SurfaceRef surface = nullptr;
    if (!status) status = cache.DrawbotDrawSuite()->GetSurface(drawing_ref, &surface);
    if (!status && p.vignette_type == kVignetteEllipse) {
        status = StrokeEllipseOutline(in_data, p.origin, AngleRadians(p.angle), p.width * 0.5, p.height * 0.5,
                                      drawing_ref, suites, extra);
    }
    if (!status) status = StrokeQuad(in_data, outline, drawing_ref, suites);

    DRAWBOT_ColorRGBA colour = {};
    if (IsPremierePro(in_data)) {
        colour = kPremiereOverlayColor;
    } else if (!status) {
        status = cache.OverlayThemeSuite()->PF_GetPreferredForegroundColor(&colour);
    }

    for (PF_Point corner : {outline.top_left, outline.top_right, outline.bottom_right, outline.bottom_left}) {
        if (!status) status = StrokeQuad(in_data, CornerSquare(corner), drawing_ref, suites);
    }

    DRAWBOT_SupplierRef supplier = nullptr;
    if (!status) status = cache.DrawbotDrawSuite()->GetSupplier(drawing_ref, &supplier);
    // Once a step has failed nothing more is drawn, and a pen or path asked of a supplier we
    // never got would only give the host a null reference to refuse.
    if (status) return;
    DRAWBOT_PathP path(suites.supplier, supplier);
    const DRAWBOT_PenP pen(suites.supplier, supplier, colour, kPremierePenWidth);
    const DRAWBOT_PathSuite1* path_suite = suites.path;
    const auto stroke = [&] {
        if (!status) status = StrokeOverlayPath(in_data, cache, drawing_ref, suites, surface, pen.Get(), path.Get());
    };

    // The feather shows only as four circles, all in one path: top, bottom, left, right.
    const DRAWBOT_PointF32 feather_handles[] = {
        Centre(feather.top_left, feather.top_right), Centre(feather.bottom_left, feather.bottom_right),
        Centre(feather.top_left, feather.bottom_left), Centre(feather.top_right, feather.bottom_right)};
    for (const DRAWBOT_PointF32& centre : feather_handles) {
        if (!status) status = path_suite->AddArc(path.Get(), &centre, kFeatherCircleRadius, kArcStart, kFullCircleSweep);
    }
    stroke();

    const DRAWBOT_PointF32 origin = ToWindowFloat(corners.origin);
    DRAWBOT_PointF32 angle_handle = {};
    if (!status) {
        angle_handle = ToWindowFloat(ComputeAngleHandle(in_data, p, extra));
        path.Replace(supplier);
        status = path_suite->MoveTo(path.Get(), origin.x, origin.y);
        if (!status) status = path_suite->LineTo(path.Get(), angle_handle.x, angle_handle.y);
        stroke();
    }

    if (!status) {
        path.Replace(supplier);
        status = path_suite->AddArc(path.Get(), &angle_handle, kAngleCircleRadius, kArcStart, kFullCircleSweep);
        stroke();
    }

    const float track_x = origin.x - kOpacityTrackOffsetX;
    const float track_top = origin.y - kOpacityTrackHalfLength;
    const float track_bottom = track_top + 2 * kOpacityTrackHalfLength;
    if (!status) {
        path.Replace(supplier);
        status = path_suite->MoveTo(path.Get(), track_x, track_top);
        if (!status) status = path_suite->LineTo(path.Get(), track_x, track_bottom);
        stroke();
    }

    // The knob sits Opacity window pixels above the track's 0 % end; what its stroke
    // returns no longer matters, nothing is drawn after it.
    if (!status) {
        const float level = track_top + static_cast<float>(100.0 - p.opacity * kFixedScale);
        const A_long left = TruncateToLong(track_x - 5.0f);
        const A_long right = TruncateToLong(track_x + 6.0f);
        const A_long top = TruncateToLong(level - 2.0f);
        const A_long bottom = TruncateToLong(level + 2.0f);
        StrokeQuad(in_data, {{left, top}, {right, top}, {left, bottom}, {right, bottom}}, drawing_ref, suites);
    }
}

}  // namespace qxv
