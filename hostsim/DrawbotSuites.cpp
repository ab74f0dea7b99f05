#include "hostsim/DrawbotSuites.h"

#include <cstdio>

#include "hostsim/Host.h"

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
    return host ? &host->Attachment<DrawbotRecorder>() : nullptr;
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

}  // namespace qxv::hostsim
