// What a draw event strokes, in which order and style, and what is given back when a
// Drawbot call fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FakeOverlayHost.h"
#include "overlay/DrawbotRefs.h"

namespace qxv_overlay_test {
namespace {

constexpr A_long kRectangle = 2, kEllipse = 1;

struct Bounds {
    float left, top, right, bottom;
};

Bounds BoundsOf(const Stroke& stroke) {
    Bounds b = {1e9f, 1e9f, -1e9f, -1e9f};
    for (const PathOp& op : stroke.path) {
        if (op.op == "Close") continue;
        b = {std::min(b.left, op.x), std::min(b.top, op.y), std::max(b.right, op.x), std::max(b.bottom, op.y)};
    }
    return b;
}

std::string Ops(const Stroke& stroke) {
    std::string ops;
    for (const PathOp& op : stroke.path) ops += op.op + " ";
    return ops;
}

// Names a stroke by the shape of its path.
std::string Describe(const Stroke& stroke) {
    const std::string ops = Ops(stroke);
    const Bounds b = BoundsOf(stroke);
    if (stroke.path.size() == 66 && stroke.path[0].op == "MoveTo") return "ellipse";
    if (ops == "MoveTo LineTo LineTo LineTo Close ") {
        if (b.right - b.left == 6 && b.bottom - b.top == 6) return "corner square";
        if (b.right - b.left == 11 && b.bottom - b.top == 4) return "opacity knob";
        return "outline";
    }
    if (ops == "AddArc AddArc AddArc AddArc " && stroke.path[0].radius == 4.0f) return "feather circles";
    if (ops == "AddArc " && stroke.path[0].radius == 6.0f) return "angle circle";
    if (ops == "MoveTo LineTo ") return b.bottom - b.top == 100 && b.left == b.right ? "opacity track" : "angle line";
    return "unknown: " + ops;
}

const std::vector<std::string> kRectangleStrokes = {
    "outline",         "corner square", "corner square", "corner square", "corner square",
    "feather circles", "angle line",    "angle circle",  "opacity track", "opacity knob"};

std::vector<std::string> ExpectedStrokes(A_long type) {
    std::vector<std::string> strokes = kRectangleStrokes;
    if (type == kEllipse) strokes.insert(strokes.begin(), "ellipse");
    return strokes;
}

std::vector<std::string> Described(const FakeOverlayHost& host) {
    std::vector<std::string> names;
    for (const Stroke& stroke : host.strokes) names.push_back(Describe(stroke));
    return names;
}

bool SameColour(const DRAWBOT_ColorRGBA& a, const DRAWBOT_ColorRGBA& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

TEST(DrawOverlay, StrokesEveryPartInOrderInTheHostsStyle) {
    for (bool premiere : {false, true}) {
        for (A_long type : {kRectangle, kEllipse}) {
            SCOPED_TRACE(::testing::Message() << (premiere ? "Premiere" : "AE") << " type " << type);
            FakeOverlayHost host;
            if (premiere) host.SetPremiere();
            host.SetShape(type, 100, 80, 300, 200, 0, 100, 25);
            EXPECT_EQ(host.Draw(), PF_Err_NONE);
            EXPECT_EQ(host.extra.evt_out_flags, PF_EO_HANDLED_EVENT);
            EXPECT_EQ(Described(host), ExpectedStrokes(type));
            for (size_t i = 0; i < host.strokes.size(); ++i) {
                const Stroke& stroke = host.strokes[i];
                EXPECT_EQ(stroke.by_theme, !premiere) << i;
                if (!premiere) {
                    EXPECT_EQ(stroke.shadow, 1) << i;
                    continue;
                }
                const bool outline = type == kEllipse && i == 0;
                const DRAWBOT_ColorRGBA expected =
                    outline ? DRAWBOT_ColorRGBA{0.9f, 0.9f, 0.9f, 1.0f} : DRAWBOT_ColorRGBA{0.9f, 0.9f, 0.0f, 1.0f};
                EXPECT_TRUE(SameColour(stroke.pen_colour, expected)) << i;
                EXPECT_EQ(stroke.pen_width, 1.0f) << i;
            }
            EXPECT_EQ(host.Calls("PF_StrokePath"), premiere ? 0 : static_cast<int>(host.strokes.size()));
            EXPECT_TRUE(host.AllObjectsReleasedOnce());
            EXPECT_TRUE(host.SuitesBalanced());
        }
    }
}

TEST(DrawOverlay, PartsLieWhereTheGeometryPutsThem) {
    FakeOverlayHost host;
    host.SetShape(kEllipse, 100, 80, 300, 200, 0, 0, 25);
    host.Draw();
    ASSERT_EQ(host.strokes.size(), 11u);

    const Stroke& ellipse = host.strokes[0];
    EXPECT_EQ(ellipse.path.front().x, 250.0f);  // point 0, at the end of the horizontal half-axis
    EXPECT_EQ(ellipse.path.back().x, 250.0f);   // returned to, not closed
    EXPECT_EQ(ellipse.path.back().y, 80.0f);

    // Corner squares in the order top-left, top-right, bottom-right, bottom-left.
    const float centres[][2] = {{-50, -20}, {250, -20}, {250, 180}, {-50, 180}};
    for (int i = 0; i < 4; ++i) {
        const Bounds b = BoundsOf(host.strokes[2 + i]);
        EXPECT_EQ(b.left + 3, centres[i][0]) << "square " << i;
        EXPECT_EQ(b.top + 3, centres[i][1]) << "square " << i;
    }
    // Feather 0: the circles sit on the outline's side midpoints: top, bottom, left, right.
    const float feather_centres[][2] = {{100, -20}, {100, 180}, {-50, 80}, {250, 80}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(host.strokes[6].path[i].x, feather_centres[i][0]) << "circle " << i;
        EXPECT_EQ(host.strokes[6].path[i].y, feather_centres[i][1]) << "circle " << i;
    }
    const Stroke& angle_line = host.strokes[7];
    EXPECT_EQ(angle_line.path[0].x, 100.0f);
    EXPECT_EQ(angle_line.path[0].y, 80.0f);
    EXPECT_EQ(angle_line.path[1].x, 100.0f);
    EXPECT_EQ(angle_line.path[1].y, 20.0f);  // one fifth of the layer height above
    EXPECT_EQ(host.strokes[8].path[0].x, 100.0f);
    EXPECT_EQ(host.strokes[8].path[0].y, 20.0f);
    const Bounds track = BoundsOf(host.strokes[9]);
    EXPECT_EQ(track.left, 60.0f);
    EXPECT_EQ(track.top, 30.0f);
    EXPECT_EQ(track.bottom, 130.0f);
}

TEST(DrawOverlay, OpacityKnobSitsOpacityPixelsAboveTheTracksLowerEnd) {
    struct Case {
        double opacity;
        float level;  // origin at y = 80: the track runs from 30 to 130
    };
    for (const Case& c : {Case{100, 30}, Case{0, 130}, Case{25, 105}}) {
        FakeOverlayHost host;
        host.SetShape(kRectangle, 100, 80, 300, 200, 0, 100, c.opacity);
        host.Draw();
        ASSERT_EQ(host.strokes.size(), 10u);
        const Bounds knob = BoundsOf(host.strokes.back());
        EXPECT_EQ(knob.top, c.level - 2) << c.opacity;
        EXPECT_EQ(knob.bottom, c.level + 2) << c.opacity;
        EXPECT_EQ(knob.left, 55.0f);
        EXPECT_EQ(knob.right, 66.0f);
    }
}

TEST(DrawOverlay, NoDrawingReferenceDrawsNothingAndGivesEverythingBack) {
    FakeOverlayHost host;
    host.GiveNoDrawingReference();
    EXPECT_EQ(host.Draw(), PF_Err_NONE);
    EXPECT_TRUE(host.strokes.empty());
    EXPECT_EQ(host.ObjectsMade(), 0);
    EXPECT_EQ(host.SuitesAcquired("DRAWBOT Path Suite"), 1);
    EXPECT_TRUE(host.SuitesBalanced());
    EXPECT_EQ(host.extra.evt_out_flags, PF_EO_HANDLED_EVENT);
}

TEST(DrawOverlay, AMissingDrawbotSuiteDrawsNothingAndReleasesTheOthers) {
    for (const char* missing : {"DRAWBOT Draw Suite", "DRAWBOT Supplier Suite", "DRAWBOT Surface Suite",
                                "DRAWBOT Path Suite"}) {
        SCOPED_TRACE(missing);
        FakeOverlayHost host;
        host.RemoveSuite(missing);
        EXPECT_EQ(host.Draw(), PF_Err_NONE);
        EXPECT_EQ(host.Calls("PF_GetDrawingReference"), 0);
        EXPECT_TRUE(host.strokes.empty());
        EXPECT_EQ(host.ObjectsMade(), 0);
        EXPECT_TRUE(host.SuitesBalanced());
        EXPECT_TRUE(host.out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE);
    }
}

TEST(DrawOverlay, AFailingDrawingCallStopsTheDrawingQuietly) {
    struct Case {
        const char* entry;
        int nth;
        size_t strokes_made;
    };
    // Rectangle: outline, 4 corner squares, feather circles, angle line and circle, track, knob.
    std::vector<Case> cases = {{"GetSurface", 1, 0},
                               {"PF_GetPreferredForegroundColor", 1, 1},
                               {"MoveTo", 3, 2},
                               {"Close", 1, 0},
                               {"AddArc", 2, 5},
                               {"LineTo", 16, 6},
                               {"GetSupplier", 6, 5}};
    for (int n = 1; n <= 10; ++n) cases.push_back({"stroke", n, static_cast<size_t>(n - 1)});
    for (bool premiere : {false, true}) {
        for (const Case& c : cases) {
            if (premiere && std::string(c.entry) == "PF_GetPreferredForegroundColor") continue;
            SCOPED_TRACE(::testing::Message() << (premiere ? "Premiere " : "AE ") << c.entry << " #" << c.nth);
            FakeOverlayHost host;
            if (premiere) host.SetPremiere();
            host.Fail(c.entry, c.nth);
            EXPECT_EQ(host.Draw(), PF_Err_NONE);
            EXPECT_EQ(host.strokes.size(), c.strokes_made);
            EXPECT_EQ(host.Calls("stroke"), static_cast<int>(c.strokes_made) + (c.entry == std::string("stroke")));
            EXPECT_TRUE(host.AllObjectsReleasedOnce());
            EXPECT_TRUE(host.SuitesBalanced());
            EXPECT_EQ(host.extra.evt_out_flags, PF_EO_HANDLED_EVENT);
        }
    }
}

TEST(DrawOverlay, APenOrPathTheHostCannotMakeOrTakeBackEndsTheEventWithEverythingReleased) {
    struct Failure {
        const char* entry;
        int nth;
        int code;
    };
    struct Case {
        const char* name;
        std::vector<Failure> failures;
        int expected_code;
    };
    // Rectangle in After Effects: StrokeQuad makes paths 1-5, the drawing's own path is 6 and
    // its pen the first pen; the first replacement makes path 7 and gives back path 6
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
        SCOPED_TRACE(c.name);
        FakeOverlayHost host;
        for (const Failure& f : c.failures) host.Fail(f.entry, f.nth, f.code);
        int thrown = 0;
        try {
            host.Draw();
        } catch (const qxv::DRAWBOT_Exception& e) {
            thrown = e.GetErr();
        }
        EXPECT_EQ(thrown, c.expected_code);
        EXPECT_TRUE(host.AllObjectsReleasedOnce());
        EXPECT_TRUE(host.SuitesBalanced());
    }
}

TEST(DrawOverlay, AMissingThemeSuiteEndsTheEventWithTheSuiteError) {
    FakeOverlayHost host;
    host.RemoveSuite("PF Effect Custom UI Overlay Theme Suite");
    PF_Err thrown = PF_Err_NONE;
    try {
        host.Draw();
    } catch (PF_Err err) {
        thrown = err;
    }
    EXPECT_EQ(thrown, PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_TRUE(host.AllObjectsReleasedOnce());
    EXPECT_TRUE(host.SuitesBalanced());
}

}  // namespace
}  // namespace qxv_overlay_test
