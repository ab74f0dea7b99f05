#include "overlay/DrawbotOwners.h"

namespace qxv {

DRAWBOT_PenP::DRAWBOT_PenP(const DRAWBOT_SupplierSuite1* supplier_suite, DrawbotReleaseFailure* release_failure,
                           DRAWBOT_SupplierRef supplier, const DRAWBOT_ColorRGBA& colour, float width)
    : SharedRefImpl(supplier_suite, release_failure) {
    ThrowIfDrawbotError(SupplierSuite()->NewPen(supplier, &colour, width, Slot()));
}

DRAWBOT_PathP::DRAWBOT_PathP(const DRAWBOT_SupplierSuite1* supplier_suite,
                             DrawbotReleaseFailure* release_failure, DRAWBOT_SupplierRef supplier)
    : SharedRefImpl(supplier_suite, release_failure) {
    ThrowIfDrawbotError(SupplierSuite()->NewPath(supplier, Slot()));
}

void DRAWBOT_PathP::Replace(DRAWBOT_SupplierRef supplier) {
    DRAWBOT_PathRef fresh = nullptr;
    ThrowIfDrawbotError(SupplierSuite()->NewPath(supplier, &fresh));
    Hold(fresh);
}

}  // namespace qxv
