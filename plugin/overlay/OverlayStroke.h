// How an overlay path is stroked, and the status chain every drawing routine follows.
// After Effects strokes a path in its own overlay style (the user's colour, line width and
// drop shadow); Premiere Pro has no overlay theme, so the path is stroked on the drawing
// surface with a 1-pixel pen of a fixed colour.
#pragma once

#include <utility>

#include "AE_Effect.h"
#include "DrawbotSuite.h"
#include "host/DrawbotSuites.h"
#include "host/SuiteCache.h"
#include "overlay/DrawbotRefs.h"

namespace qxv {

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

}  // namespace qxv
