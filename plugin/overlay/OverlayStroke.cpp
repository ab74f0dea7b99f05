#include "overlay/OverlayStroke.h"

#include "host/HostApp.h"
#include "overlay/DrawbotRefs.h"

namespace qxv {

PF_Err StrokeOverlayPath(const PF_InData* in_data, SuiteCache& cache, DRAWBOT_DrawRef drawing_ref,
                         const DrawbotSuites& suites, DRAWBOT_SurfaceRef surface, DRAWBOT_PenRef pen,
                         DRAWBOT_PathRef path) {
    if (IsPremierePro(in_data)) return suites.surface->StrokePath(surface, pen, path);
    const PF_Boolean draw_shadow = 1;
    return cache.OverlayThemeSuite()->PF_StrokePath(drawing_ref, path, draw_shadow);
}

PF_Err StrokeOwnPath(const PF_InData* in_data, SuiteCache& cache, DRAWBOT_DrawRef drawing_ref,
                     const DrawbotSuites& suites, DRAWBOT_SupplierRef supplier,
                     const DRAWBOT_ColorRGBA& premiere_colour, DRAWBOT_PathRef path, PF_Err status) {
    if (!IsPremierePro(in_data)) {
        if (!status) status = StrokeOverlayPath(in_data, cache, drawing_ref, suites, nullptr, nullptr, path);
        return status;
    }
    DRAWBOT_SurfaceRef surface = nullptr;
    if (!status) status = suites.draw->GetSurface(drawing_ref, &surface);
    const DRAWBOT_PenP pen(suites.supplier, supplier, premiere_colour, kPremierePenWidth);
    if (!status) status = StrokeOverlayPath(in_data, cache, drawing_ref, suites, surface, pen.Get(), path);
    return status;
}

}  // namespace qxv
