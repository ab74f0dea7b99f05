// The overlay's geometry, shared by drawing and hit testing: the parameter values it works
// from, the mapping between layer and window, the outline and feather rectangles, the ellipse
// outline, and where each of the ten handles lies. Each handle's place is defined here once.
#pragma once

#include <array>

#include "AE_Effect.h"
#include "AE_EffectUI.h"
#include "DrawbotSuite.h"
#include "host/SuiteCache.h"

namespace qxv {

// The records the overlay geometry passes around: rectangles in layer coordinates and the
// corner sets they become in the window.
// 16.16 layer coordinates.
struct FixedRect {
    PF_Fixed left, top, right, bottom;
};

// The outline of the vignette and the feather rectangle inside it.
struct ShapeRects {
    FixedRect outline;
    FixedRect feather;
};

// Corners of an unrotated rectangle, named as on the unrotated shape; 16.16 window
// coordinates unless a user reduces them.
struct CornerSet {
    PF_FixedPoint top_left, top_right, bottom_left, bottom_right;
};

// The same four corners reduced to whole window pixels.
struct PixelCorners {
    PF_Point top_left, top_right, bottom_left, bottom_right;
};

// The parameter values and host factors the overlay works from. Nothing is kept between
// events: every draw, click and drag reads them afresh from the host's records.
struct OverlayParams {
    A_long vignette_type;    // 1 Ellipse, 2 Rectangle
    PF_FixedPoint origin;    // Point of origin, 16.16 layer coordinates
    double width, height;    // layer pixels
    PF_Fixed angle;          // degrees, 16.16
    double feather;          // square pixels
    PF_Fixed opacity;        // percent, 16.16
};

OverlayParams ReadOverlayParams(PF_ParamDef* params[]);

// Degrees to radians in double precision, then held in single precision: every overlay
// routine works from this same float.
float AngleRadians(PF_Fixed degrees);

// The pixel aspect ratio num / den, and its inverse den / num, each as a single-precision
// quotient of the two single-precision terms.
float PixelAspect(const PF_InData* in_data);
float InversePixelAspect(const PF_InData* in_data);

// Points between the layer and the window the event arrived in, through the host's event
// callbacks. The composition window adds the layer's place in the composition; both windows
// then apply the view's zoom and scroll. The callbacks' return codes are not examined: a
// point is used as the callback left it.
void LayerToWindow(const PF_InData* in_data, const PF_EventExtra* extra, PF_FixedPoint* point);

// Whole window pixels in, 16.16 layer coordinates out (no reduction to whole pixels).
PF_FixedPoint WindowToLayer(const PF_InData* in_data, const PF_EventExtra* extra, PF_Point window_point);

// All four corners go through the first callback, then all four through the second, each
// time in the order TL, TR, BR, BL.
CornerSet CornersToWindow(const PF_InData* in_data, const PF_EventExtra* extra, const FixedRect& rect);

// The vignette's outline rectangle and its feather rectangle in layer coordinates.
// The outline is W x H about the origin, its horizontal half divided by the pixel aspect
// ratio. The feather rectangle is the outline shrunk by F at the sides (square pixels) and
// by F x H / W at the top and bottom, so it keeps the outline's proportions; with F beyond
// W / 2 it turns inside out. Nothing is clamped.
ShapeRects ComputeShapeRects(const PF_InData* in_data, const OverlayParams& params);

// Turns a corner set about a centre in window coordinates. Rectangles are rotated after
// they are mapped to the window, about the mapped origin; window y points down, so a
// positive angle turns them clockwise on screen.
// In After Effects in double precision with the sine and cosine of the host's "PF ANSI
// Suite" (through the event's cache); in Premiere Pro in single precision with the
// standard library's. Results are truncated toward zero to 16.16.
void RotateCorners(const PF_InData* in_data, SuiteCache& cache, CornerSet* corners, PF_FixedPoint centre, float angle);

// The vignette ellipse as 64 window points. The ellipse is rotated in layer space, in
// square pixels, before it is mapped: the offset is turned first and only then is its
// horizontal part divided by the pixel aspect ratio.
constexpr int kEllipseOutlinePoints = 64;

using EllipseOutline = std::array<DRAWBOT_PointF32, kEllipseOutlinePoints>;

// Point 0 lies at the end of the rotated horizontal half-axis; the first point is not
// repeated at the end. Sine and cosine come from the host's "PF ANSI Suite" in After
// Effects (through the event's cache) and from the standard library in Premiere Pro.
EllipseOutline ComputeEllipseOutline(const PF_InData* in_data, SuiteCache& cache, PF_FixedPoint origin, double angle,
                                     double half_width, double half_height, const PF_EventExtra* extra);

// The ten overlay handles. Their 16.16 window positions are computed once, here, and
// reduced to whole pixels in the two ways their users need: drawing rounds to the nearest
// pixel, hit testing floors. A handle can therefore be drawn up to one pixel away from
// where it is hit.
// Handle numbers: the order of the hit test, and what a drag holds in the click data.
enum OverlayHandle {
    kHandleTopLeft = 1,
    kHandleTopRight,
    kHandleBottomLeft,
    kHandleBottomRight,
    kHandleAngle,
    kHandleFeatherLeft,
    kHandleFeatherRight,
    kHandleFeatherTop,
    kHandleFeatherBottom,
    kHandleOpacity
};
constexpr int kHandleCount = 10;

// Where the corner and feather handles come from: the origin and both rectangles in
// window coordinates, the rectangles rotated about the mapped origin.
struct OverlayCorners {
    PF_FixedPoint origin;
    CornerSet outline;
    CornerSet feather;
};

OverlayCorners ComputeOverlayCorners(const PF_InData* in_data, SuiteCache& cache, const OverlayParams& params,
                                     const PF_EventExtra* extra);

// The angle handle: one fifth of the layer height from the origin, straight up at Angle 0
// and clockwise with a positive Angle, its horizontal offset divided by the pixel aspect
// ratio; in window coordinates.
PF_FixedPoint ComputeAngleHandle(const PF_InData* in_data, const OverlayParams& params, const PF_EventExtra* extra);

// The opacity handle on its track 40 window pixels left of the mapped origin: 1 % is one
// window pixel, 0 % lies 50 pixels below the origin. It neither rotates nor zooms.
PF_FixedPoint OpacityHandle(PF_FixedPoint origin_window, PF_Fixed opacity);

// The opacity track's place, in window pixels from the mapped origin, for the drawing, the
// hit test and the drag rule alike: kOpacityTrackOffsetX to the left, from
// kOpacityTrackHalfLength above (100 %) to as far below (0 %).
constexpr A_long kOpacityTrackOffsetX = 40;
constexpr A_long kOpacityTrackHalfLength = 50;

// All ten handles as the hit test sees them, indexed by handle number - 1: each
// coordinate floored to whole pixels, the feather midpoints formed in 16.16 first.
std::array<PF_Point, kHandleCount> ComputeHitTestHandles(const PF_InData* in_data, SuiteCache& cache,
                                                         const OverlayParams& params, const PF_EventExtra* extra);

// A corner set as drawn: each coordinate rounded to the nearest whole pixel.
PixelCorners RoundCornersForDrawing(const CornerSet& corners);

}  // namespace qxv
