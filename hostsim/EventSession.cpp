#include "hostsim/EventSession.h"

namespace qxv::hostsim {

EventSession::EventSession(Host& host, const OverlayView& view, PF_Point layer_size, PF_RationalScale pixel_aspect_ratio)
    : host_(host),
      window_(view),
      callbacks_(MakeEventCallbacks(window_)),
      layer_size_(layer_size),
      pixel_aspect_ratio_(pixel_aspect_ratio) {
    DescribeLayer();
}

void EventSession::DescribeLayer() {
    PF_InData& in_data = host_.in_data();
    in_data.width = layer_size_.h;
    in_data.height = layer_size_.v;
    in_data.pixel_aspect_ratio = pixel_aspect_ratio_;
    in_data.downsample_x = in_data.downsample_y = PF_RationalScale{1, 1};
}

PF_Err EventSession::Draw() { return Send(PF_Event_DRAW); }

PF_Err EventSession::Click(PF_Point mouse) {
    click_ = PF_DoClickEventInfo{};
    click_.screen_point = mouse;
    click_.num_clicks = 1;
    return Send(PF_Event_DO_CLICK);
}

PF_Err EventSession::Drag(PF_Point mouse, bool last_time, PF_EventType as) {
    click_.screen_point = mouse;
    click_.last_time = last_time ? 1 : 0;
    return Send(as);
}

PF_Err EventSession::Send(PF_EventType type) {
    extra_ = MakeShippingRecord<PF_EventExtra, kShippingEventExtraSize>();
    extra_->contextH = window_.contextH();
    extra_->e_type = type;
    extra_->cbs = callbacks_;
    if (type == PF_Event_DRAW) {
        const PF_Point canvas = canvas_size();
        extra_->u.draw.update_rect = PF_Rect{0, 0, canvas.h, canvas.v};
    } else {
        click_.when = ++clock_;
        extra_->u.do_click = click_;
    }

    DrawbotRecorder& recorder = drawbot();
    recorder.BeginEvent();
    recorder.context = window_.contextH();
    DescribeLayer();
    host_.ResetOutData();
    const PF_Err err = host_.SendWithParams(PF_Cmd_EVENT, input_, nullptr, extra_.get());

    if (type != PF_Event_DRAW) click_ = extra_->u.do_click;
    for (const std::string& leak : recorder.Leaks()) host_.AddViolation("PF_Cmd_EVENT: Drawbot " + leak);
    return err;
}

}  // namespace qxv::hostsim
