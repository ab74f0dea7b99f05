// The overlay's geometry that needs no host: the shape's rectangles in layer pixels, the
// fixed-point roundings, the bearing a drag hands back. Where the shapes and handles land in
// a window is tested through the loaded plug-in (the *HostTest files here).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "../render/ParamSet.h"
#include "overlay/FixedMath.h"
#include "overlay/OverlayGeometry.h"
#include "overlay/OverlayInteraction.h"

namespace qxv {
namespace {

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
        test::ParamSet params;
        params[kParamVignetteType].u.pd.value = kVignetteRectangle;
        params.SetOrigin(100, 80);
        params[kParamWidth].u.fs_d.value = c.width;
        params[kParamHeight].u.fs_d.value = c.height;
        params[kParamFeather].u.fs_d.value = c.feather;
        PF_InData in_data = test::FullResolutionInData();
        in_data.pixel_aspect_ratio = {c.num, 1};
        const ShapeRects rects = ComputeShapeRects(&in_data, ReadOverlayParams(params.list));
        ExpectRect(rects.outline, c.outline, "outline");
        ExpectRect(rects.feather, c.feather_rect, "feather");
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
        const CornerSet corners = {{v, v}, {v, v}, {v, v}, {v, v}};
        EXPECT_EQ(FixedToWholePixel(v), c.hit) << c.pixels;
        EXPECT_EQ(RoundCornersForDrawing(corners).bottom_right.h, c.drawn) << c.pixels;
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
    for (const Case& c : cases) EXPECT_EQ(RoundToFixed(c.pixels), c.expected) << c.pixels;
}

// A bearing a hair short of a full turn rounds to 360 and is handed back as 0.
TEST(OverlayGeometry, ABearingThatRoundsToAFullTurnIsZero) { EXPECT_EQ(AngleDragValue(-1.0 / 65536, -30000), 0); }

}  // namespace
}  // namespace qxv
