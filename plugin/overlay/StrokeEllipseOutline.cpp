#include "overlay/StrokeEllipseOutline.h"

#include "overlay/EllipseOutline.h"

namespace qxv {

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

}  // namespace qxv
