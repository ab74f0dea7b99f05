#include "hostsim/instruments/Drawbot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "AE_EffectSuites.h"
#include "hostsim/instruments/Host.h"

namespace qxv::hostsim {

namespace {

// Drawbot's own error for a reference it does not know.
constexpr DRAWBOT_Err kBadReference = 1;

std::string Coordinates(float x, float y) {
    char text[64];
    std::snprintf(text, sizeof text, "(%g, %g)", x, y);
    return text;
}

// After a failed step the plug-in still makes its pens and paths, through a supplier it never
// got: the host makes them all the same (its supplier is one per window, not per call), so a
// null supplier is accepted; a supplier from anywhere else is the plug-in's fault.
bool KnownSupplier(DrawbotRecorder& drawbot, DRAWBOT_SupplierRef supplier) {
    return !supplier || supplier == drawbot.supplier_ref();
}

// Prologue of every entry: the current host and its recorder, and the injected answer.
struct Call {
    Host* host = nullptr;
    DrawbotRecorder* drawbot = nullptr;
    DRAWBOT_Err injected = 0;

    explicit Call(const char* name) {
        drawbot = CurrentDrawbot(host);
        if (host) injected = host->CheckFailure(name);
    }
    bool ok() const { return host && !injected; }
    DRAWBOT_Err Fail(const char* name, const std::string& detail) const {
        if (!host) return kBadReference;
        host->Trace(name, detail + " -> error (injected)", injected);
        return injected;
    }
    DRAWBOT_Err Bad(const char* name, const std::string& what) const {
        if (!host) return kBadReference;
        host->AddViolation(std::string(name) + ": " + what);
        host->Trace(name, what, kBadReference);
        return kBadReference;
    }
};

DRAWBOT_Err GetSupplier(DRAWBOT_DrawRef ref, DRAWBOT_SupplierRef* out) {
    Call call("GetSupplier");
    if (out) *out = nullptr;
    if (!call.ok()) return call.Fail("GetSupplier", "");
    if (ref != call.drawbot->draw_ref() || !out) return call.Bad("GetSupplier", "not the drawing reference handed out");
    *out = call.drawbot->supplier_ref();
    call.host->Trace("GetSupplier", "");
    return 0;
}

DRAWBOT_Err GetSurface(DRAWBOT_DrawRef ref, DRAWBOT_SurfaceRef* out) {
    Call call("GetSurface");
    if (out) *out = nullptr;
    if (!call.ok()) return call.Fail("GetSurface", "");
    if (ref != call.drawbot->draw_ref() || !out) return call.Bad("GetSurface", "not the drawing reference handed out");
    *out = call.drawbot->surface_ref();
    call.host->Trace("GetSurface", "");
    return 0;
}

DRAWBOT_Err NewPen(DRAWBOT_SupplierRef supplier, const DRAWBOT_ColorRGBA* colour, float size, DRAWBOT_PenRef* out) {
    Call call("NewPen");
    if (!call.ok()) return call.Fail("NewPen", "");
    if (!KnownSupplier(*call.drawbot, supplier) || !colour || !out) {
        return call.Bad("NewPen", "called without the host's supplier, a colour or an out pointer");
    }
    DrawbotObject* pen = call.drawbot->Make(true);
    pen->colour = *colour;
    pen->width = size;
    *out = reinterpret_cast<DRAWBOT_PenRef>(pen);
    call.host->Trace("NewPen", ColourText(*colour) + " width " + std::to_string(size) + (supplier ? "" : ", null supplier"));
    return 0;
}

DRAWBOT_Err NewPath(DRAWBOT_SupplierRef supplier, DRAWBOT_PathRef* out) {
    Call call("NewPath");
    if (!call.ok()) return call.Fail("NewPath", "");
    if (!KnownSupplier(*call.drawbot, supplier) || !out) {
        return call.Bad("NewPath", "called without the host's supplier or an out pointer");
    }
    *out = reinterpret_cast<DRAWBOT_PathRef>(call.drawbot->Make(false));
    call.host->Trace("NewPath", supplier ? "" : "null supplier");
    return 0;
}

DRAWBOT_Err ReleaseObject(DRAWBOT_ObjectRef ref) {
    Call call("ReleaseObject");
    if (!call.host) return kBadReference;
    DrawbotObject* object = call.drawbot->Find(ref);
    if (!object) return call.Bad("ReleaseObject", "an object this host did not make");
    // Given back is given back, whatever the host answers.
    ++object->releases;
    if (object->releases > 1) call.host->AddViolation("ReleaseObject: a pen or path released twice");
    if (call.injected) return call.Fail("ReleaseObject", object->is_pen ? "pen" : "path");
    call.host->Trace("ReleaseObject", object->is_pen ? "pen" : "path");
    return 0;
}

// A path or pen the plug-in may still use: made here, not yet released.
DrawbotObject* LiveObject(const Call& call, const void* ref, bool is_pen) {
    DrawbotObject* object = call.drawbot->Find(ref);
    return object && object->is_pen == is_pen && object->releases == 0 ? object : nullptr;
}

DRAWBOT_Err AddOp(const char* name, DRAWBOT_PathRef path, PathOp op) {
    Call call(name);
    if (!call.ok()) return call.Fail(name, "");
    DrawbotObject* object = LiveObject(call, path, false);
    if (!object) return call.Bad(name, "not a live path of this host");
    object->ops.push_back(op);
    call.host->Trace(name, Coordinates(op.x, op.y));
    return 0;
}

DRAWBOT_Err MoveTo(DRAWBOT_PathRef path, float x, float y) {
    return AddOp("MoveTo", path, PathOp{PathOpKind::kMoveTo, x, y});
}

DRAWBOT_Err LineTo(DRAWBOT_PathRef path, float x, float y) {
    return AddOp("LineTo", path, PathOp{PathOpKind::kLineTo, x, y});
}

DRAWBOT_Err AddArc(DRAWBOT_PathRef path, const DRAWBOT_PointF32* centre, float radius, float start, float sweep) {
    if (!centre) {
        Call call("AddArc");
        return call.Bad("AddArc", "no centre");
    }
    return AddOp("AddArc", path, PathOp{PathOpKind::kAddArc, centre->x, centre->y, radius, start, sweep});
}

DRAWBOT_Err Close(DRAWBOT_PathRef path) { return AddOp("Close", path, PathOp{PathOpKind::kClose}); }

DRAWBOT_Err StrokePath(DRAWBOT_SurfaceRef surface, DRAWBOT_PenRef pen_ref, DRAWBOT_PathRef path_ref) {
    Call call("StrokePath");
    if (call.host) call.injected = CheckStrokeFailure(*call.host, call.injected);
    if (!call.ok()) return call.Fail("StrokePath", "");
    DrawbotObject* pen = LiveObject(call, pen_ref, true);
    DrawbotObject* path = LiveObject(call, path_ref, false);
    if (surface != call.drawbot->surface_ref() || !pen || !path) {
        return call.Bad("StrokePath", "not the host's surface, or not a live pen and path");
    }
    call.drawbot->AddStroke(RecordedStroke{StrokeBy::kPen, path->ops, pen->colour, pen->width, false});
    call.host->Trace("StrokePath", ColourText(pen->colour) + ", " + std::to_string(path->ops.size()) + " ops");
    return 0;
}

// Entries the overlay has no use for: answered, traced, never drawn.
template <typename... Args>
DRAWBOT_Err Unused(Args...) {
    if (Host* host = Host::Current()) host->Trace("Drawbot", "an entry this host does not simulate", kBadReference);
    return kBadReference;
}

const DRAWBOT_DrawbotSuite1 kDrawSuite1 = {GetSupplier, GetSurface};

const DRAWBOT_SupplierSuite1 kSupplierSuite1 = {
    NewPen,  Unused, Unused, Unused, Unused, Unused, NewPath,
    Unused,  Unused, Unused, Unused, Unused, ReleaseObject};

// All 17 slots, GetTransformToScreenScale last.
const DRAWBOT_SurfaceSuite1 kSurfaceSuite1 = {Unused, Unused, Unused, Unused, StrokePath, Unused, Unused, Unused, Unused,
                                              Unused, Unused, Unused, Unused, Unused,     Unused, Unused, Unused};

const DRAWBOT_PathSuite1 kPathSuite1 = {MoveTo, LineTo, Unused, Unused, AddArc, Close};

}  // namespace

const char* PathOpName(PathOpKind kind) {
    switch (kind) {
        case PathOpKind::kMoveTo: return "MoveTo";
        case PathOpKind::kLineTo: return "LineTo";
        case PathOpKind::kAddArc: return "AddArc";
        case PathOpKind::kClose: return "Close";
    }
    return "?";
}

void DrawbotRecorder::BeginEvent() {
    objects_.clear();
    strokes_.clear();
}

int DrawbotRecorder::pens_made() const {
    int count = 0;
    for (const auto& object : objects_) count += object->is_pen;
    return count;
}

int DrawbotRecorder::paths_made() const { return static_cast<int>(objects_.size()) - pens_made(); }

int DrawbotRecorder::releases() const {
    int count = 0;
    for (const auto& object : objects_) count += object->releases;
    return count;
}

std::vector<std::string> DrawbotRecorder::Leaks() const {
    std::vector<std::string> leaks;
    for (std::size_t i = 0; i < objects_.size(); ++i) {
        const DrawbotObject& object = *objects_[i];
        if (object.releases == 1) continue;
        leaks.push_back(std::string(object.is_pen ? "pen" : "path") + " #" + std::to_string(i + 1) + " released " +
                        std::to_string(object.releases) + " times");
    }
    return leaks;
}

DrawbotObject* DrawbotRecorder::Make(bool is_pen) {
    objects_.push_back(std::make_unique<DrawbotObject>());
    objects_.back()->is_pen = is_pen;
    return objects_.back().get();
}

DrawbotObject* DrawbotRecorder::Find(const void* ref) {
    for (const auto& object : objects_) {
        if (object.get() == ref) return object.get();
    }
    return nullptr;
}

DrawbotRecorder* CurrentDrawbot(Host*& host) {
    host = Host::Current();
    return host ? &host->drawbot() : nullptr;
}

int CheckStrokeFailure(Host& host, int own_answer) {
    const PF_Err any = host.CheckFailure("stroke");
    return own_answer ? own_answer : any;
}

std::string ColourText(const DRAWBOT_ColorRGBA& colour) {
    char text[96];
    std::snprintf(text, sizeof text, "rgba(%g, %g, %g, %g)", colour.red, colour.green, colour.blue, colour.alpha);
    return text;
}

void RegisterDrawbotSuites(Host& host) {
    host.RegisterSuite(kDRAWBOT_DrawSuite, kDRAWBOT_DrawSuite_Version1, &kDrawSuite1);
    host.RegisterSuite(kDRAWBOT_SupplierSuite, kDRAWBOT_SupplierSuite_Version1, &kSupplierSuite1);
    host.RegisterSuite(kDRAWBOT_SurfaceSuite, kDRAWBOT_SurfaceSuite_Version1, &kSurfaceSuite1);
    host.RegisterSuite(kDRAWBOT_PathSuite, kDRAWBOT_PathSuite_Version1, &kPathSuite1);
}

namespace {

template <typename Out>
PF_Err Answer(const char* name, Out* out, Out value, const std::string& detail) {
    Host* host = nullptr;
    CurrentDrawbot(host);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    if (!out) {
        host->AddViolation(std::string(name) + " called without an out pointer");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (PF_Err injected = host->CheckFailure(name)) {
        host->Trace(name, "error (injected)", injected);
        return injected;
    }
    *out = value;
    host->Trace(name, detail);
    return PF_Err_NONE;
}

PF_Err GetDrawingReference(const PF_ContextH contextH, DRAWBOT_DrawRef* referenceP0) {
    Host* host = nullptr;
    DrawbotRecorder* drawbot = CurrentDrawbot(host);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    if (referenceP0) *referenceP0 = nullptr;
    if (contextH != drawbot->context || !referenceP0) {
        host->AddViolation("PF_GetDrawingReference called without the event's context or an out pointer");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (PF_Err injected = host->CheckFailure("PF_GetDrawingReference")) {
        host->Trace("PF_GetDrawingReference", "error (injected)", injected);
        return injected;
    }
    if (drawbot->gives_drawing_reference) *referenceP0 = drawbot->draw_ref();
    host->Trace("PF_GetDrawingReference", *referenceP0 ? "" : "no reference: the window is not drawn now");
    return PF_Err_NONE;
}

OverlayTheme Theme() {
    Host* host = nullptr;
    DrawbotRecorder* drawbot = CurrentDrawbot(host);
    return drawbot ? drawbot->theme : OverlayTheme{};
}

PF_Err GetPreferredForegroundColor(DRAWBOT_ColorRGBA* colour) {
    const DRAWBOT_ColorRGBA value = Theme().foreground;
    return Answer("PF_GetPreferredForegroundColor", colour, value, ColourText(value));
}

PF_Err GetPreferredShadowColor(DRAWBOT_ColorRGBA* colour) {
    const DRAWBOT_ColorRGBA value = Theme().shadow;
    return Answer("PF_GetPreferredShadowColor", colour, value, ColourText(value));
}

PF_Err GetPreferredStrokeWidth(float* width) {
    return Answer("PF_GetPreferredStrokeWidth", width, Theme().stroke_width, "");
}

PF_Err GetPreferredVertexSize(float* size) {
    return Answer("PF_GetPreferredVertexSize", size, Theme().vertex_size, "");
}

PF_Err GetPreferredShadowOffset(A_LPoint* offset) {
    return Answer("PF_GetPreferredShadowOffset", offset, Theme().shadow_offset, "");
}

PF_Err ThemeStrokePath(const DRAWBOT_DrawRef drawbot_ref, const DRAWBOT_PathRef path_ref, PF_Boolean draw_shadowB) {
    Host* host = nullptr;
    DrawbotRecorder* drawbot = CurrentDrawbot(host);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    const PF_Err injected = CheckStrokeFailure(*host, host->CheckFailure("PF_StrokePath"));
    if (injected) {
        host->Trace("PF_StrokePath", "error (injected)", injected);
        return injected;
    }
    DrawbotObject* path = drawbot->Find(path_ref);
    if (drawbot_ref != drawbot->draw_ref() || !path || path->is_pen || path->releases) {
        host->AddViolation("PF_StrokePath called without the drawing reference or a live path");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const OverlayTheme& theme = drawbot->theme;
    drawbot->AddStroke(RecordedStroke{StrokeBy::kOverlayTheme, path->ops, theme.foreground, theme.stroke_width,
                                      draw_shadowB != 0});
    host->Trace("PF_StrokePath", std::to_string(path->ops.size()) + " ops" + (draw_shadowB ? ", shadow" : ""));
    return PF_Err_NONE;
}

// Filling is not part of any overlay this host shows; answered so that a plug-in may ask.
PF_Err ThemeFillPath(const DRAWBOT_DrawRef, const DRAWBOT_PathRef, PF_Boolean) {
    if (Host* host = Host::Current()) host->Trace("PF_FillPath", "not drawn by this host");
    return PF_Err_NONE;
}

PF_Err ThemeFillVertex(const DRAWBOT_DrawRef, const A_FloatPoint*, PF_Boolean) {
    if (Host* host = Host::Current()) host->Trace("PF_FillVertex", "not drawn by this host");
    return PF_Err_NONE;
}

const PF_EffectCustomUISuite1 kCustomUISuite1 = {GetDrawingReference};

const PF_EffectCustomUIOverlayThemeSuite1 kOverlayThemeSuite1 = {
    GetPreferredForegroundColor, GetPreferredShadowColor, GetPreferredStrokeWidth, GetPreferredVertexSize,
    GetPreferredShadowOffset,    ThemeStrokePath,         ThemeFillPath,           ThemeFillVertex};

}  // namespace

void RegisterCustomUISuites(Host& host) {
    host.RegisterSuite(kPFEffectCustomUISuite, kPFEffectCustomUISuiteVersion1, &kCustomUISuite1);
    host.RegisterSuite(kPFEffectCustomUIOverlayThemeSuite, kPFEffectCustomUIOverlayThemeSuiteVersion1,
                       &kOverlayThemeSuite1);
}

namespace {

constexpr double kDegrees = 3.14159265358979323846 / 180.0;
constexpr double kArcStepPixels = 1.0;  // chord length of the polygon that stands for an arc

struct Point {
    double x, y;
};
struct Segment {
    Point a, b;
};

void AddArcSegments(const PathOp& op, std::vector<Segment>& segments) {
    const double length = std::fabs(op.sweep) * kDegrees * op.radius;
    const int steps = std::max(8, static_cast<int>(std::ceil(length / kArcStepPixels)));
    Point previous{};
    for (int i = 0; i <= steps; ++i) {
        const double angle = (op.start + op.sweep * i / steps) * kDegrees;
        const Point p{op.x + op.radius * std::cos(angle), op.y + op.radius * std::sin(angle)};
        if (i > 0) segments.push_back({previous, p});
        previous = p;
    }
}

// A path as straight segments. An arc starts a figure of its own: no line joins it to what
// came before, as the feather circles, which share one path, show.
std::vector<Segment> Flatten(const std::vector<PathOp>& ops) {
    std::vector<Segment> segments;
    bool has_point = false;
    Point current{}, start{};
    for (const PathOp& op : ops) {
        const Point p{op.x, op.y};
        switch (op.kind) {
            case PathOpKind::kMoveTo:
                current = start = p;
                has_point = true;
                break;
            case PathOpKind::kLineTo:
                if (has_point) segments.push_back({current, p});
                if (!has_point) start = p;
                current = p;
                has_point = true;
                break;
            case PathOpKind::kAddArc:
                AddArcSegments(op, segments);
                has_point = false;
                break;
            case PathOpKind::kClose:
                if (has_point) segments.push_back({current, start});
                current = start;
                break;
        }
    }
    return segments;
}

double DistanceToSegment(Point p, const Segment& s) {
    const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - s.a.x) * dx + (p.y - s.a.y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = s.a.x + t * dx - p.x, ey = s.a.y + t * dy - p.y;
    return std::sqrt(ex * ex + ey * ey);
}

// Coverage of each pixel by the stroke: the highest of its segments, so that joints and
// overlapping figures are not drawn twice as dark.
void Cover(const std::vector<Segment>& segments, float width, Point shift, int w, int h, std::vector<float>& coverage) {
    const double reach = width * 0.5 + 0.5;
    for (const Segment& raw : segments) {
        const Segment s{{raw.a.x + shift.x, raw.a.y + shift.y}, {raw.b.x + shift.x, raw.b.y + shift.y}};
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min(s.a.x, s.b.x) - reach)));
        const int x1 = std::min(w - 1, static_cast<int>(std::ceil(std::max(s.a.x, s.b.x) + reach)));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min(s.a.y, s.b.y) - reach)));
        const int y1 = std::min(h - 1, static_cast<int>(std::ceil(std::max(s.a.y, s.b.y) + reach)));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const double c = std::clamp(reach - DistanceToSegment({double(x), double(y)}, s), 0.0, 1.0);
                float& slot = coverage[static_cast<std::size_t>(y) * w + x];
                slot = std::max(slot, static_cast<float>(c));
            }
        }
    }
}

void Composite(const std::vector<float>& coverage, const DRAWBOT_ColorRGBA& colour, RgbaPicture& picture) {
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const float a = colour.alpha * coverage[static_cast<std::size_t>(y) * picture.width + x];
            if (a <= 0) continue;
            float* px = picture.At(x, y);
            const float under = px[3] * (1 - a);
            const float alpha = a + under;
            const float source[3] = {colour.red, colour.green, colour.blue};
            for (int c = 0; c < 3; ++c) px[c] = alpha > 0 ? (source[c] * a + px[c] * under) / alpha : 0;
            px[3] = alpha;
        }
    }
}

}  // namespace

void DrawStrokes(const std::vector<RecordedStroke>& strokes, const OverlayTheme& theme, RgbaPicture& picture) {
    std::vector<float> coverage;
    for (const RecordedStroke& stroke : strokes) {
        const std::vector<Segment> segments = Flatten(stroke.path);
        if (stroke.shadow) {
            coverage.assign(picture.rgba.size() / 4, 0.0f);
            const Point offset{double(theme.shadow_offset.x), double(theme.shadow_offset.y)};
            Cover(segments, stroke.width, offset, picture.width, picture.height, coverage);
            Composite(coverage, theme.shadow, picture);
        }
        coverage.assign(picture.rgba.size() / 4, 0.0f);
        Cover(segments, stroke.width, {0, 0}, picture.width, picture.height, coverage);
        Composite(coverage, stroke.colour, picture);
    }
}

}  // namespace qxv::hostsim
