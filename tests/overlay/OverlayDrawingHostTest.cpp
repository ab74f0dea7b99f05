// Draw events through the loaded plug-in: what is stroked, in which order and style, in
// both hosts and both windows, and what happens when the host will not let it draw.
#include <map>
#include <string>

#include "OpenedOverlay.h"

namespace qxv::host_tests {
namespace {

using hostsim::HostApp;
using hostsim::PathOpKind;
using hostsim::RecordedStroke;
using hostsim::StrokeBy;

std::string OpLetters(const RecordedStroke& stroke) {
    std::string letters;
    for (const auto& op : stroke.path) letters += hostsim::PathOpName(op.kind)[0];
    return letters;
}

std::vector<std::string> Letters(const std::vector<RecordedStroke>& strokes) {
    std::vector<std::string> all;
    for (const auto& stroke : strokes) all.push_back(OpLetters(stroke));
    return all;
}

const std::vector<std::string> kRectangleStrokes = {
    "MLLLC",                                   // outline rectangle
    "MLLLC", "MLLLC", "MLLLC", "MLLLC",        // corner squares
    "AAAA",                                    // feather circles
    "ML",                                      // angle line
    "A",                                       // angle circle
    "ML",                                      // opacity track
    "MLLLC"};                                  // opacity knob

struct StrokeCase {
    const char* what;
    HostApp app;
    const char* type;
    hostsim::OverlayView view;
    const char* angle;
};

TEST(OverlayDrawingHostTest, StrokesInDocumentedOrder) {
    const StrokeCase cases[] = {
        {"AE rectangle, layer window", HostApp::kAfterEffects, "Rectangle", View(PF_Window_LAYER), "0"},
        {"PR rectangle, comp window zoom 2", HostApp::kPremierePro, "Rectangle",
         View(PF_Window_COMP, {2, 1}, {10, 20}, {30, 40}), "30"},
        {"AE ellipse, comp window zoom 1/2", HostApp::kAfterEffects, "Ellipse",
         View(PF_Window_COMP, {1, 2}, {0, 0}, {64, 32}), "-20"},
        {"PR ellipse, layer window", HostApp::kPremierePro, "Ellipse", View(PF_Window_LAYER), "45"},
    };
    for (const StrokeCase& c : cases) {
        SCOPED_TRACE(c.what);
        OpenedOverlay overlay = OpenOverlay(c.app, c.view, {{"Vignette Type", c.type}, {"Angle", c.angle}});
        ASSERT_EQ(overlay.session->Draw(), PF_Err_NONE);
        EXPECT_EQ(overlay.session->last_event().evt_out_flags, PF_EO_HANDLED_EVENT);
        EXPECT_TRUE(overlay.host->CommandViolations().empty()) << overlay.host->CommandViolations()[0];

        const auto& strokes = overlay.session->drawbot().strokes();
        std::vector<std::string> expected = kRectangleStrokes;
        if (std::string(c.type) == "Ellipse") expected.insert(expected.begin(), "M" + std::string(65, 'L'));
        ASSERT_EQ(Letters(strokes), expected);

        // Corner squares sit on the outline's corners, in the order TL, TR, BR, BL.
        const RecordedStroke& outline = strokes[strokes.size() - 10];
        for (int i = 0; i < 4; ++i) {
            const RecordedStroke& square = strokes[strokes.size() - 9 + i];
            EXPECT_FLOAT_EQ((square.path[0].x + square.path[2].x) / 2, outline.path[i].x) << "square " << i;
            EXPECT_FLOAT_EQ((square.path[0].y + square.path[2].y) / 2, outline.path[i].y) << "square " << i;
            EXPECT_FLOAT_EQ(square.path[2].x - square.path[0].x, 6.0f);
        }
        const RecordedStroke& feather = strokes[strokes.size() - 5];
        const RecordedStroke& angle_circle = strokes[strokes.size() - 3];
        for (const auto& arc : feather.path) {
            EXPECT_EQ(arc.radius, 4.0f);
            EXPECT_EQ(arc.start, 0.0f);
            EXPECT_EQ(arc.sweep, 360.0f);
        }
        EXPECT_EQ(angle_circle.path[0].radius, 6.0f);
        // The angle line ends at the angle circle's centre.
        const RecordedStroke& angle_line = strokes[strokes.size() - 4];
        EXPECT_EQ(angle_line.path[1].x, angle_circle.path[0].x);
        EXPECT_EQ(angle_line.path[1].y, angle_circle.path[0].y);
        EXPECT_EQ(overlay.session->drawbot().Leaks().size(), 0u);
    }
}

// Feather 0, layer window at 100 %: the parts lie where the shape puts them in layer pixels.
TEST(OverlayDrawingHostTest, PartsLieWhereTheGeometryPutsThem) {
    OpenedOverlay overlay = OpenOverlay(HostApp::kAfterEffects, {}, {{"Feather", "0"}});
    ASSERT_EQ(overlay.session->Draw(), PF_Err_NONE);
    const auto& strokes = overlay.session->drawbot().strokes();
    ASSERT_EQ(strokes.size(), 11u);
    const auto expect_at = [](const hostsim::PathOp& op, float x, float y, const char* what) {
        EXPECT_EQ(op.x, x) << what;
        EXPECT_EQ(op.y, y) << what;
    };
    // The ellipse starts at the end of its horizontal half-axis and returns there, unclosed.
    expect_at(strokes[0].path.front(), 390, 135, "ellipse start");
    expect_at(strokes[0].path.back(), 390, 135, "ellipse end");
    const float corners[][2] = {{90, 35}, {390, 35}, {390, 235}, {90, 235}};  // TL, TR, BR, BL
    for (int i = 0; i < 4; ++i) expect_at(strokes[1].path[i], corners[i][0], corners[i][1], "outline corner");
    // The feather circles sit on the outline's side midpoints: top, bottom, left, right.
    const float feather[][2] = {{240, 35}, {240, 235}, {90, 135}, {390, 135}};
    for (int i = 0; i < 4; ++i) expect_at(strokes[6].path[i], feather[i][0], feather[i][1], "feather circle");
    // The angle line runs from the origin one fifth of the layer's height up.
    expect_at(strokes[7].path[0], 240, 135, "angle line start");
    expect_at(strokes[7].path[1], 240, 81, "angle line end");
}

// The ellipse's 64 points turn in square pixels and reach the window through the host's
// mapping (here a scroll of (10, 20)); with pixel aspect P the horizontal offsets are 1/P.
TEST(OverlayDrawingHostTest, EllipsePointsTurnInSquarePixelsAndAreMapped) {
    struct Case {
        const char* angle;
        A_long aspect;
        int index;
        float dx, dy;  // from the origin, layer pixels
    };
    const Case cases[] = {
        {"0", 1, 0, 150, 0},   {"0", 1, 16, 0, 100},   {"0", 1, 32, -150, 0}, {"0", 1, 48, 0, -100},
        {"90", 1, 0, 0, 150},  {"90", 1, 16, -100, 0}, {"0", 2, 0, 75, 0},    {"90", 2, 16, -50, 0},
    };
    for (HostApp app : {HostApp::kAfterEffects, HostApp::kPremierePro}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(hostsim::HostAppName(app)) + ", angle " + c.angle + ", P " +
                         std::to_string(c.aspect) + ", point " + std::to_string(c.index));
            OpenedOverlay overlay =
                OpenOverlay(app, View(PF_Window_LAYER, {1, 1}, {10, 20}), {{"Angle", c.angle}}, {c.aspect, 1});
            ASSERT_EQ(overlay.session->Draw(), PF_Err_NONE);
            // The path is MoveTo point 0, then LineTo every point from 0 on, then back to point 0.
            const hostsim::PathOp& point = overlay.session->drawbot().strokes().at(0).path.at(c.index + 1);
            EXPECT_NEAR(point.x, 240 + c.dx + 10, 1e-3);
            EXPECT_NEAR(point.y, 135 + c.dy + 20, 1e-3);
        }
    }
}

TEST(OverlayDrawingHostTest, HostStyles) {
    const DRAWBOT_ColorRGBA grey{0.9f, 0.9f, 0.9f, 1.0f}, yellow{0.9f, 0.9f, 0.0f, 1.0f};
    for (HostApp app : {HostApp::kAfterEffects, HostApp::kPremierePro}) {
        SCOPED_TRACE(hostsim::HostAppName(app));
        OpenedOverlay overlay = OpenOverlay(app);
        ASSERT_EQ(overlay.session->Draw(), PF_Err_NONE);
        const auto& strokes = overlay.session->drawbot().strokes();
        ASSERT_EQ(strokes.size(), 11u);
        const DRAWBOT_ColorRGBA theme = overlay.session->drawbot().theme.foreground;
        for (std::size_t i = 0; i < strokes.size(); ++i) {
            const RecordedStroke& s = strokes[i];
            if (app == HostApp::kAfterEffects) {
                EXPECT_EQ(s.by, StrokeBy::kOverlayTheme) << i;
                EXPECT_TRUE(s.shadow) << i;
                EXPECT_EQ(s.colour.red, theme.red) << i;
                EXPECT_EQ(s.colour.blue, theme.blue) << i;
            } else {
                const DRAWBOT_ColorRGBA want = i == 0 ? grey : yellow;
                EXPECT_EQ(s.by, StrokeBy::kPen) << i;
                EXPECT_FALSE(s.shadow) << i;
                EXPECT_EQ(s.width, 1.0f) << i;
                EXPECT_EQ(s.colour.red, want.red) << i;
                EXPECT_EQ(s.colour.green, want.green) << i;
                EXPECT_EQ(s.colour.blue, want.blue) << i;
                EXPECT_EQ(s.colour.alpha, want.alpha) << i;
            }
        }
    }
}

// The knob's level is Opacity pixels above the track's lower end, 50 below the origin at 135;
// the track runs 40 pixels left of the origin, at x = 200.
TEST(OverlayDrawingHostTest, OpacityKnobLevels) {
    struct Case {
        const char* opacity;
        float level;
    } cases[] = {{"100", 85}, {"0", 185}, {"25", 160}, {"62.5", 122.5f}};
    for (HostApp app : {HostApp::kAfterEffects, HostApp::kPremierePro}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(hostsim::HostAppName(app)) + ", opacity " + c.opacity);
            OpenedOverlay overlay = OpenOverlay(app, {}, {{"Opacity", c.opacity}, {"Vignette Type", "Rectangle"}});
            ASSERT_EQ(overlay.session->Draw(), PF_Err_NONE);
            const auto& strokes = overlay.session->drawbot().strokes();
            ASSERT_EQ(strokes.size(), 10u);
            const auto& track = strokes[8].path;
            EXPECT_EQ(track[0].x, 200.0f);
            EXPECT_EQ(track[0].y, 85.0f);
            EXPECT_EQ(track[1].y, 185.0f);
            const auto& knob = strokes[9].path;  // TL, TR, BR, BL, close
            EXPECT_EQ(knob[0].x, 195.0f);
            EXPECT_EQ(knob[1].x, 206.0f);
            EXPECT_EQ(knob[0].y, static_cast<float>(static_cast<int>(c.level - 2)));
            EXPECT_EQ(knob[2].y, static_cast<float>(static_cast<int>(c.level + 2)));
        }
    }
}

TEST(OverlayDrawingHostTest, NoDrawingReferenceDrawsNothing) {
    for (HostApp app : {HostApp::kAfterEffects, HostApp::kPremierePro}) {
        SCOPED_TRACE(hostsim::HostAppName(app));
        OpenedOverlay overlay = OpenOverlay(app);
        overlay.session->drawbot().gives_drawing_reference = false;
        EXPECT_EQ(overlay.session->Draw(), PF_Err_NONE);
        EXPECT_TRUE(overlay.session->drawbot().strokes().empty());
        EXPECT_EQ(overlay.session->drawbot().pens_made() + overlay.session->drawbot().paths_made(), 0);
        EXPECT_TRUE(overlay.host->CommandViolations().empty()) << overlay.host->CommandViolations()[0];
        EXPECT_GT(overlay.host->accounting().AcquiredThisCommand(), 0);
        EXPECT_EQ(overlay.session->last_event().evt_out_flags, PF_EO_HANDLED_EVENT);
    }
}

// A drawing call fails: the strokes before it are drawn, nothing after it is tried, the host
// hears nothing of it, and every pen, path and suite is given back. Rectangle: outline, four
// corner squares, feather circles, angle line and circle, opacity track and knob.
TEST(OverlayDrawingHostTest, AFailingDrawingCallStopsTheDrawingQuietly) {
    struct Case {
        const char* call;
        int nth;
        std::size_t strokes_made;
    };
    std::vector<Case> cases = {{"GetSurface", 1, 0}, {"PF_GetPreferredForegroundColor", 1, 1},
                               {"MoveTo", 3, 2},     {"Close", 1, 0},
                               {"AddArc", 2, 5},     {"LineTo", 16, 6},
                               {"GetSupplier", 6, 5}};
    for (int n = 1; n <= 10; ++n) cases.push_back({"stroke", n, static_cast<std::size_t>(n - 1)});
    for (HostApp app : {HostApp::kAfterEffects, HostApp::kPremierePro}) {
        for (const Case& c : cases) {
            if (app == HostApp::kPremierePro && std::string(c.call) == "PF_GetPreferredForegroundColor") continue;
            SCOPED_TRACE(std::string(hostsim::HostAppName(app)) + ", " + c.call + " #" + std::to_string(c.nth));
            OpenedOverlay overlay = OpenOverlay(app, {}, {{"Vignette Type", "Rectangle"}});
            overlay.host->failures().FailCall(c.call, c.nth, 25);
            EXPECT_EQ(overlay.session->Draw(), PF_Err_NONE);
            EXPECT_EQ(overlay.session->drawbot().strokes().size(), c.strokes_made);
            const char* stroke_call = app == HostApp::kAfterEffects ? "PF_StrokePath" : "StrokePath";
            const bool stroke_failed = std::string(c.call) == "stroke";
            EXPECT_EQ(overlay.host->trace().Calls(stroke_call).size(), c.strokes_made + stroke_failed);
            EXPECT_TRUE(overlay.host->CommandViolations().empty()) << overlay.host->CommandViolations()[0];
            EXPECT_EQ(overlay.session->last_event().evt_out_flags, PF_EO_HANDLED_EVENT);
        }
    }
}

// One cache serves the whole event: however many strokes need the theme or the draw suite,
// each suite is acquired once and released once.
TEST(OverlayDrawingHostTest, EachSuiteIsAcquiredOncePerEvent) {
    for (HostApp app : {HostApp::kAfterEffects, HostApp::kPremierePro}) {
        for (const char* type : {"Rectangle", "Ellipse"}) {
            SCOPED_TRACE(std::string(hostsim::HostAppName(app)) + ", " + type);
            OpenedOverlay overlay = OpenOverlay(app, View(PF_Window_LAYER), {{"Vignette Type", type}});
            overlay.host->trace().Clear();
            ASSERT_EQ(overlay.session->Draw(), PF_Err_NONE);
            std::map<std::string, int> acquired;
            for (const auto& call : overlay.host->trace().Calls("AcquireSuite")) ++acquired[call.detail];
            EXPECT_EQ(acquired.size(), app == HostApp::kAfterEffects ? 7u : 5u);
            for (const auto& [suite, times] : acquired) EXPECT_EQ(times, 1) << suite;
            EXPECT_TRUE(overlay.host->CommandViolations().empty()) << overlay.host->CommandViolations()[0];
        }
    }
}

// A pen or path the host will not make or take back ends the event with the host's own
// code, not a generic one, once everything made has been given back; a second failure while
// giving back does not replace the first code.
TEST(OverlayDrawingHostTest, ADrawbotObjectFailureReachesTheHostWithItsCode) {
    struct Failure {
        const char* call;
        int nth;
        PF_Err code;
    };
    struct Case {
        const char* what;
        std::vector<Failure> failures;
        PF_Err expected;
    };
    // Rectangle in After Effects: the corner squares make paths 1-5, the drawing's own path is
    // 6 and its pen the first pen; the first replacement makes path 7 and gives back path 6
    // (the 6th release); unwinding from there gives back the pen first (the 7th).
    const Case cases[] = {
        {"first path", {{"NewPath", 1, 21}}, 21},
        {"the drawing's own path", {{"NewPath", 6, 22}}, 22},
        {"a replacement path", {{"NewPath", 7, 23}}, 23},
        {"the pen", {{"NewPen", 1, 24}}, 24},
        {"a path's release", {{"ReleaseObject", 1, 25}}, 25},
        {"a release inside a replacement", {{"ReleaseObject", 6, 26}}, 26},
        {"every release", {{"ReleaseObject", 0, 27}}, 27},
        {"the pen, then the release of the path during unwinding", {{"NewPen", 1, 28}, {"ReleaseObject", 6, 29}}, 28},
        {"a replacement, then the pen's release during unwinding", {{"NewPath", 8, 30}, {"ReleaseObject", 7, 31}}, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenedOverlay overlay = OpenOverlay(HostApp::kAfterEffects, {}, {{"Vignette Type", "Rectangle"}});
        for (const Failure& f : c.failures) overlay.host->failures().FailCall(f.call, f.nth, f.code);
        EXPECT_EQ(overlay.session->Draw(), c.expected);
        EXPECT_TRUE(overlay.host->CommandViolations().empty()) << overlay.host->CommandViolations()[0];
    }
    for (const Failure& f : {Failure{"NewPath", 1, 41}, Failure{"NewPen", 1, 42}, Failure{"ReleaseObject", 9, 44}}) {
        SCOPED_TRACE(std::string("Premiere Pro, ") + f.call + " #" + std::to_string(f.nth));
        OpenedOverlay overlay = OpenOverlay(HostApp::kPremierePro);
        overlay.host->failures().FailCall(f.call, f.nth, f.code);
        EXPECT_EQ(overlay.session->Draw(), f.code);
        EXPECT_TRUE(overlay.host->CommandViolations().empty()) << overlay.host->CommandViolations()[0];
    }
}

// Each event, on its own, maps through the composition only in the composition window.
TEST(OverlayDrawingHostTest, LayerWindowNeverAsksForTheComposition) {
    for (HostApp app : {HostApp::kAfterEffects, HostApp::kPremierePro}) {
        for (PF_WindowType window : {PF_Window_LAYER, PF_Window_COMP}) {
            SCOPED_TRACE(std::string(hostsim::HostAppName(app)) + (window ? ", layer" : ", comp"));
            OpenedOverlay overlay = OpenOverlay(app, View(window, {1, 1}, {0, 0}, {20, 10}));
            // The bottom-right corner, moved by the layer's place in the composition.
            const A_long x = window == PF_Window_COMP ? 410 : 390, y = window == PF_Window_COMP ? 245 : 235;
            hostsim::MappingCalls& calls = overlay.session->window().calls();
            const auto expect_mappings = [&](const char* event) {
                SCOPED_TRACE(event);
                EXPECT_EQ(calls.layer_to_comp + calls.comp_to_layer > 0, window == PF_Window_COMP);
                EXPECT_GT(calls.source_to_frame + calls.frame_to_source, 0);
                calls = {};
            };
            overlay.session->Draw();
            expect_mappings("draw");
            overlay.session->Click({x, y});
            ASSERT_TRUE(overlay.session->drag_requested());
            expect_mappings("click");
            overlay.session->Drag({x + 10, y + 15}, true);
            expect_mappings("drag");
        }
    }
}

}  // namespace
}  // namespace qxv::host_tests
