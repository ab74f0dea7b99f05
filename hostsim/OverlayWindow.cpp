#include "hostsim/OverlayWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "hostsim/ShippingLayouts.h"

namespace qxv::hostsim {

namespace {

constexpr std::int64_t kOne = 65536;

// value x num / den, to the nearest integer, halves away from zero.
std::int64_t Scale(std::int64_t value, std::int64_t num, std::int64_t den) {
    const std::int64_t product = value * num;
    const std::int64_t quotient = product / den;
    const std::int64_t remainder = product % den;
    if (2 * std::llabs(remainder) >= den) return quotient + (product < 0 ? -1 : 1);
    return quotient;
}

A_long ToLong(std::int64_t value) { return static_cast<A_long>(value); }

}  // namespace

PF_FixedPoint LayerToComp(const OverlayView& view, PF_FixedPoint point) {
    return {ToLong(point.x + view.layer_offset.h * kOne), ToLong(point.y + view.layer_offset.v * kOne)};
}

PF_FixedPoint CompToLayer(const OverlayView& view, PF_FixedPoint point) {
    return {ToLong(point.x - view.layer_offset.h * kOne), ToLong(point.y - view.layer_offset.v * kOne)};
}

PF_FixedPoint SourceToFrame(const OverlayView& view, PF_FixedPoint point) {
    return {ToLong(Scale(point.x, view.zoom.num, view.zoom.den) + view.scroll.h * kOne),
            ToLong(Scale(point.y, view.zoom.num, view.zoom.den) + view.scroll.v * kOne)};
}

PF_FixedPoint FrameToSource(const OverlayView& view, PF_FixedPoint point) {
    return {ToLong(Scale(point.x - view.scroll.h * kOne, view.zoom.den, view.zoom.num)),
            ToLong(Scale(point.y - view.scroll.v * kOne, view.zoom.den, view.zoom.num))};
}

PF_Point ContentSize(const OverlayView& view, PF_Point layer_size) {
    if (view.window == PF_Window_LAYER) return layer_size;
    return {layer_size.h + 2 * std::abs(view.layer_offset.h), layer_size.v + 2 * std::abs(view.layer_offset.v)};
}

PF_Point CanvasSize(const OverlayView& view, PF_Point layer_size) {
    const PF_Point content = ContentSize(view, layer_size);
    const auto zoomed = [&](A_long length) {
        return static_cast<A_long>((length * view.zoom.num + view.zoom.den - 1) / view.zoom.den);
    };
    return {std::max<A_long>(1, zoomed(content.h) + 2 * std::max<A_long>(0, view.scroll.h)),
            std::max<A_long>(1, zoomed(content.v) + 2 * std::max<A_long>(0, view.scroll.v))};
}

OverlayWindow::OverlayWindow(const OverlayView& view)
    : view_(view), context_(MakeShippingRecord<PF_Context, kShippingContextSize>()), context_ptr_(context_.get()) {
    context_->magic = PF_CONTEXT_MAGIC;
    context_->w_type = view.window;
}

}  // namespace qxv::hostsim
