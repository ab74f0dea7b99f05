// A failed Drawbot call that cannot be carried on as a drawing status: creating or
// releasing a pen or path. It travels up to EntryPointFunc, which turns it into a host
// error code; the owning wrappers give their objects back on the way.
#pragma once

#include <exception>

#include "DrawbotSuite.h"

namespace qxv {

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

}  // namespace qxv
