#include "overlay/HandleDragRules.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "overlay/FixedMath.h"
#include "overlay/OverlayHandles.h"
#include "params/ParamTable.h"

namespace qxv {
namespace {

constexpr PF_Fixed kFullTurn = 360 * kFixedOne;

// NaN, which only a degenerate pixel aspect ratio can produce, counts as the lower limit.
double LimitTo(double v, double lowest, double highest) {
    if (!(v > lowest)) return lowest;
    return v < highest ? v : highest;
}

}  // namespace

ShapeSize CornerDragSize(int handle, double dx, double dy, float aspect, float angle) {
    const float cos_a = std::cos(angle);
    const float sin_a = std::sin(angle);
    const float dx_square = static_cast<float>(dx) * aspect;
    const float dy_f = static_cast<float>(dy);
    const float u = dx_square * cos_a + dy_f * sin_a;
    const float v = dy_f * cos_a - dx_square * sin_a;
    const float sx = (handle == kHandleTopLeft || handle == kHandleBottomLeft) ? -1.0f : 1.0f;
    const float sy = (handle == kHandleTopLeft || handle == kHandleTopRight) ? -1.0f : 1.0f;
    return {LimitTo(2 * sx * u, 0, kMaxLength), LimitTo(2 * sy * v, 0, kMaxLength)};
}

PF_Fixed AngleDragValue(double dx, double dy) {
    float degrees;
    if (dy == 0) {
        degrees = dx > 0 ? 90.0f : 270.0f;
    } else if (dx == 0) {
        degrees = dy > 0 ? 180.0f : 0.0f;
    } else {
        const float quotient = static_cast<float>(dx) / static_cast<float>(dy);
        const float bearing = -static_cast<float>(std::atan(quotient) / 0.017453292519943295);
        if (dy > 0) {
            degrees = bearing + 180.0f;
        } else if (bearing < 0) {
            degrees = bearing + 360.0f;
        } else {
            degrees = bearing;
        }
    }
    const float scaled = degrees * 65536.0f;
    PF_Fixed value = TruncateToLong(degrees < 0 ? scaled - 0.5f : scaled + 0.5f);
    // A bearing a hair short of a full turn rounds to 360 exactly: that is 0.
    value %= kFullTurn;
    if (value < 0) value += kFullTurn;
    return value;
}

bool FeatherDragValue(int handle, double dx, double dy, float aspect, float angle, double width, double height,
                      double* feather) {
    const double dx_square = dx * static_cast<double>(aspect);
    double value;
    switch (handle) {
        case kHandleFeatherLeft:
            value = (dx_square + width * 0.5) * static_cast<double>(std::cos(angle));
            break;
        case kHandleFeatherRight:
            value = width * 0.5 - dx_square;
            break;
        default: {
            // Top and bottom scale the vertical offset by W / H back to square pixels; without
            // a height there is no such scale and the Feather is left as it is.
            if (height == 0) return false;
            const double exact_ratio = width / height;
            if (!(std::fabs(exact_ratio) <= std::numeric_limits<float>::max())) return false;
            const double ratio = static_cast<float>(exact_ratio);
            value = (handle == kHandleFeatherTop ? dy + height * 0.5 : height * 0.5 - dy) * ratio;
            break;
        }
    }
    *feather = static_cast<float>(LimitTo(value, 0, kMaxLength));
    return true;
}

PF_Fixed OpacityDragValue(PF_Fixed origin_window_y, PF_Fixed mouse_window_y) {
    const std::int64_t value = static_cast<std::int64_t>(origin_window_y) - mouse_window_y + 50 * kFixedOne;
    const std::int64_t highest = static_cast<std::int64_t>(kMaxOpacity) * kFixedOne;
    return static_cast<PF_Fixed>(value < 0 ? 0 : value > highest ? highest : value);
}

}  // namespace qxv
