// Owners of the Drawbot pens and paths the overlay makes, and the exception a failed creation
// or release travels as.
#pragma once

#include <exception>

#include "DrawbotSuite.h"

namespace qxv {

// A failed Drawbot call that cannot be carried on as a drawing status: creating or
// releasing a pen or path. It travels up to EntryPointFunc, which turns it into a host
// error code; the owning wrappers give their objects back on the way.
class DRAWBOT_Exception : public std::exception {
public:
    explicit DRAWBOT_Exception(DRAWBOT_Err err) : std::exception(), err_(err) {}
    DRAWBOT_Err GetErr() const noexcept { return err_; }

private:
    DRAWBOT_Err err_;
};

inline void ThrowIfDrawbotError(DRAWBOT_Err err) {
    if (err != 0) throw DRAWBOT_Exception(err);
}

// Owners of the Drawbot pens and paths the overlay makes: each object is given back to the
// host's supplier on every way out of the routine that made it.
// The first pen or path that the host would not take back during one draw. A destructor
// must not throw (a second exception while one is leaving the routine would end the host's
// process), so the owners note the failure here and the draw reports it once every object
// it made is gone.
struct DrawbotReleaseFailure {
    DRAWBOT_Err err = 0;
    void Record(DRAWBOT_Err failed) {
        if (err == 0) err = failed;
    }
};

template <typename T>
class SharedRefImpl {
public:
    SharedRefImpl(const SharedRefImpl&) = delete;
    SharedRefImpl& operator=(const SharedRefImpl&) = delete;

    virtual ~SharedRefImpl() {
        if (!ref_) return;
        release_failure_->Record(ReleaseObject(ref_));
        ref_ = nullptr;
    }

    T Get() const { return ref_; }

protected:
    SharedRefImpl(const DRAWBOT_SupplierSuite1* supplier_suite, DrawbotReleaseFailure* release_failure)
        : ref_(nullptr), supplier_suite_(supplier_suite), release_failure_(release_failure) {}

    // The slot the supplier writes a new object into.
    T* Slot() { return &ref_; }
    const DRAWBOT_SupplierSuite1* SupplierSuite() const { return supplier_suite_; }

    // Takes a newly made object and gives back the one held before, throwing
    // DRAWBOT_Exception when the host will not take it. The new one is held first, so that
    // a failed release leaves nothing unowned.
    void Hold(T fresh) {
        const T previous = ref_;
        ref_ = fresh;
        if (previous && previous != fresh) ThrowIfDrawbotError(ReleaseObject(previous));
    }

private:
    DRAWBOT_Err ReleaseObject(T ref) const {
        return supplier_suite_->ReleaseObject(reinterpret_cast<DRAWBOT_ObjectRef>(ref));
    }

    T ref_;
    const DRAWBOT_SupplierSuite1* supplier_suite_;
    DrawbotReleaseFailure* release_failure_;
};

class DRAWBOT_PenP : public SharedRefImpl<DRAWBOT_PenRef> {
public:
    // Throws DRAWBOT_Exception when the supplier cannot make the pen.
    DRAWBOT_PenP(const DRAWBOT_SupplierSuite1* supplier_suite, DrawbotReleaseFailure* release_failure,
                 DRAWBOT_SupplierRef supplier, const DRAWBOT_ColorRGBA& colour, float width)
        : SharedRefImpl(supplier_suite, release_failure) {
        ThrowIfDrawbotError(SupplierSuite()->NewPen(supplier, &colour, width, Slot()));
    }
};

class DRAWBOT_PathP : public SharedRefImpl<DRAWBOT_PathRef> {
public:
    // Throws DRAWBOT_Exception when the supplier cannot make the path.
    DRAWBOT_PathP(const DRAWBOT_SupplierSuite1* supplier_suite, DrawbotReleaseFailure* release_failure,
                  DRAWBOT_SupplierRef supplier)
        : SharedRefImpl(supplier_suite, release_failure) {
        ThrowIfDrawbotError(SupplierSuite()->NewPath(supplier, Slot()));
    }

    // Starts over with a new, empty path and gives back the old one. Throws
    // DRAWBOT_Exception when either fails; the path held then is still given back later.
    void Replace(DRAWBOT_SupplierRef supplier) {
        DRAWBOT_PathRef fresh = nullptr;
        ThrowIfDrawbotError(SupplierSuite()->NewPath(supplier, &fresh));
        Hold(fresh);
    }
};

}  // namespace qxv
