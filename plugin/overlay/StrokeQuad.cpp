#include "overlay/StrokeQuad.h"

namespace qxv {
namespace {

float X(PF_Point p) { return static_cast<float>(p.h); }
float Y(PF_Point p) { return static_cast<float>(p.v); }

}  // namespace

PF_Err StrokeQuad(const OverlayCanvas& canvas, const PixelCorners& quad) {
    DrawingChain chain;
    DRAWBOT_SupplierRef supplier = nullptr;
    chain.Run(canvas.suites.draw->GetSupplier, canvas.drawing_ref, &supplier);
    const DRAWBOT_PathP path(canvas.suites.supplier, canvas.release_failure, supplier);

    const DRAWBOT_PathSuite1* path_suite = canvas.suites.path;
    chain.Run(path_suite->MoveTo, path.Get(), X(quad.top_left), Y(quad.top_left));
    chain.Run(path_suite->LineTo, path.Get(), X(quad.top_right), Y(quad.top_right));
    chain.Run(path_suite->LineTo, path.Get(), X(quad.bottom_right), Y(quad.bottom_right));
    chain.Run(path_suite->LineTo, path.Get(), X(quad.bottom_left), Y(quad.bottom_left));
    chain.Run(path_suite->Close, path.Get());

    StrokeOwnPath(canvas, supplier, kPremiereOverlayColor, path.Get(), &chain);
    return chain.Status();
}

}  // namespace qxv
