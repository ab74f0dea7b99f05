// The two windows a host shows an effect's overlay in, as the event callbacks see them:
// the composition window, where the layer sits at an offset in the composition, and the
// layer window, which shows the layer alone. Both have a zoom and a scroll. Points move
//     layer --(+ layer_offset, composition window only)--> composition
//     source --(x zoom + scroll)--> window ("frame")
// in exact 64-bit arithmetic on 16.16 values, rounded to the nearest 1/65536 only when the
// zoom does not divide evenly.
#pragma once

#include <cstdint>
#include <memory>

#include "AE_Effect.h"
#include "AE_EffectUI.h"

namespace qxv::hostsim {

// A zoom as a fraction, so that 0.5 and 2 map exactly.
struct Zoom {
    std::int64_t num = 1;
    std::int64_t den = 1;
    double value() const { return static_cast<double>(num) / static_cast<double>(den); }
};

struct OverlayView {
    PF_WindowType window = PF_Window_LAYER;
    Zoom zoom;
    PF_Point layer_offset{0, 0};  // the layer's top-left corner in the composition, whole pixels
    PF_Point scroll{0, 0};        // window pixels added after the zoom
};

// How often the plug-in called each mapping callback.
struct MappingCalls {
    int layer_to_comp = 0;
    int comp_to_layer = 0;
    int source_to_frame = 0;
    int frame_to_source = 0;
};

PF_FixedPoint LayerToComp(const OverlayView& view, PF_FixedPoint point);
PF_FixedPoint CompToLayer(const OverlayView& view, PF_FixedPoint point);
// Source is the composition in the composition window and the layer in the layer window.
PF_FixedPoint SourceToFrame(const OverlayView& view, PF_FixedPoint point);
PF_FixedPoint FrameToSource(const OverlayView& view, PF_FixedPoint point);

// Whole-pixel size of what the window shows before the zoom: the layer in the layer window;
// in the composition window a composition that holds the layer with `layer_offset` free on
// every side.
PF_Point ContentSize(const OverlayView& view, PF_Point layer_size);
// The window picture: the content at the zoom with the scroll as a margin on every side.
PF_Point CanvasSize(const OverlayView& view, PF_Point layer_size);

// One open window: its view, the PF_Context the host hands out for it (in an allocation of
// its own, of the shipping size), and the call counts of its mapping callbacks. The context
// handle stays valid while the window lives.
class OverlayWindow {
public:
    explicit OverlayWindow(const OverlayView& view);
    OverlayWindow(const OverlayWindow&) = delete;
    OverlayWindow& operator=(const OverlayWindow&) = delete;

    const OverlayView& view() const { return view_; }
    PF_ContextH contextH() { return &context_ptr_; }
    bool Owns(PF_ContextH contextH) const { return contextH == &context_ptr_ && context_ptr_ == context_.get(); }
    MappingCalls& calls() { return calls_; }
    const MappingCalls& calls() const { return calls_; }

private:
    OverlayView view_;
    std::unique_ptr<PF_Context> context_;
    PF_ContextPtr context_ptr_;
    MappingCalls calls_;
};

}  // namespace qxv::hostsim
