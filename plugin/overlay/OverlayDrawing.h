// Drawing the overlay for a draw event: how a path is stroked in each host, the status chain
// every drawing routine follows, the quads, the ellipse outline and the whole overlay.
#pragma once

#include <utility>

#include "AE_Effect.h"
#include "AE_EffectUI.h"
#include "DrawbotSuite.h"
#include "host/SuiteCache.h"
#include "overlay/DrawbotOwners.h"
#include "overlay/OverlayGeometry.h"

namespace qxv {

// How an overlay path is stroked, and the status chain every drawing routine follows.
// After Effects strokes a path in its own overlay style (the user's colour, line width and
// drop shadow); Premiere Pro has no overlay theme, so the path is stroked on the drawing
// surface with a 1-pixel pen of a fixed colour.
// Premiere Pro's colours: light grey for the ellipse outline, yellow for everything else.
constexpr DRAWBOT_ColorRGBA kPremiereOutlineColor = {0.9f, 0.9f, 0.9f, 1.0f};
constexpr DRAWBOT_ColorRGBA kPremiereOverlayColor = {0.9f, 0.9f, 0.0f, 1.0f};
constexpr float kPremierePenWidth = 1.0f;

// What one draw event strokes with, set up once by DrawOverlay and handed to every routine.
struct OverlayCanvas {
    const PF_InData* in_data;
    SuiteCache* cache;  // the event's one cache
    DrawbotSuites suites;
    DRAWBOT_DrawRef drawing_ref;
    DrawbotReleaseFailure* release_failure;
};

// The overlay's quiet stop, written once. Each drawing routine carries one status: a host
// call runs only while it is 0, and its result becomes the status, so the first failing call
// ends the drawing of that routine, and DrawOverlay, which chains the routines' results the
// same way, draws nothing more in the event. The host is told nothing (the next draw event
// starts afresh) and the event still counts as handled. Making and giving back pens and
// paths is outside the chain: that fails by DRAWBOT_Exception.
class DrawingChain {
public:
    template <typename Call, typename... Args>
    void Run(Call&& call, Args&&... args) {
        if (status_ == PF_Err_NONE) status_ = std::forward<Call>(call)(std::forward<Args>(args)...);
    }
    bool Failed() const { return status_ != PF_Err_NONE; }
    PF_Err Status() const { return status_; }

private:
    PF_Err status_ = PF_Err_NONE;
};

// One stroke of a path: the overlay theme's PF_StrokePath with its shadow in After Effects,
// the surface's StrokePath with the pen in Premiere Pro. Returns the host's status.
PF_Err StrokeOverlayPath(const OverlayCanvas& canvas, DRAWBOT_SurfaceRef surface, DRAWBOT_PenRef pen,
                         DRAWBOT_PathRef path);

// The stroke of a routine that draws one path of its own, as a step of its chain. In
// Premiere Pro the surface is asked for and a pen of premiere_colour is made for this stroke
// alone; the pen is made (and given back) whatever the status.
void StrokeOwnPath(const OverlayCanvas& canvas, DRAWBOT_SupplierRef supplier, const DRAWBOT_ColorRGBA& premiere_colour,
                   DRAWBOT_PathRef path, DrawingChain* chain);

// Strokes a closed four-sided path through whole-pixel window points.
// Goes round top-left, top-right, bottom-right, bottom-left and closes. Returns the first
// failing host status (0 when all succeeded); a failed path creation throws
// DRAWBOT_Exception.
PF_Err StrokeQuad(const OverlayCanvas& canvas, const PixelCorners& quad);

// Strokes the 64-point ellipse outline of an Ellipse vignette.
// origin: 16.16 layer point; angle in radians; half sizes in layer pixels. Returns the
// first failing host status (0 when all succeeded); a failed pen or path creation throws
// DRAWBOT_Exception.
PF_Err StrokeEllipseOutline(const OverlayCanvas& canvas, PF_FixedPoint origin, double angle, double half_width,
                            double half_height, const PF_EventExtra* extra);

// Draws the overlay for a draw event in the composition or layer window: the ellipse
// outline (Ellipse only), the outline rectangle with its four corner squares, the four
// feather circles, the angle line and circle, and the opacity track with its knob.
// A failing drawing call ends the drawing quietly: the host is told nothing. Suites come
// from the event's cache: one it cannot supply throws PF_Err (the Drawbot suites are
// reported to the user instead, and nothing is drawn). A pen or path that cannot be made
// or given back throws DRAWBOT_Exception, once every pen and path made is given back.
void DrawOverlay(PF_InData* in_data, SuiteCache& cache, PF_ParamDef* params[], PF_EventExtra* extra);

}  // namespace qxv
