// The host's Drawbot: "DRAWBOT Draw Suite", "DRAWBOT Supplier Suite", "DRAWBOT Surface Suite"
// and "DRAWBOT Path Suite", version 1 each. Nothing is drawn while the plug-in calls: every
// path operation and every stroke is recorded (with its pen, or with the overlay theme's
// colour and shadow flag) for DrawStrokes to draw afterwards, and every pen and path made
// is counted until it is given back. Each entry asks the failure rules under its own name
// ("GetSupplier", "NewPath", "ReleaseObject", "MoveTo", ...); both kinds of stroke also
// answer to "stroke", so "the Nth stroke" can be failed whichever host is simulated.
// Further down: the custom UI suites, which record into the same recorder, and DrawStrokes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "AE_EffectUI.h"
#include "DrawbotSuite.h"

namespace qxv::hostsim {

class Host;

enum class PathOpKind { kMoveTo, kLineTo, kAddArc, kClose };
const char* PathOpName(PathOpKind kind);  // "MoveTo", ...

struct PathOp {
    PathOpKind kind = PathOpKind::kMoveTo;
    float x = 0, y = 0;  // the point, or the arc's centre
    float radius = 0, start = 0, sweep = 0;
};

enum class StrokeBy { kOverlayTheme, kPen };

struct RecordedStroke {
    StrokeBy by = StrokeBy::kPen;
    std::vector<PathOp> path;
    DRAWBOT_ColorRGBA colour{};
    float width = 0;
    bool shadow = false;  // the theme's drop shadow was asked for
};

// How the simulated host styles its own overlays (After Effects' theme).
struct OverlayTheme {
    DRAWBOT_ColorRGBA foreground{0.80f, 0.93f, 1.0f, 1.0f};
    DRAWBOT_ColorRGBA shadow{0.0f, 0.0f, 0.0f, 0.6f};
    float stroke_width = 1.0f;
    float vertex_size = 6.0f;
    A_LPoint shadow_offset{1, 1};
};

struct DrawbotObject {
    bool is_pen = false;
    DRAWBOT_ColorRGBA colour{};  // pens
    float width = 0;             // pens
    std::vector<PathOp> ops;     // paths
    int releases = 0;
};

// One per instrumented host (Host::drawbot), cleared at every event.
class DrawbotRecorder {
public:
    OverlayTheme theme;
    bool gives_drawing_reference = true;
    PF_ContextH context = nullptr;  // the window context of the event being sent

    void BeginEvent();
    const std::vector<RecordedStroke>& strokes() const { return strokes_; }
    int pens_made() const;
    int paths_made() const;
    int releases() const;
    // One line per pen or path not given back exactly once in this event.
    std::vector<std::string> Leaks() const;

    // ---- for the suite entries ----
    DRAWBOT_DrawRef draw_ref() { return reinterpret_cast<DRAWBOT_DrawRef>(&draw_tag_); }
    DRAWBOT_SupplierRef supplier_ref() { return reinterpret_cast<DRAWBOT_SupplierRef>(&supplier_tag_); }
    DRAWBOT_SurfaceRef surface_ref() { return reinterpret_cast<DRAWBOT_SurfaceRef>(&surface_tag_); }
    DrawbotObject* Make(bool is_pen);
    DrawbotObject* Find(const void* ref);  // null for anything this host did not hand out
    void AddStroke(RecordedStroke stroke) { strokes_.push_back(std::move(stroke)); }

private:
    char draw_tag_ = 0, supplier_tag_ = 0, surface_tag_ = 0;
    std::vector<std::unique_ptr<DrawbotObject>> objects_;
    std::vector<RecordedStroke> strokes_;
};

// The recorder of the host running the current command; null outside a command.
DrawbotRecorder* CurrentDrawbot(Host*& host);

// Every stroke also counts as a "stroke" for the failure rules; `own_answer` is what the
// rules said under the entry's own name, which wins.
int CheckStrokeFailure(Host& host, int own_answer);

std::string ColourText(const DRAWBOT_ColorRGBA& colour);

void RegisterDrawbotSuites(Host& host);

// "PF Effect Custom UI Suite" 1 (the window's drawing reference) and "PF Effect Custom UI
// Overlay Theme Suite" 1 (the host's own overlay style: colours, widths, and strokes drawn
// in that style with an optional drop shadow), both recording into the session's
// DrawbotRecorder. Entries answer to the failure rules under their own names.
void RegisterCustomUISuites(Host& host);

// Draws the strokes a DrawbotRecorder took down onto a picture, as the host's window would
// show them: anti-aliased lines and arcs of the stroke's width (1 pixel for the overlay),
// arcs in degrees with 0 at three o'clock sweeping clockwise on screen (y grows downward).
// Strokes of the overlay theme get the theme's drop shadow first when they asked for it;
// pen strokes are drawn in their pen's colour alone. Pixel (i, j) is centred on the window
// point (i, j), so a 1-pixel line along whole coordinates covers exactly one pixel row.

// Straight (not premultiplied) RGBA, 0 to 1, rows top to bottom.
struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<float> rgba;

    RgbaPicture() = default;
    RgbaPicture(int w, int h) : width(w), height(h), rgba(static_cast<std::size_t>(w) * h * 4, 0.0f) {}
    float* At(int x, int y) { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
    const float* At(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

void DrawStrokes(const std::vector<RecordedStroke>& strokes, const OverlayTheme& theme, RgbaPicture& picture);

}  // namespace qxv::hostsim
