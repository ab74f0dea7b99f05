#include "hostsim/OverlayWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>

#include "hostsim/ShippingRecords.h"

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

bool ParseZoom(const std::string& text, Zoom& zoom, std::string& error) {
    error = "--zoom: \"" + text + "\" is not a zoom (a number from 1/64 to 64, e.g. 0.5, 2 or 1/3)";
    Zoom parsed;
    const auto slash = text.find('/');
    try {
        std::size_t used = 0;
        if (slash != std::string::npos) {
            parsed.num = std::stoll(text.substr(0, slash), &used);
            if (used != slash) return false;
            const std::string den = text.substr(slash + 1);
            parsed.den = std::stoll(den, &used);
            if (used != den.size()) return false;
        } else {
            const auto point = text.find('.');
            const std::string digits = point == std::string::npos ? text : text.substr(0, point) + text.substr(point + 1);
            const std::size_t decimals = point == std::string::npos ? 0 : text.size() - point - 1;
            if (digits.empty() || decimals > 6 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
            parsed.num = std::stoll(digits);
            for (std::size_t i = 0; i < decimals; ++i) parsed.den *= 10;
        }
    } catch (...) {
        return false;
    }
    if (parsed.num <= 0 || parsed.den <= 0 || parsed.num > 64 * parsed.den || 64 * parsed.num < parsed.den) return false;
    const std::int64_t divisor = std::gcd(parsed.num, parsed.den);
    zoom = Zoom{parsed.num / divisor, parsed.den / divisor};
    error.clear();
    return true;
}

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
