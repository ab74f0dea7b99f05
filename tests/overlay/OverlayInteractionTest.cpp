// Clicks and drags through HandleOverlayEvent: which handle a click takes, what a drag
// writes back, and what is left alone.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "FakeOverlayHost.h"
#include "overlay/OverlayGeometry.h"
#include "overlay/OverlayInteraction.h"

namespace qxv_overlay_test {
namespace {

// Default shape: Rectangle at (100, 80), 300 x 200, Angle 0, Feather 100, Opacity 25, in
// the layer window at zoom 1, so window and layer pixels coincide. Handle 4 is at
// (250, 180), handle 7 at (150, 80), handle 8 at (100, 47), handle 10 at (60, 105).

A_long HandleTaken(const FakeOverlayHost& host) {
    return static_cast<A_long>(host.extra.u.do_click.continue_refcon[0]);
}

void HoldHandle(FakeOverlayHost& host, int handle) {
    host.extra.u.do_click.continue_refcon[0] = handle;
    host.extra.u.do_click.send_drag = 1;
}

double Width(const FakeOverlayHost& host) { return host.defs[3].u.fs_d.value; }
double Height(const FakeOverlayHost& host) { return host.defs[4].u.fs_d.value; }
PF_Fixed Angle(const FakeOverlayHost& host) { return host.defs[5].u.ad.value; }
double Feather(const FakeOverlayHost& host) { return host.defs[6].u.fs_d.value; }
PF_Fixed Opacity(const FakeOverlayHost& host) { return host.defs[9].u.fd.value; }

TEST(OverlayClick, TakesAHandleBelowSixteenPixelsCityBlock) {
    struct Case {
        A_long dx, dy;  // from handle 4
        bool hit;
    };
    const Case cases[] = {{8, 7, true}, {8, 8, false}, {-7, -8, true}, {-15, 0, true}, {0, 16, false}, {0, 0, true}};
    for (bool premiere : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << (premiere ? "Premiere " : "AE ") << c.dx << "," << c.dy);
            FakeOverlayHost host;
            if (premiere) host.SetPremiere();
            host.extra.u.do_click.continue_refcon[1] = 99;
            EXPECT_EQ(host.Click(250 + c.dx, 180 + c.dy), PF_Err_NONE);
            EXPECT_EQ(HandleTaken(host), c.hit ? 4 : 0);
            EXPECT_EQ(host.extra.u.do_click.send_drag, c.hit ? 1 : 0);
            EXPECT_EQ(host.extra.u.do_click.continue_refcon[1], c.hit ? 0 : 99);
            EXPECT_EQ(host.extra.evt_out_flags, c.hit ? PF_EO_HANDLED_EVENT : 0);
            EXPECT_EQ(host.Calls("fabs") > 0, !premiere);
            EXPECT_TRUE(host.SuitesBalanced());
        }
    }
}

TEST(OverlayClick, LowestHandleNumberWins) {
    FakeOverlayHost host;
    host.SetShape(2, 100, 80, 4, 4, 0, 1, 25);  // corners, angle and feather handles all within reach
    host.Click(102, 82);                        // right on handle 4
    EXPECT_EQ(HandleTaken(host), 1);
}

TEST(OverlayClick, SameHandleInBothHosts) {
    const A_long offsets[][2] = {{0, 0}, {7, 8}, {-8, 7}, {15, 0}, {0, -16}, {3, -12}};
    FakeOverlayHost reference;
    reference.SetShape(1, 100, 80, 300, 200, 33, 60, 70);
    reference.SetPixelAspect(2, 1);
    const auto handles = reference.HitTestHandles();
    for (const PF_Point& handle : handles) {
        for (const auto& offset : offsets) {
            A_long taken[2];
            for (bool premiere : {false, true}) {
                FakeOverlayHost host;
                if (premiere) host.SetPremiere();
                host.SetShape(1, 100, 80, 300, 200, 33, 60, 70);
                host.SetPixelAspect(2, 1);
                host.Click(handle.h + offset[0], handle.v + offset[1]);
                taken[premiere] = HandleTaken(host);
            }
            EXPECT_EQ(taken[0], taken[1]) << handle.h + offset[0] << "," << handle.v + offset[1];
        }
    }
}

TEST(OverlayDrag, CornerHandlesSetWidthAndHeightNeverBelowZero) {
    struct Case {
        const char* name;
        A_long num;
        double angle;
        A_long click_x, click_y, to_x, to_y;
        double width, height;
    };
    const Case cases[] = {
        {"bottom-right", 1, 0, 250, 180, 200, 130, 200, 100},
        {"top-left across the origin is limited to 0", 1, 0, -50, -20, 200, 130, 0, 0},
        {"top-right", 1, 0, 250, -20, 200, 30, 200, 100},
        // Angle 90: the bottom-right corner lies at (0, 229); the offset (-50, 100) is the
        // unrotated (100, 50).
        {"bottom-right at angle 90", 1, 90, 0, 229, 50, 180, 200, 100},
        // P = 2: the outline's half-width is 75 layer pixels; 50 layer pixels are 100 square ones.
        {"bottom-right with P = 2", 2, 0, 175, 180, 150, 130, 200, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeOverlayHost host;
        host.SetShape(2, 100, 80, 300, 200, c.angle, 100, 25);
        host.SetPixelAspect(c.num, 1);
        host.Click(c.click_x, c.click_y);
        ASSERT_GE(HandleTaken(host), 1);
        ASSERT_LE(HandleTaken(host), 4);
        EXPECT_EQ(host.Drag(c.to_x, c.to_y, false), PF_Err_NONE);
        EXPECT_NEAR(Width(host), c.width, 1e-3);
        EXPECT_NEAR(Height(host), c.height, 1e-3);
        EXPECT_EQ(host.defs[3].uu.change_flags, PF_ChangeFlag_CHANGED_VALUE);
        EXPECT_EQ(host.defs[4].uu.change_flags, PF_ChangeFlag_CHANGED_VALUE);
        EXPECT_EQ(host.extra.evt_out_flags, PF_EO_HANDLED_EVENT);
    }
}

TEST(OverlayDrag, AngleHandleGivesTheBearingFromStraightUp) {
    struct Case {
        A_long dx, dy;  // window pixels from the origin
        double degrees;
    };
    const Case cases[] = {{0, -10, 0},  {10, 0, 90},   {0, 10, 180},   {-10, 0, 270},
                          {10, -10, 45}, {-10, -10, 315}, {0, 0, 270}, {10, 10, 135}};
    for (const Case& c : cases) {
        FakeOverlayHost host;
        HoldHandle(host, qxv::kHandleAngle);
        host.Drag(100 + c.dx, 80 + c.dy, false);
        EXPECT_EQ(Angle(host), static_cast<PF_Fixed>(c.degrees * 65536)) << c.dx << "," << c.dy;
    }
    // A bearing a hair short of a full turn rounds to 360 and is handed back as 0.
    EXPECT_EQ(qxv::AngleDragValue(-1.0 / 65536, -30000), 0);
}

TEST(OverlayDrag, FeatherHandlesStayWithinTheValidRange) {
    struct Case {
        const char* name;
        int handle;
        double height;
        A_long to_x, to_y;
        double feather;
        bool written;
    };
    const Case cases[] = {
        {"right, 10 inside the outline", qxv::kHandleFeatherRight, 200, 240, 80, 10, true},
        {"right, beyond the outline", qxv::kHandleFeatherRight, 200, 260, 80, 0, true},
        {"right, far across", qxv::kHandleFeatherRight, 200, -20000, 80, 15000, true},
        {"left, beyond the outline", qxv::kHandleFeatherLeft, 200, -60, 80, 0, true},
        {"left, 20 inside", qxv::kHandleFeatherLeft, 200, -30, 80, 20, true},
        {"top, 10 inside scaled by W/H", qxv::kHandleFeatherTop, 200, 100, -10, 15, true},
        {"bottom, beyond the outline", qxv::kHandleFeatherBottom, 200, 100, 190, 0, true},
        {"top without height", qxv::kHandleFeatherTop, 0, 100, 70, 100, false},
        {"bottom without height", qxv::kHandleFeatherBottom, 0, 100, 90, 100, false},
        {"right without height", qxv::kHandleFeatherRight, 0, 240, 80, 10, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeOverlayHost host;
        host.SetShape(2, 100, 80, 300, c.height, 0, 100, 25);
        HoldHandle(host, c.handle);
        host.Drag(c.to_x, c.to_y, false);
        EXPECT_EQ(Feather(host), c.feather);
        EXPECT_EQ(host.defs[6].uu.change_flags, c.written ? PF_ChangeFlag_CHANGED_VALUE : 0);
        EXPECT_EQ(host.extra.evt_out_flags, PF_EO_HANDLED_EVENT);
    }
}

TEST(OverlayDrag, OpacityFollowsWindowPixelsWithinZeroToHundred) {
    struct Case {
        PF_WindowType window;
        int zoom;
        A_long mouse_above_origin;
        double percent;
    };
    const Case cases[] = {{PF_Window_LAYER, 1, 60, 100}, {PF_Window_LAYER, 1, 0, 50}, {PF_Window_LAYER, 1, -60, 0},
                          {PF_Window_LAYER, 1, 30, 80},  {PF_Window_COMP, 2, 30, 80}, {PF_Window_COMP, 2, 60, 100}};
    for (const Case& c : cases) {
        FakeOverlayHost host;
        host.SetWindow(c.window);
        host.SetView(c.zoom, {5, 7}, {10, 20});
        HoldHandle(host, qxv::kHandleOpacity);
        host.Drag(static_cast<A_long>(host.WindowX(100)),
                  static_cast<A_long>(host.WindowY(80)) - c.mouse_above_origin, false);
        EXPECT_EQ(Opacity(host), static_cast<PF_Fixed>(c.percent * 65536))
            << "window " << c.window << " mouse " << c.mouse_above_origin << " above";
    }
}

TEST(OverlayDrag, TheFinalDragEventAppliesThenEndsTheDrag) {
    for (bool last_time : {false, true}) {
        FakeOverlayHost host;
        HoldHandle(host, qxv::kHandleOpacity);
        host.Drag(60, 80, last_time);
        EXPECT_EQ(Opacity(host), 50 * 65536);
        EXPECT_EQ(HandleTaken(host), last_time ? 0 : qxv::kHandleOpacity);
        EXPECT_EQ(host.extra.u.do_click.send_drag, last_time ? 0 : 1);
        EXPECT_EQ(host.extra.evt_out_flags, PF_EO_HANDLED_EVENT);
    }
}

TEST(OverlayDrag, AClickDuringADragContinuesIt) {
    FakeOverlayHost host;
    HoldHandle(host, qxv::kHandleOpacity);
    host.Click(60, 80);
    EXPECT_EQ(host.extra.e_type, PF_Event_DRAG);
    EXPECT_EQ(Opacity(host), 50 * 65536);
}

TEST(OverlayDrag, WithoutAHeldHandleNothingIsWritten) {
    for (int handle : {0, 11, -1}) {
        FakeOverlayHost host;
        HoldHandle(host, handle);
        host.Drag(60, 80, false);
        EXPECT_EQ(Opacity(host), 25 * 65536);
        EXPECT_EQ(host.extra.evt_out_flags, 0);
        EXPECT_EQ(HandleTaken(host), handle);
    }
}

TEST(OverlayEvent, OnlyTheCompositionAndLayerWindowsAreServed) {
    for (const std::string event : {"draw", "click", "drag"}) {
        SCOPED_TRACE(event);
        FakeOverlayHost host;
        host.SetWindow(PF_Window_EFFECT);
        if (event == "drag") HoldHandle(host, qxv::kHandleOpacity);
        host.extra.u.do_click.continue_refcon[2] = 5;
        PF_Err err = event == "draw" ? host.Draw() : event == "click" ? host.Click(250, 180) : host.Drag(60, 80, true);
        EXPECT_EQ(err, PF_Err_NONE);
        EXPECT_EQ(host.extra.evt_out_flags, 0);
        EXPECT_TRUE(host.strokes.empty());
        EXPECT_TRUE(host.acquired.empty());
        EXPECT_EQ(Opacity(host), 25 * 65536);
        EXPECT_EQ(host.extra.u.do_click.continue_refcon[2], 5);
        EXPECT_EQ(HandleTaken(host), event == "drag" ? qxv::kHandleOpacity : 0);
    }
}

TEST(OverlayEvent, TheCompositionMappingIsUsedOnlyInTheCompositionWindow) {
    for (PF_WindowType window : {PF_Window_LAYER, PF_Window_COMP}) {
        for (const std::string event : {"draw", "click", "drag"}) {
            SCOPED_TRACE(::testing::Message() << "window " << window << " " << event);
            FakeOverlayHost host;
            host.SetWindow(window);
            host.SetShape(1, 100, 80, 300, 200, 0, 100, 25);
            if (event == "drag") HoldHandle(host, qxv::kHandleOpacity);
            event == "draw" ? host.Draw() : event == "click" ? host.Click(0, 0) : host.Drag(60, 80, false);
            const int comp_calls = host.Calls("layer_to_comp") + host.Calls("comp_to_layer");
            EXPECT_EQ(comp_calls > 0, window == PF_Window_COMP);
            EXPECT_GT(host.Calls("source_to_frame"), 0);
        }
    }
}

TEST(OverlayEvent, AMissingSuiteEndsTheEventWithoutWritingTheClickData) {
    struct Case {
        const char* name;
        bool premiere;
        const char* missing_suite;  // null: no basic suite at all
        bool fails;
    };
    const Case cases[] = {{"no basic suite", false, nullptr, true},
                          {"no ANSI suite in After Effects", false, "PF ANSI Suite", true},
                          {"Premiere Pro needs no ANSI suite", true, "PF ANSI Suite", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeOverlayHost host;
        if (c.premiere) host.SetPremiere();
        if (c.missing_suite) host.RemoveSuite(c.missing_suite);
        else host.in_data.pica_basicP = nullptr;
        PF_Err thrown = PF_Err_NONE;
        try {
            host.Click(250, 180);
        } catch (PF_Err err) {
            thrown = err;
        }
        EXPECT_EQ(thrown, c.fails ? PF_Err_BAD_CALLBACK_PARAM : PF_Err_NONE);
        EXPECT_EQ(HandleTaken(host), c.fails ? 0 : 4);
        EXPECT_EQ(host.extra.u.do_click.send_drag, c.fails ? 0 : 1);
        EXPECT_TRUE(host.SuitesBalanced());
    }
}

}  // namespace
}  // namespace qxv_overlay_test
