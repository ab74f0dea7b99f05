// A minimal host for the overlay's unit tests: one composition or layer window with an
// integer zoom and offsets, the suites the overlay asks for, and Drawbot objects that
// record what is drawn. Every host call is counted by name and any of them can be made
// to fail on its nth use.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "AE_EffectUI.h"
#include "DrawbotSuite.h"
#include "SPBasic.h"

namespace qxv_overlay_test {

struct PathOp {
    std::string op;  // MoveTo, LineTo, AddArc, Close
    float x, y;      // the point, or the arc's centre
    float radius;
};

struct Stroke {
    std::vector<PathOp> path;
    bool by_theme;  // After Effects' overlay theme; otherwise a pen on the surface
    PF_Boolean shadow;
    DRAWBOT_ColorRGBA pen_colour;
    float pen_width;
};

struct DrawbotObject {
    bool is_pen;
    DRAWBOT_ColorRGBA colour;
    float width;
    std::vector<PathOp> ops;
    int releases = 0;
};

class FakeOverlayHost {
public:
    // After Effects, layer window, zoom 1, no scroll; Rectangle at (100, 80), 300 x 200,
    // Angle 0, Feather 100, Opacity 25, layer 400 x 300.
    FakeOverlayHost();
    ~FakeOverlayHost();
    FakeOverlayHost(const FakeOverlayHost&) = delete;
    FakeOverlayHost& operator=(const FakeOverlayHost&) = delete;

    void SetPremiere() { in_data.appl_id = 0x50724D72; }
    void SetWindow(PF_WindowType w_type) { context.w_type = w_type; }
    // window = (layer + layer_offset in the composition window) * zoom + scroll
    void SetView(int zoom, PF_Point scroll, PF_Point layer_offset);
    void SetShape(A_long type, double x, double y, double width, double height, double angle_degrees,
                  double feather, double opacity_percent);
    void SetPixelAspect(A_long num, A_u_long den) { in_data.pixel_aspect_ratio = {num, den}; }

    // The nth call (1-based) of the named entry returns code; nth 0 fails every call.
    // "stroke" names both the theme's and the surface's stroke.
    void Fail(const std::string& entry, int nth, int code = 7) { failures_.push_back({entry, nth, code}); }
    void RemoveSuite(const std::string& name) { missing_suites_.push_back(name); }
    void GiveNoDrawingReference() { no_drawing_ref = true; }

    PF_Err Draw();
    PF_Err Click(A_long x, A_long y);
    // The ten handles as the hit test sees them, through a cache that is gone on return.
    std::array<PF_Point, 10> HitTestHandles();
    PF_Err Drag(A_long x, A_long y, bool last_time);

    double WindowX(double layer_x) const;
    double WindowY(double layer_y) const;

    int Calls(const std::string& entry) const;
    // Every pen and path made was given back exactly once, and nothing else was.
    bool AllObjectsReleasedOnce() const;
    bool SuitesBalanced() const;
    int SuitesAcquired(const std::string& name) const;
    int ObjectsMade() const { return static_cast<int>(objects.size()); }

    // Called by the fake's C entries.
    DRAWBOT_Err Enter(const std::string& entry);
    bool SuiteMissing(const std::string& name) const;

    PF_InData in_data{};
    PF_OutData out_data{};
    PF_Context context{};
    PF_ContextPtr context_ptr = &context;
    PF_EventExtra extra{};
    _PF_UtilCallbacks utils{};
    PF_ParamDef defs[14]{};
    PF_ParamDef* params[14];

    int zoom = 1;
    PF_Point scroll{0, 0}, layer_offset{0, 0};
    bool no_drawing_ref = false;
    bool released_unknown = false;
    std::vector<Stroke> strokes;
    std::vector<std::unique_ptr<DrawbotObject>> objects;
    std::map<std::string, int> calls;
    std::map<std::string, int> acquired, released;

private:
    struct Failure {
        std::string entry;
        int nth;
        int code;
    };
    std::vector<Failure> failures_;
    std::vector<std::string> missing_suites_;
};

}  // namespace qxv_overlay_test
