#include "hostsim/instruments/OverlayEvents.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "hostsim/instruments/Host.h"
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

namespace {

std::string PointText(const PF_FixedPoint& p) {
    return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")";
}

// The shared prologue: checks the refcon and context the plug-in handed back, counts the
// call, and applies `map` unless a failure is injected.
template <typename Map>
PF_Err MapPoint(const char* name, void* refcon, PF_ContextH contextH, PF_FixedPoint* pt, int& counter, Map map) {
    auto* window = static_cast<OverlayWindow*>(refcon);
    Host* host = Host::Current();
    ++counter;
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    if (!window || !window->Owns(contextH) || !pt) {
        host->AddViolation(std::string(name) + " called with a refcon, context or point the host did not give");
        host->Trace(name, "bad argument", PF_Err_BAD_CALLBACK_PARAM);
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const std::string before = PointText(*pt);
    if (PF_Err injected = host->CheckFailure(name)) {
        host->Trace(name, before + " -> error (injected)", injected);
        return injected;
    }
    *pt = map(window->view(), *pt);
    host->Trace(name, before + " -> " + PointText(*pt));
    return PF_Err_NONE;
}

OverlayWindow* WindowOf(void* refcon) { return static_cast<OverlayWindow*>(refcon); }

// Counts go to a scratch slot when the refcon is null, so that the check above reports it.
int& Counter(void* refcon, int MappingCalls::*member) {
    static thread_local int scratch = 0;
    return refcon ? WindowOf(refcon)->calls().*member : scratch;
}

PF_Err LayerToCompCallback(void* refcon, PF_ContextH contextH, A_long, A_long, PF_FixedPoint* pt) {
    return MapPoint("layer_to_comp", refcon, contextH, pt, Counter(refcon, &MappingCalls::layer_to_comp), LayerToComp);
}

PF_Err CompToLayerCallback(void* refcon, PF_ContextH contextH, A_long, A_long, PF_FixedPoint* pt) {
    return MapPoint("comp_to_layer", refcon, contextH, pt, Counter(refcon, &MappingCalls::comp_to_layer), CompToLayer);
}

PF_Err SourceToFrameCallback(void* refcon, PF_ContextH contextH, PF_FixedPoint* pt) {
    return MapPoint("source_to_frame", refcon, contextH, pt, Counter(refcon, &MappingCalls::source_to_frame),
                    SourceToFrame);
}

PF_Err FrameToSourceCallback(void* refcon, PF_ContextH contextH, PF_FixedPoint* pt) {
    return MapPoint("frame_to_source", refcon, contextH, pt, Counter(refcon, &MappingCalls::frame_to_source),
                    FrameToSource);
}

}  // namespace

PF_EventCallbacks MakeEventCallbacks(OverlayWindow& window) {
    PF_EventCallbacks callbacks{};
    callbacks.refcon = &window;
    callbacks.layer_to_comp = LayerToCompCallback;
    callbacks.comp_to_layer = CompToLayerCallback;
    callbacks.source_to_frame = SourceToFrameCallback;
    callbacks.frame_to_source = FrameToSourceCallback;
    return callbacks;
}

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

namespace {

constexpr int kHandleCount = 10;
constexpr int kReach = 16;     // a click takes a handle below this city-block distance
constexpr int kUncertainty = 2;  // drawn and hit places differ by rounding only
constexpr int kBox = kReach - 1 + kUncertainty;

bool IsQuad(const RecordedStroke& s) {
    return s.path.size() == 5 && s.path[0].kind == PathOpKind::kMoveTo && s.path[4].kind == PathOpKind::kClose;
}

bool IsArcs(const RecordedStroke& s, std::size_t count) {
    if (s.path.size() != count) return false;
    for (const PathOp& op : s.path) {
        if (op.kind != PathOpKind::kAddArc) return false;
    }
    return true;
}

PF_Point Rounded(double x, double y) {
    return {static_cast<A_long>(std::lround(x)), static_cast<A_long>(std::lround(y))};
}

PF_Point QuadCentre(const RecordedStroke& s) {
    return Rounded((s.path[0].x + s.path[2].x) * 0.5, (s.path[0].y + s.path[2].y) * 0.5);
}

bool Within(PF_Point a, PF_Point b) { return std::abs(a.h - b.h) + std::abs(a.v - b.v) < kReach; }

}  // namespace

std::vector<PF_Point> DrawnHandlePositions(const std::vector<RecordedStroke>& strokes) {
    // The last ten strokes are the same for both shapes: outline, four corner squares,
    // feather circles, angle line, angle circle, opacity track, opacity knob.
    if (strokes.size() < 10) return {};
    const RecordedStroke* s = &strokes[strokes.size() - 10];
    if (!IsQuad(s[0]) || !IsArcs(s[5], 4) || !IsArcs(s[7], 1) || !IsQuad(s[9])) return {};
    const RecordedStroke& outline = s[0];  // MoveTo TL, LineTo TR, BR, BL
    const auto corner = [&](int op) { return Rounded(outline.path[op].x, outline.path[op].y); };
    const auto arc = [&](const RecordedStroke& stroke, int i) { return Rounded(stroke.path[i].x, stroke.path[i].y); };
    // Feather circles come top, bottom, left, right; the handles are numbered left, right, top, bottom.
    return {corner(0),       corner(1),       corner(3),       corner(2),       arc(s[7], 0),
            arc(s[5], 2),    arc(s[5], 3),    arc(s[5], 0),    arc(s[5], 1),    QuadCentre(s[9])};
}

std::vector<ProbedHandle> ProbeHandles(EventSession& session, Host& host) {
    session.Draw();
    const std::vector<PF_Point> drawn = DrawnHandlePositions(session.drawbot().strokes());
    if (drawn.size() != kHandleCount) return {};

    std::vector<ProbedHandle> handles;
    std::vector<PF_Point> known;  // hit points of the handles found so far, lower numbers first
    for (int number = 1; number <= kHandleCount; ++number) {
        const PF_Point centre = drawn[number - 1];
        const int side = 2 * kBox + 1;
        std::vector<char> taken(static_cast<std::size_t>(side) * side);
        for (int dy = -kBox; dy <= kBox; ++dy) {
            for (int dx = -kBox; dx <= kBox; ++dx) {
                session.Click({centre.h + dx, centre.v + dy});
                taken[(dy + kBox) * side + dx + kBox] = session.click_data().continue_refcon[0] == number &&
                                                        session.click_data().send_drag;
                host.trace().Clear();
            }
        }

        int matches = 0;
        PF_Point found = centre;
        for (int cy = -kUncertainty; cy <= kUncertainty; ++cy) {
            for (int cx = -kUncertainty; cx <= kUncertainty; ++cx) {
                const PF_Point candidate{centre.h + cx, centre.v + cy};
                bool same = true;
                for (int dy = -kBox; dy <= kBox && same; ++dy) {
                    for (int dx = -kBox; dx <= kBox && same; ++dx) {
                        const PF_Point p{centre.h + dx, centre.v + dy};
                        bool predicted = Within(p, candidate);
                        for (const PF_Point& lower : known) predicted = predicted && !Within(p, lower);
                        same = predicted == static_cast<bool>(taken[(dy + kBox) * side + dx + kBox]);
                    }
                }
                if (same) {
                    ++matches;
                    found = candidate;
                }
            }
        }
        const bool probed = matches == 1;
        handles.push_back(ProbedHandle{number, probed ? found : centre, probed});
        known.push_back(handles.back().point);
    }
    return handles;
}

}  // namespace qxv::hostsim
