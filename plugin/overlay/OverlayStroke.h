// How an overlay path is stroked. After Effects strokes it in its own overlay style (the
// user's colour, line width and drop shadow); Premiere Pro has no overlay theme, so the
// path is stroked on the drawing surface with a 1-pixel pen of a fixed colour.
#pragma once

#include "AE_Effect.h"
#include "DrawbotSuite.h"
#include "host/DrawbotSuites.h"
#include "host/SuiteCache.h"

namespace qxv {

// Premiere Pro's colours: light grey for the ellipse outline, yellow for everything else.
constexpr DRAWBOT_ColorRGBA kPremiereOutlineColor = {0.9f, 0.9f, 0.9f, 1.0f};
constexpr DRAWBOT_ColorRGBA kPremiereOverlayColor = {0.9f, 0.9f, 0.0f, 1.0f};
constexpr float kPremierePenWidth = 1.0f;

// One stroke of a path: the overlay theme's PF_StrokePath with its shadow in After
// Effects (through the caller's cache), the surface's StrokePath with the pen in Premiere
// Pro. Returns the host's status.
PF_Err StrokeOverlayPath(const PF_InData* in_data, SuiteCache& cache, DRAWBOT_DrawRef drawing_ref,
                         const DrawbotSuites& suites, DRAWBOT_SurfaceRef surface, DRAWBOT_PenRef pen,
                         DRAWBOT_PathRef path);

// The stroke of a routine that draws one path of its own. Carries the routine's status:
// host calls run only while it is 0. In Premiere Pro the surface is asked for and a pen of
// premiere_colour is made for this stroke alone; the pen is made (and given back) whatever
// the status, and its creation throws DRAWBOT_Exception on failure.
PF_Err StrokeOwnPath(const PF_InData* in_data, SuiteCache& cache, DRAWBOT_DrawRef drawing_ref,
                     const DrawbotSuites& suites, DRAWBOT_SupplierRef supplier,
                     const DRAWBOT_ColorRGBA& premiere_colour, DRAWBOT_PathRef path, PF_Err status);

}  // namespace qxv
