#include "overlay/StrokeQuad.h"

#include "host/SuiteCache.h"
#include "overlay/DrawbotRefs.h"
#include "overlay/OverlayStroke.h"

namespace qxv {
namespace {

float X(PF_Point p) { return static_cast<float>(p.h); }
float Y(PF_Point p) { return static_cast<float>(p.v); }

}  // namespace

PF_Err StrokeQuad(const PF_InData* in_data, const PixelCorners& quad, DRAWBOT_DrawRef drawing_ref,
                  const DrawbotSuites& suites) {
    SuiteCache cache(in_data->pica_basicP);
    DRAWBOT_SupplierRef supplier = nullptr;
    PF_Err status = suites.draw->GetSupplier(drawing_ref, &supplier);
    const DRAWBOT_PathP path(suites.supplier, supplier);

    const DRAWBOT_PathSuite1* path_suite = suites.path;
    if (!status) status = path_suite->MoveTo(path.Get(), X(quad.top_left), Y(quad.top_left));
    if (!status) status = path_suite->LineTo(path.Get(), X(quad.top_right), Y(quad.top_right));
    if (!status) status = path_suite->LineTo(path.Get(), X(quad.bottom_right), Y(quad.bottom_right));
    if (!status) status = path_suite->LineTo(path.Get(), X(quad.bottom_left), Y(quad.bottom_left));
    if (!status) status = path_suite->Close(path.Get());

    return StrokeOwnPath(in_data, cache, drawing_ref, suites, supplier, kPremiereOverlayColor, path.Get(), status);
}

}  // namespace qxv
