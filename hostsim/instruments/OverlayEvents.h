// An effect's overlay as the user meets it in a host's window: the two windows and how they
// map points, the event callbacks a window hands out, the session that sends the plug-in
// draws, clicks and drags, and the probe that finds the handles by clicking.
//
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
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectUI.h"
#include "hostsim/instruments/Drawbot.h"
#include "hostsim/instruments/Host.h"
#include "hostsim/ShippingLayouts.h"

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

// PF_EventCallbacks of one overlay window: layer_to_comp, comp_to_layer, source_to_frame and
// frame_to_source map through the window's view and count their calls. Each can be made to
// fail by name; a failed call leaves the point as it was, as a host does.

// The table's refcon is `window`, which must outlive every event sent with it.
PF_EventCallbacks MakeEventCallbacks(OverlayWindow& window);

// Sends overlay events to the plug-in as a host does while the user looks at, clicks in and
// drags across one window: PF_Cmd_EVENT with a PF_EventExtra whose contextH leads to the
// window's PF_Context, whose cbs are the window's mapping callbacks, and whose click data
// (screen_point, continue_refcon, send_drag, last_time) the host carries from a click to
// the drags that follow it. Parameter values a drag changes become the host's values.
// Every event gets a fresh record in an allocation of exactly the shipping size, so that a
// plug-in reading or writing past it is caught under AddressSanitizer.
//
//     EventSession session(host, view, {480, 270});
//     session.Draw();                  // session.drawbot().strokes()
//     session.Click({240, 85});        // session.click_data().continue_refcon[0]
//     session.Drag({250, 60}, true);   // host.params() now holds the new Angle
//
// After every event the Drawbot's pens and paths must all have been given back once; what
// was not is recorded as a host violation of that command.
class EventSession {
public:
    // Every event describes the layer in in_data: its size, its pixel aspect ratio and no
    // downsampling (the window shows the layer at full resolution, whatever a render before
    // the event asked for).
    EventSession(Host& host, const OverlayView& view, PF_Point layer_size,
                 PF_RationalScale pixel_aspect_ratio = {1, 1});
    EventSession(const EventSession&) = delete;
    EventSession& operator=(const EventSession&) = delete;

    // The input layer handed as params[0]; none by default.
    void SetInput(const PF_LayerDef* input) { input_ = input; }

    PF_Err Draw();
    // A new mouse-down: the click data starts afresh.
    PF_Err Click(PF_Point mouse);
    // A mouse move with the button held, `last_time` on the release. Some hosts send these
    // as further clicks with send_drag still set: pass PF_Event_DO_CLICK as `as`.
    PF_Err Drag(PF_Point mouse, bool last_time, PF_EventType as = PF_Event_DRAG);

    // Click data as no well-behaved host sends it (a garbage continue_refcon, send_drag on a
    // first click...): change it through mutable_click_data(), then send any event type as
    // it stands with SendAsIs.
    PF_DoClickEventInfo& mutable_click_data() { return click_; }
    PF_Err SendAsIs(PF_EventType type) { return Send(type); }

    const PF_EventExtra& last_event() const { return *extra_; }
    const PF_DoClickEventInfo& click_data() const { return click_; }
    bool drag_requested() const { return click_.send_drag != 0; }
    OverlayWindow& window() { return window_; }
    DrawbotRecorder& drawbot() { return host_.drawbot(); }
    PF_Point canvas_size() const { return CanvasSize(window_.view(), layer_size_); }

private:
    void DescribeLayer();
    PF_Err Send(PF_EventType type);

    Host& host_;
    OverlayWindow window_;
    PF_EventCallbacks callbacks_;
    PF_Point layer_size_;
    PF_RationalScale pixel_aspect_ratio_;
    const PF_LayerDef* input_ = nullptr;
    std::unique_ptr<PF_EventExtra> extra_ = MakeShippingRecord<PF_EventExtra, kShippingEventExtraSize>();
    PF_DoClickEventInfo click_{};
    A_u_long clock_ = 0;
};

// Where the plug-in's hit test puts each of its ten overlay handles, found the way a user
// would: by clicking. The drawing gives each handle's place to within a pixel or two (the
// corner squares, feather circles, angle circle and opacity knob); clicks in a box around
// it give the set of window pixels that take the handle; the handle's hit point is the one
// candidate near the drawn place whose reach (city-block distance below 16, lower numbers
// winning) produces exactly that set. The host thus learns the positions from the plug-in's
// own answers rather than from a second copy of its geometry.
struct ProbedHandle {
    int number = 0;   // 1..10
    PF_Point point{};  // whole window pixels, as the hit test sees the handle
    bool probed = false;  // false: hidden under lower-numbered handles; `point` is where it is drawn
};

// Sends one draw event and many clicks through `session` (the parameters are not changed).
// Empty when the draw produced no handles to start from.
std::vector<ProbedHandle> ProbeHandles(EventSession& session, Host& host);

// The handle numbers' drawn places, from one draw event's strokes (empty if they are not all there).
std::vector<PF_Point> DrawnHandlePositions(const std::vector<RecordedStroke>& strokes);

}  // namespace qxv::hostsim
