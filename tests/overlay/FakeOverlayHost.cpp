#include "FakeOverlayHost.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "AE_EffectSuites.h"
#include "host/SuiteCache.h"
#include "overlay/HandleOverlayEvent.h"
#include "overlay/OverlayGeometry.h"

namespace qxv_overlay_test {
namespace {

// The host the C entries below report to; one at a time.
FakeOverlayHost* g_host = nullptr;

char g_drawing_ref, g_supplier, g_surface;

DrawbotObject* Object(void* ref) { return static_cast<DrawbotObject*>(ref); }

// ---- event callbacks: exact integer maps in 16.16 ----
PF_Err LayerToComp(void*, PF_ContextH, A_long, A_long, PF_FixedPoint* pt) {
    g_host->Enter("layer_to_comp");
    pt->x += g_host->layer_offset.h * 65536;
    pt->y += g_host->layer_offset.v * 65536;
    return PF_Err_NONE;
}
PF_Err CompToLayer(void*, PF_ContextH, A_long, A_long, PF_FixedPoint* pt) {
    g_host->Enter("comp_to_layer");
    pt->x -= g_host->layer_offset.h * 65536;
    pt->y -= g_host->layer_offset.v * 65536;
    return PF_Err_NONE;
}
PF_Err SourceToFrame(void*, PF_ContextH, PF_FixedPoint* pt) {
    g_host->Enter("source_to_frame");
    pt->x = pt->x * g_host->zoom + g_host->scroll.h * 65536;
    pt->y = pt->y * g_host->zoom + g_host->scroll.v * 65536;
    return PF_Err_NONE;
}
PF_Err FrameToSource(void*, PF_ContextH, PF_FixedPoint* pt) {
    g_host->Enter("frame_to_source");
    pt->x = (pt->x - g_host->scroll.h * 65536) / g_host->zoom;
    pt->y = (pt->y - g_host->scroll.v * 65536) / g_host->zoom;
    return PF_Err_NONE;
}

// ---- suites ----
A_FpLong AnsiCos(A_FpLong v) { g_host->Enter("cos"); return std::cos(v); }
A_FpLong AnsiSin(A_FpLong v) { g_host->Enter("sin"); return std::sin(v); }
A_FpLong AnsiFabs(A_FpLong v) { g_host->Enter("fabs"); return std::fabs(v); }

int FakeSprintf(A_char* dst, const A_char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    const int n = std::vsnprintf(dst, 256, fmt, args);
    va_end(args);
    return n;
}

PF_Err GetDrawingReference(const PF_ContextH, DRAWBOT_DrawRef* ref) {
    const PF_Err err = g_host->Enter("PF_GetDrawingReference");
    *ref = g_host->no_drawing_ref ? nullptr : reinterpret_cast<DRAWBOT_DrawRef>(&g_drawing_ref);
    return err;
}
PF_Err GetForegroundColor(DRAWBOT_ColorRGBA* colour) {
    *colour = {0.25f, 0.5f, 0.75f, 1.0f};
    return g_host->Enter("PF_GetPreferredForegroundColor");
}
void RecordStroke(DRAWBOT_PathRef path, bool by_theme, PF_Boolean shadow, DRAWBOT_PenRef pen) {
    Stroke stroke{Object(path)->ops, by_theme, shadow, {}, 0};
    if (pen) {
        stroke.pen_colour = Object(pen)->colour;
        stroke.pen_width = Object(pen)->width;
    }
    g_host->strokes.push_back(stroke);
}
PF_Err ThemeStrokePath(const DRAWBOT_DrawRef, const DRAWBOT_PathRef path, PF_Boolean shadow) {
    g_host->Enter("PF_StrokePath");
    if (const PF_Err err = g_host->Enter("stroke")) return err;
    RecordStroke(path, true, shadow, nullptr);
    return PF_Err_NONE;
}

DRAWBOT_Err GetSupplier(DRAWBOT_DrawRef, DRAWBOT_SupplierRef* out) {
    *out = reinterpret_cast<DRAWBOT_SupplierRef>(&g_supplier);
    return g_host->Enter("GetSupplier");
}
DRAWBOT_Err GetSurface(DRAWBOT_DrawRef, DRAWBOT_SurfaceRef* out) {
    *out = reinterpret_cast<DRAWBOT_SurfaceRef>(&g_surface);
    return g_host->Enter("GetSurface");
}
DRAWBOT_Err NewPen(DRAWBOT_SupplierRef, const DRAWBOT_ColorRGBA* colour, float width, DRAWBOT_PenRef* out) {
    *out = nullptr;
    if (const DRAWBOT_Err err = g_host->Enter("NewPen")) return err;
    g_host->objects.push_back(std::make_unique<DrawbotObject>(DrawbotObject{true, *colour, width, {}}));
    *out = reinterpret_cast<DRAWBOT_PenRef>(g_host->objects.back().get());
    return 0;
}
DRAWBOT_Err NewPath(DRAWBOT_SupplierRef, DRAWBOT_PathRef* out) {
    *out = nullptr;
    if (const DRAWBOT_Err err = g_host->Enter("NewPath")) return err;
    g_host->objects.push_back(std::make_unique<DrawbotObject>(DrawbotObject{false, {}, 0, {}}));
    *out = reinterpret_cast<DRAWBOT_PathRef>(g_host->objects.back().get());
    return 0;
}
// A failed release still counts as the object given back: the plug-in must not try again.
DRAWBOT_Err ReleaseObject(DRAWBOT_ObjectRef ref) {
    bool known = false;
    for (const auto& object : g_host->objects) known = known || object.get() == static_cast<void*>(ref);
    if (known) ++Object(ref)->releases;
    else g_host->released_unknown = true;
    return g_host->Enter("ReleaseObject");
}
DRAWBOT_Err SurfaceStrokePath(DRAWBOT_SurfaceRef, DRAWBOT_PenRef pen, DRAWBOT_PathRef path) {
    g_host->Enter("StrokePath");
    if (const DRAWBOT_Err err = g_host->Enter("stroke")) return err;
    RecordStroke(path, false, 0, pen);
    return 0;
}
DRAWBOT_Err AddOp(const char* op, DRAWBOT_PathRef path, float x, float y, float radius) {
    if (const DRAWBOT_Err err = g_host->Enter(op)) return err;
    Object(path)->ops.push_back({op, x, y, radius});
    return 0;
}
DRAWBOT_Err MoveTo(DRAWBOT_PathRef path, float x, float y) { return AddOp("MoveTo", path, x, y, 0); }
DRAWBOT_Err LineTo(DRAWBOT_PathRef path, float x, float y) { return AddOp("LineTo", path, x, y, 0); }
DRAWBOT_Err AddArc(DRAWBOT_PathRef path, const DRAWBOT_PointF32* centre, float radius, float start, float sweep) {
    if (start != 0.0f || sweep != 360.0f) g_host->Enter("AddArc not a full circle");
    return AddOp("AddArc", path, centre->x, centre->y, radius);
}
DRAWBOT_Err Close(DRAWBOT_PathRef path) { return AddOp("Close", path, 0, 0, 0); }

PF_ANSICallbacksSuite1 MakeAnsiSuite() {
    PF_ANSICallbacksSuite1 suite{};
    suite.cos = AnsiCos;
    suite.sin = AnsiSin;
    suite.fabs = AnsiFabs;
    return suite;
}
const PF_ANSICallbacksSuite1 kAnsiSuite = MakeAnsiSuite();
const PF_EffectCustomUISuite1 kCustomUISuite = {GetDrawingReference};
PF_EffectCustomUIOverlayThemeSuite1 MakeThemeSuite() {
    PF_EffectCustomUIOverlayThemeSuite1 suite{};
    suite.PF_GetPreferredForegroundColor = GetForegroundColor;
    suite.PF_StrokePath = ThemeStrokePath;
    return suite;
}
const PF_EffectCustomUIOverlayThemeSuite1 kThemeSuite = MakeThemeSuite();
const DRAWBOT_DrawbotSuite1 kDrawSuite = {GetSupplier, GetSurface};
DRAWBOT_SupplierSuite1 MakeSupplierSuite() {
    DRAWBOT_SupplierSuite1 suite{};
    suite.NewPen = NewPen;
    suite.NewPath = NewPath;
    suite.ReleaseObject = ReleaseObject;
    return suite;
}
const DRAWBOT_SupplierSuite1 kSupplierSuite = MakeSupplierSuite();
DRAWBOT_SurfaceSuite1 MakeSurfaceSuite() {
    DRAWBOT_SurfaceSuite1 suite{};
    suite.StrokePath = SurfaceStrokePath;
    return suite;
}
const DRAWBOT_SurfaceSuite1 kSurfaceSuite = MakeSurfaceSuite();
const DRAWBOT_PathSuite1 kPathSuite = {MoveTo, LineTo, nullptr, nullptr, AddArc, Close};

const std::map<std::string, const void*> kSuites = {
    {"PF ANSI Suite", &kAnsiSuite},
    {"PF Effect Custom UI Suite", &kCustomUISuite},
    {"PF Effect Custom UI Overlay Theme Suite", &kThemeSuite},
    {"DRAWBOT Draw Suite", &kDrawSuite},
    {"DRAWBOT Supplier Suite", &kSupplierSuite},
    {"DRAWBOT Surface Suite", &kSurfaceSuite},
    {"DRAWBOT Path Suite", &kPathSuite},
};

SPErr AcquireSuite(const char* name, int32_t version, const void** suite) {
    *suite = nullptr;
    const auto found = kSuites.find(name);
    if (found == kSuites.end() || version != 1 || g_host->SuiteMissing(name)) return 1;
    ++g_host->acquired[name];
    *suite = found->second;
    return kSPNoError;
}
SPErr ReleaseSuite(const char* name, int32_t) {
    ++g_host->released[name];
    return kSPNoError;
}
SPBasicSuite g_basic_suite = {AcquireSuite, ReleaseSuite, nullptr, nullptr, nullptr, nullptr, nullptr};

}  // namespace

FakeOverlayHost::FakeOverlayHost() {
    g_host = this;
    utils.ansi.sprintf = FakeSprintf;
    in_data.utils = &utils;
    in_data.pica_basicP = &g_basic_suite;
    in_data.appl_id = 0x46585443;  // 'FXTC'
    in_data.width = 400;
    in_data.height = 300;
    in_data.time_scale = 30;
    in_data.pixel_aspect_ratio = {1, 1};
    context.w_type = PF_Window_LAYER;
    extra.contextH = &context_ptr;
    extra.cbs = {nullptr, LayerToComp, CompToLayer, nullptr, nullptr, SourceToFrame, FrameToSource, nullptr, nullptr};
    for (int i = 0; i < 14; ++i) params[i] = &defs[i];
    SetShape(2, 100, 80, 300, 200, 0, 100, 25);
}

FakeOverlayHost::~FakeOverlayHost() { g_host = nullptr; }

void FakeOverlayHost::SetView(int new_zoom, PF_Point new_scroll, PF_Point new_layer_offset) {
    zoom = new_zoom;
    scroll = new_scroll;
    layer_offset = new_layer_offset;
}

void FakeOverlayHost::SetShape(A_long type, double x, double y, double width, double height, double angle_degrees,
                               double feather, double opacity_percent) {
    defs[1].u.pd.value = type;
    defs[2].u.td.x_value = static_cast<PF_Fixed>(std::lround(x * 65536));
    defs[2].u.td.y_value = static_cast<PF_Fixed>(std::lround(y * 65536));
    defs[3].u.fs_d.value = width;
    defs[4].u.fs_d.value = height;
    defs[5].u.ad.value = static_cast<PF_Fixed>(std::lround(angle_degrees * 65536));
    defs[6].u.fs_d.value = feather;
    defs[9].u.fd.value = static_cast<PF_Fixed>(std::lround(opacity_percent * 65536));
}

PF_Err FakeOverlayHost::Draw() {
    extra.e_type = PF_Event_DRAW;
    extra.evt_out_flags = 0;
    return qxv::HandleOverlayEvent(&in_data, &out_data, params, nullptr, &extra);
}

PF_Err FakeOverlayHost::Click(A_long x, A_long y) {
    extra.e_type = PF_Event_DO_CLICK;
    extra.evt_out_flags = 0;
    extra.u.do_click.screen_point = {x, y};
    extra.u.do_click.last_time = 0;
    return qxv::HandleOverlayEvent(&in_data, &out_data, params, nullptr, &extra);
}

std::array<PF_Point, 10> FakeOverlayHost::HitTestHandles() {
    qxv::SuiteCache cache(&in_data, &out_data);
    return qxv::ComputeHitTestHandles(&in_data, cache, qxv::ReadOverlayParams(params), &extra);
}

PF_Err FakeOverlayHost::Drag(A_long x, A_long y, bool last_time) {
    extra.e_type = PF_Event_DRAG;
    extra.evt_out_flags = 0;
    extra.u.do_click.screen_point = {x, y};
    extra.u.do_click.last_time = last_time;
    return qxv::HandleOverlayEvent(&in_data, &out_data, params, nullptr, &extra);
}

double FakeOverlayHost::WindowX(double layer_x) const {
    const double offset = context.w_type == PF_Window_COMP ? layer_offset.h : 0;
    return (layer_x + offset) * zoom + scroll.h;
}

double FakeOverlayHost::WindowY(double layer_y) const {
    const double offset = context.w_type == PF_Window_COMP ? layer_offset.v : 0;
    return (layer_y + offset) * zoom + scroll.v;
}

DRAWBOT_Err FakeOverlayHost::Enter(const std::string& entry) {
    const int count = ++calls[entry];
    for (const Failure& failure : failures_) {
        if (failure.entry == entry && (failure.nth == 0 || failure.nth == count)) return failure.code;
    }
    return 0;
}

bool FakeOverlayHost::SuiteMissing(const std::string& name) const {
    for (const std::string& missing : missing_suites_) {
        if (missing == name) return true;
    }
    return false;
}

int FakeOverlayHost::Calls(const std::string& entry) const {
    const auto found = calls.find(entry);
    return found == calls.end() ? 0 : found->second;
}

bool FakeOverlayHost::AllObjectsReleasedOnce() const {
    for (const auto& object : objects) {
        if (object->releases != 1) return false;
    }
    return !released_unknown;
}

bool FakeOverlayHost::SuitesBalanced() const { return acquired == released; }

int FakeOverlayHost::SuitesAcquired(const std::string& name) const {
    const auto found = acquired.find(name);
    return found == acquired.end() ? 0 : found->second;
}

}  // namespace qxv_overlay_test
