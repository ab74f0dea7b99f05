#include "overlay/OverlayInteraction.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "host/HostApp.h"
#include "host/SuiteCache.h"
#include "overlay/FixedMath.h"
#include "overlay/OverlayGeometry.h"
#include "params/ParamIndex.h"
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
    const std::int64_t value = static_cast<std::int64_t>(origin_window_y) - mouse_window_y + kOpacityTrackHalfLength * kFixedOne;
    const std::int64_t highest = static_cast<std::int64_t>(kMaxOpacity) * kFixedOne;
    return static_cast<PF_Fixed>(value < 0 ? 0 : value > highest ? highest : value);
}

namespace {

constexpr std::int64_t kHandleReach = 16;  // window pixels, city-block distance

}  // namespace

bool HitTestHandles(PF_InData* in_data, SuiteCache& cache, PF_ParamDef* params[], PF_EventExtra* extra) {
    const auto handles = ComputeHitTestHandles(in_data, cache, ReadOverlayParams(params), extra);
    PF_DoClickEventInfo& click = extra->u.do_click;
    const PF_Point mouse = click.screen_point;
    const bool premiere = IsPremierePro(in_data);

    for (int number = 1; number <= kHandleCount; ++number) {
        const PF_Point handle = handles[number - 1];
        const std::int64_t dx = static_cast<std::int64_t>(handle.h) - mouse.h;
        const std::int64_t dy = static_cast<std::int64_t>(handle.v) - mouse.v;
        std::int64_t distance;
        if (premiere) {
            distance = std::llabs(dx) + std::llabs(dy);
        } else {
            // After Effects takes its absolute values from the host; both give the same distance.
            const PF_ANSICallbacksSuite1* ansi = cache.ANSISuite();
            distance = static_cast<std::int64_t>(TruncateToLong(ansi->fabs(static_cast<double>(dx)))) +
                       TruncateToLong(ansi->fabs(static_cast<double>(dy)));
        }
        if (distance < kHandleReach) {
            click.send_drag = 1;
            click.continue_refcon[0] = number;
            click.continue_refcon[1] = 0;
            click.continue_refcon[2] = 0;
            click.continue_refcon[3] = 0;
            return true;
        }
    }
    return false;
}

namespace {

void MarkChanged(PF_ParamDef* param) { param->uu.change_flags = PF_ChangeFlag_CHANGED_VALUE; }

}  // namespace

void ApplyHandleDrag(PF_InData* in_data, PF_ParamDef* params[], PF_EventExtra* extra) {
    PF_DoClickEventInfo& click = extra->u.do_click;
    const OverlayParams p = ReadOverlayParams(params);
    const PF_FixedPoint mouse = WindowToLayer(in_data, extra, click.screen_point);
    const double dx = (static_cast<double>(mouse.x) - p.origin.x) * kFixedScale;
    const double dy = (static_cast<double>(mouse.y) - p.origin.y) * kFixedScale;
    const int handle = static_cast<int>(click.continue_refcon[0]);

    switch (handle) {
        case kHandleTopLeft:
        case kHandleTopRight:
        case kHandleBottomLeft:
        case kHandleBottomRight: {
            const ShapeSize size = CornerDragSize(handle, dx, dy, PixelAspect(in_data), AngleRadians(p.angle));
            params[kParamWidth]->u.fs_d.value = size.width;
            params[kParamHeight]->u.fs_d.value = size.height;
            MarkChanged(params[kParamWidth]);
            MarkChanged(params[kParamHeight]);
            break;
        }
        case kHandleAngle:
            params[kParamAngle]->u.ad.value = AngleDragValue(dx, dy);
            MarkChanged(params[kParamAngle]);
            break;
        case kHandleFeatherLeft:
        case kHandleFeatherRight:
        case kHandleFeatherTop:
        case kHandleFeatherBottom: {
            double feather = 0;
            if (FeatherDragValue(handle, dx, dy, PixelAspect(in_data), AngleRadians(p.angle), p.width, p.height,
                                 &feather)) {
                params[kParamFeather]->u.fs_d.value = feather;
                MarkChanged(params[kParamFeather]);
            }
            break;
        }
        case kHandleOpacity: {
            PF_FixedPoint origin_window = p.origin;
            LayerToWindow(in_data, extra, &origin_window);
            PF_FixedPoint mouse_window = mouse;
            LayerToWindow(in_data, extra, &mouse_window);
            params[kParamOpacity]->u.fd.value = OpacityDragValue(origin_window.y, mouse_window.y);
            MarkChanged(params[kParamOpacity]);
            break;
        }
        default:
            break;
    }

    click.send_drag = 1;
    if (click.last_time) {
        click.continue_refcon[0] = 0;
        click.send_drag = 0;
    }
}

}  // namespace qxv
