// Positions of the overlay's shapes and handles, computed through the fake host's windows.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "FakeOverlayHost.h"
#include "overlay/FixedMath.h"
#include "overlay/OverlayGeometry.h"

namespace qxv_overlay_test {
namespace {

using qxv::FixedRect;

constexpr double kOneFixedStep = 1.0 / 65536;

struct PixelRect {
    double left, top, right, bottom;
};

void ExpectRect(const FixedRect& actual, const PixelRect& expected, const char* which) {
    SCOPED_TRACE(which);
    EXPECT_NEAR(actual.left / 65536.0, expected.left, kOneFixedStep);
    EXPECT_NEAR(actual.top / 65536.0, expected.top, kOneFixedStep);
    EXPECT_NEAR(actual.right / 65536.0, expected.right, kOneFixedStep);
    EXPECT_NEAR(actual.bottom / 65536.0, expected.bottom, kOneFixedStep);
}

TEST(OverlayGeometry, ShapeRectsFollowSizeFeatherAndPixelAspect) {
    struct Case {
        const char* name;
        double width, height, feather;
        A_long num;
        PixelRect outline, feather_rect;
    };
    // Origin (100, 80) throughout.
    const Case cases[] = {
        {"square pixels", 300, 200, 100, 1, {-50, -20, 250, 180}, {50, -20 + 200.0 / 3, 150, 180 - 200.0 / 3}},
        {"P = 2 halves the horizontal values only", 300, 200, 100, 2, {25, -20, 175, 180},
         {75, -20 + 200.0 / 3, 125, 180 - 200.0 / 3}},
        {"feather 0 is the outline", 300, 200, 0, 1, {-50, -20, 250, 180}, {-50, -20, 250, 180}},
        {"feather W/2 collapses onto the origin", 300, 200, 150, 1, {-50, -20, 250, 180}, {100, 80, 100, 80}},
        {"feather beyond W/2 turns inside out", 300, 200, 200, 1, {-50, -20, 250, 180},
         {150, -20 + 400.0 / 3, 50, 180 - 400.0 / 3}},
        {"height 0 keeps a finite feather rectangle", 300, 0, 100, 1, {-50, 80, 250, 80}, {50, 80, 150, 80}},
        {"width 0 keeps a finite feather rectangle", 0, 200, 50, 1, {100, -20, 100, 180}, {150, -20, 50, 180}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeOverlayHost host;
        host.SetShape(2, 100, 80, c.width, c.height, 0, c.feather, 25);
        host.SetPixelAspect(c.num, 1);
        const qxv::ShapeRects rects = qxv::ComputeShapeRects(&host.in_data, qxv::ReadOverlayParams(host.params));
        ExpectRect(rects.outline, c.outline, "outline");
        ExpectRect(rects.feather, c.feather_rect, "feather");
    }
}

TEST(OverlayGeometry, EllipsePointsTurnInSquarePixelsAndAreMapped) {
    struct Case {
        double angle;
        A_long num;
        int index;
        double dx, dy;  // from the origin, layer pixels
    };
    const Case cases[] = {
        {0, 1, 0, 150, 0},  {0, 1, 16, 0, 100},  {0, 1, 32, -150, 0}, {0, 1, 48, 0, -100},
        {90, 1, 0, 0, 150}, {90, 1, 16, -100, 0}, {0, 2, 0, 75, 0},   {90, 2, 16, -50, 0},
    };
    for (bool premiere : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << (premiere ? "Premiere" : "AE") << " angle " << c.angle << " P "
                                              << c.num << " point " << c.index);
            FakeOverlayHost host;
            if (premiere) host.SetPremiere();
            host.SetView(1, {10, 20}, {0, 0});
            host.SetPixelAspect(c.num, 1);
            const qxv::EllipseOutline points = [&] {
                qxv::SuiteCache cache(&host.in_data, &host.out_data);
                return qxv::ComputeEllipseOutline(&host.in_data, cache, {100 * 65536, 80 * 65536}, c.angle * 0.017453292519943295, 150, 100,
                                                  &host.extra);
            }();
            EXPECT_NEAR(points[c.index].x, host.WindowX(100 + c.dx), 1e-3);
            EXPECT_NEAR(points[c.index].y, host.WindowY(80 + c.dy), 1e-3);
            EXPECT_EQ(host.Calls("source_to_frame"), 64);
            EXPECT_EQ(host.SuitesAcquired("PF ANSI Suite"), premiere ? 0 : 1);
            EXPECT_TRUE(host.SuitesBalanced());
        }
    }
}

TEST(OverlayGeometry, HandlePositionsAsTheHitTestSeesThem) {
    struct Expected {
        int handle;
        A_long x, y;
    };
    struct Case {
        const char* name;
        double angle, feather, opacity, height;
        A_long num;
        int zoom;
        std::vector<Expected> handles;
    };
    // Origin (100, 80), width 300, layer height 300 (angle handle reach 60).
    const Case cases[] = {
        {"angle 0, feather 0",
         0, 0, 25, 200, 1, 1,
         {{1, -50, -20}, {2, 250, -20}, {3, -50, 180}, {4, 250, 180}, {5, 100, 20}, {6, -50, 80}, {7, 250, 80},
          {8, 100, -20}, {9, 100, 180}, {10, 60, 105}}},
        {"feather W/2: the feather handles meet at the origin",
         0, 150, 25, 200, 1, 1, {{6, 100, 80}, {7, 100, 80}, {8, 100, 80}, {9, 100, 80}}},
        {"feather beyond W/2: the feather handles change sides",
         0, 200, 25, 200, 1, 1, {{6, 150, 80}, {7, 50, 80}, {8, 100, 113}, {9, 100, 46}}},
        // Bottom-right at 229, not 230: the cosine of the single-precision right angle is a
        // hair below zero and the hit test floors.
        {"angle 90: top-left goes to the upper right, the angle handle to the right",
         90, 100, 25, 200, 1, 1, {{1, 200, -70}, {4, 0, 229}, {5, 160, 80}}},
        {"angle 90 with P = 2: the angle handle's reach is divided by P", 90, 100, 25, 200, 2, 1, {{5, 130, 80}}},
        {"opacity 0 at the track's lower end", 30, 100, 0, 200, 1, 1, {{10, 60, 130}}},
        {"opacity 100 at the track's upper end", 30, 100, 100, 200, 1, 1, {{10, 60, 30}}},
        {"the opacity track does not zoom", 0, 100, 25, 200, 1, 2, {{1, -100, -40}, {10, 160, 185}}},
        {"height 0 gives finite feather handles", 0, 100, 25, 0, 1, 1, {{6, 50, 80}, {7, 150, 80}, {8, 100, 80},
                                                                      {9, 100, 80}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeOverlayHost host;
        host.SetShape(2, 100, 80, 300, c.height, c.angle, c.feather, c.opacity);
        host.SetPixelAspect(c.num, 1);
        host.SetView(c.zoom, {0, 0}, {0, 0});
        const auto handles = host.HitTestHandles();
        for (const Expected& e : c.handles) {
            EXPECT_EQ(handles[e.handle - 1].h, e.x) << "handle " << e.handle;
            EXPECT_EQ(handles[e.handle - 1].v, e.y) << "handle " << e.handle;
        }
        EXPECT_TRUE(host.SuitesBalanced());
    }
}

TEST(OverlayGeometry, DrawingRoundsWhereHitTestingFloors) {
    struct Case {
        double pixels;
        A_long hit, drawn;
    };
    const Case cases[] = {{10.5, 10, 11}, {-10.5, -11, -10}, {10.25, 10, 10}, {-0.25, -1, 0}, {7.75, 7, 8}};
    for (const Case& c : cases) {
        const PF_Fixed v = static_cast<PF_Fixed>(c.pixels * 65536);
        const qxv::CornerSet corners = {{v, v}, {v, v}, {v, v}, {v, v}};
        EXPECT_EQ(qxv::FixedToWholePixel(v), c.hit) << c.pixels;
        EXPECT_EQ(qxv::RoundCornersForDrawing(corners).bottom_right.h, c.drawn) << c.pixels;
    }
}

TEST(OverlayGeometry, RoundToFixedRoundsHalvesAwayFromZeroAndNeverOverflows) {
    struct Case {
        double pixels;
        PF_Fixed expected;
    };
    const Case cases[] = {
        {1.5 / 65536, 2},
        {-1.5 / 65536, -2},
        {0.49 / 65536, 0},
        {-0.49 / 65536, 0},
        {std::nan(""), 0},
        {1e300, std::numeric_limits<PF_Fixed>::max()},
        {-std::numeric_limits<double>::infinity(), std::numeric_limits<PF_Fixed>::min()},
    };
    for (const Case& c : cases) EXPECT_EQ(qxv::RoundToFixed(c.pixels), c.expected) << c.pixels;
}

}  // namespace
}  // namespace qxv_overlay_test
