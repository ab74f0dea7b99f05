#include "overlay/OverlayStroke.h"

#include "host/HostApp.h"

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

}  // namespace qxv
