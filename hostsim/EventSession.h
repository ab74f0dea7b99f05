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
#pragma once

#include <memory>

#include "AE_EffectUI.h"
#include "hostsim/Drawbot.h"
#include "hostsim/EventCallbacks.h"
#include "hostsim/Host.h"
#include "hostsim/OverlayWindow.h"
#include "hostsim/ShippingLayouts.h"

namespace qxv::hostsim {

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
    DrawbotRecorder& drawbot() { return host_.Attachment<DrawbotRecorder>(); }
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

}  // namespace qxv::hostsim
