// Owners of the Drawbot pens and paths the overlay makes: each object is given back to the
// host's supplier on every way out of the routine that made it.
#pragma once

#include <exception>

#include "DrawbotSuite.h"
#include "overlay/DrawbotException.h"

namespace qxv {

template <typename T>
class SharedRefImpl {
public:
    SharedRefImpl(const SharedRefImpl&) = delete;
    SharedRefImpl& operator=(const SharedRefImpl&) = delete;

    // A failed release throws, unless an exception is already leaving the routine: a second
    // one would end the host's process, and the first failure is the one worth reporting.
    virtual ~SharedRefImpl() noexcept(false) {
        if (!ref_) return;
        const DRAWBOT_Err err = ReleaseObject(ref_);
        ref_ = nullptr;
        ThrowUnlessUnwinding(err);
    }

    T Get() const { return ref_; }

protected:
    explicit SharedRefImpl(const DRAWBOT_SupplierSuite1* supplier_suite)
        : ref_(nullptr), supplier_suite_(supplier_suite), uncaught_at_creation_(std::uncaught_exceptions()) {}

    // The slot the supplier writes a new object into.
    T* Slot() { return &ref_; }
    const DRAWBOT_SupplierSuite1* SupplierSuite() const { return supplier_suite_; }

    // Takes a newly made object and gives back the one held before. The new one is held
    // before the old one is released, so that a failed release leaves nothing unowned.
    void Hold(T fresh) {
        const T previous = ref_;
        ref_ = fresh;
        if (previous && previous != fresh) ThrowUnlessUnwinding(ReleaseObject(previous));
    }

private:
    DRAWBOT_Err ReleaseObject(T ref) const {
        return supplier_suite_->ReleaseObject(reinterpret_cast<DRAWBOT_ObjectRef>(ref));
    }

    void ThrowUnlessUnwinding(DRAWBOT_Err err) const {
        if (err != 0 && std::uncaught_exceptions() <= uncaught_at_creation_) throw DRAWBOT_Exception(err);
    }

    T ref_;
    const DRAWBOT_SupplierSuite1* supplier_suite_;
    int uncaught_at_creation_;
};

class DRAWBOT_PenP : public SharedRefImpl<DRAWBOT_PenRef> {
public:
    // Throws DRAWBOT_Exception when the supplier cannot make the pen.
    DRAWBOT_PenP(const DRAWBOT_SupplierSuite1* supplier_suite, DRAWBOT_SupplierRef supplier,
                 const DRAWBOT_ColorRGBA& colour, float width);
};

class DRAWBOT_PathP : public SharedRefImpl<DRAWBOT_PathRef> {
public:
    // Throws DRAWBOT_Exception when the supplier cannot make the path.
    DRAWBOT_PathP(const DRAWBOT_SupplierSuite1* supplier_suite, DRAWBOT_SupplierRef supplier);

    // Starts over with a new, empty path and gives back the old one. Throws
    // DRAWBOT_Exception when either fails; the path held then is still given back later.
    void Replace(DRAWBOT_SupplierRef supplier);
};

}  // namespace qxv
