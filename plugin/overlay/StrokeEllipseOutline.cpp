#include "overlay/StrokeEllipseOutline.h"

#include "host/SuiteCache.h"
#include "overlay/DrawbotRefs.h"
#include "overlay/EllipseOutline.h"
#include "overlay/OverlayStroke.h"

namespace qxv {

PF_Err StrokeEllipseOutline(const PF_InData* in_data, PF_FixedPoint origin, double angle, double half_width,
                            double half_height, DRAWBOT_DrawRef drawing_ref, const DrawbotSuites& suites,
                            const PF_EventExtra* extra) {
    SuiteCache cache(in_data->pica_basicP);
    DRAWBOT_SupplierRef supplier = nullptr;
    PF_Err status = suites.draw->GetSupplier(drawing_ref, &supplier);
    const DRAWBOT_PathP path(suites.supplier, supplier);
    const EllipseOutline points = ComputeEllipseOutline(in_data, origin, angle, half_width, half_height, extra);

    // The outline starts with a zero-length segment and ends by returning to point 0
    // instead of closing the path.
    const DRAWBOT_PathSuite1* path_suite = suites.path;
    if (!status) status = path_suite->MoveTo(path.Get(), points[0].x, points[0].y);
    for (const DRAWBOT_PointF32& point : points) {
        if (!status) status = path_suite->LineTo(path.Get(), point.x, point.y);
    }
    if (!status) status = path_suite->LineTo(path.Get(), points[0].x, points[0].y);

    return StrokeOwnPath(in_data, cache, drawing_ref, suites, supplier, kPremiereOutlineColor, path.Get(), status);
}

}  // namespace qxv
