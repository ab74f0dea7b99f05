// Clicks and drags through the loaded plug-in: which handle a click takes, what each drag
// event hands back to the host, and how the click data travels from the click to the end
// of the drag.
//
// Unless a case says otherwise: layer window at 100 %, layer 480 x 270, origin (240, 135),
// 300 x 200, Angle 0, Feather 100, Opacity 25. The hit test then puts the handles at
//   1 (90, 35)   2 (390, 35)   3 (90, 235)   4 (390, 235)   5 (240, 81)
//   6 (190, 135) 7 (290, 135)  8 (240, 101)  9 (240, 168)   10 (200, 160)
#include <cmath>
#include <string>
#include <vector>

#include "hostsim/instruments/OverlayEvents.h"
#include "OpenedOverlay.h"

namespace qxv::host_tests {
namespace {

using hostsim::HostApp;

enum class Event { kDraw, kClick, kDrag };
enum Handle { kFeatherLeft = 6, kFeatherRight, kFeatherTop, kFeatherBottom, kOpacity };

const PF_Point kHandles[10] = {{90, 35},   {390, 35},  {90, 235},  {390, 235}, {240, 81},
                               {190, 135}, {290, 135}, {240, 101}, {240, 168}, {200, 160}};

// A new click whose click data carries a mark in the words the effect does not use: a click
// that takes a handle clears them, one that misses leaves the click data alone.
int ClickedHandle(OpenedOverlay& overlay, PF_Point mouse) {
    constexpr A_intptr_t kMark = 99;
    PF_DoClickEventInfo& fresh = overlay.session->mutable_click_data();
    fresh = PF_DoClickEventInfo{};
    fresh.screen_point = mouse;
    fresh.num_clicks = 1;
    for (int word = 1; word < 4; ++word) fresh.continue_refcon[word] = kMark;
    EXPECT_EQ(overlay.session->SendAsIs(PF_Event_DO_CLICK), PF_Err_NONE);
    EXPECT_TRUE(overlay.host->CommandViolations().empty());
    const auto& click = overlay.session->click_data();
    const bool handled = overlay.session->last_event().evt_out_flags == PF_EO_HANDLED_EVENT;
    EXPECT_EQ(handled, click.send_drag != 0);
    for (int word = 1; word < 4; ++word) EXPECT_EQ(click.continue_refcon[word], handled ? 0 : kMark) << word;
    return click.send_drag ? static_cast<int>(click.continue_refcon[0]) : 0;
}

// The click data of a drag under way, as the host carries it, holding `handle`.
void HoldHandle(OpenedOverlay& overlay, A_intptr_t handle) {
    PF_DoClickEventInfo& held = overlay.session->mutable_click_data();
    held = PF_DoClickEventInfo{};
    held.continue_refcon[0] = handle;
    held.send_drag = 1;
}

TEST(OverlayInteractionHostTest, ClickTakesTheHandleWithinReach) {
    struct Case {
        const char* what;
        Settings settings;
        PF_Point mouse;
        int handle;
    } cases[] = {
        {"on corner 4", {}, {390, 235}, 4},
        {"8 right and 7 below: distance 15", {}, {398, 242}, 4},
        {"8 right and 8 below: distance 16", {}, {398, 243}, 0},
        {"15 left", {}, {375, 235}, 4},
        {"16 left", {}, {374, 235}, 0},
        {"15 above the opacity knob", {}, {200, 145}, 10},
        {"on the angle handle", {}, {240, 81}, 5},
        {"top feather handle", {}, {240, 101}, 8},
        {"bottom feather handle", {}, {240, 168}, 9},
        {"nowhere near", {}, {20, 250}, 0},
        {"all four corners within reach: the first wins", {{"Width", "10"}, {"Height", "10"}}, {240, 135}, 1},
        {"corners 2 and 4 within reach: 2 wins", {{"Width", "20"}, {"Height", "10"}}, {250, 140}, 2},
    };
    for (HostApp app : {HostApp::kAfterEffects, HostApp::kPremierePro}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(hostsim::HostAppName(app)) + ": " + c.what);
            OpenedOverlay overlay = OpenOverlay(app, {}, c.settings);
            EXPECT_EQ(ClickedHandle(overlay, c.mouse), c.handle);
        }
    }
}

TEST(OverlayInteractionHostTest, ProbedHandlesAreWhereTheHitTestPutsThem) {
    OpenedOverlay overlay = OpenOverlay(HostApp::kAfterEffects);
    const auto handles = hostsim::ProbeHandles(*overlay.session, *overlay.host);
    ASSERT_EQ(handles.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(handles[i].probed) << i + 1;
        EXPECT_EQ(handles[i].point.h, kHandles[i].h) << i + 1;
        EXPECT_EQ(handles[i].point.v, kHandles[i].v) << i + 1;
    }
}

// Where the hit test puts the handles as the shape changes. The angle handle reaches a fifth
// of the layer's height (54) from the origin, divided by P; the opacity track sits 40 window
// pixels left of the origin whatever the zoom.
TEST(OverlayInteractionHostTest, HandlesFollowTheShape) {
    struct Expected {
        int handle;
        A_long x, y;
    };
    struct Case {
        const char* what;
        Settings settings;
        A_long pixel_aspect;
        hostsim::Zoom zoom;
        std::vector<Expected> handles;
    };
    const Case cases[] = {
        {"feather W/2: the feather handles meet at the origin", {{"Feather", "150"}}, 1, {},
         {{6, 240, 135}, {7, 240, 135}, {8, 240, 135}, {9, 240, 135}}},
        {"feather beyond W/2: the feather handles change sides", {{"Feather", "200"}}, 1, {},
         {{6, 290, 135}, {7, 190, 135}, {8, 240, 168}, {9, 240, 101}}},
        // Bottom-right at (139, 284), not (140, 285): the turn in single precision leaves it a
        // hair short of both and the hit test floors.
        {"angle 90: top-left to the upper right, the angle handle to the right", {{"Angle", "90"}}, 1, {},
         {{1, 340, -15}, {4, 139, 284}, {5, 294, 135}}},
        {"angle 90 with P = 2", {{"Angle", "90"}}, 2, {}, {{5, 267, 135}}},
        {"opacity 0 at the track's lower end", {{"Angle", "30"}, {"Opacity", "0"}}, 1, {}, {{10, 200, 185}}},
        {"opacity 100 at the track's upper end", {{"Angle", "30"}, {"Opacity", "100"}}, 1, {}, {{10, 200, 85}}},
        {"the opacity track does not zoom", {}, 1, {2, 1}, {{1, 180, 70}, {10, 440, 295}}},
        {"height 0 gives finite feather handles", {{"Height", "0"}}, 1, {},
         {{6, 190, 135}, {7, 290, 135}, {8, 240, 135}, {9, 240, 135}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Settings settings = {{"Vignette Type", "Rectangle"}};
        settings.insert(settings.end(), c.settings.begin(), c.settings.end());
        OpenedOverlay overlay =
            OpenOverlay(HostApp::kAfterEffects, View(PF_Window_LAYER, c.zoom), settings, {c.pixel_aspect, 1});
        const auto handles = hostsim::ProbeHandles(*overlay.session, *overlay.host);
        ASSERT_EQ(handles.size(), 10u);
        for (const Expected& e : c.handles) {
            EXPECT_EQ(handles[e.handle - 1].point.h, e.x) << "handle " << e.handle;
            EXPECT_EQ(handles[e.handle - 1].point.v, e.y) << "handle " << e.handle;
        }
    }
}

// A rotated shape in a zoomed, scrolled window, on pixels twice as wide as high: both hosts
// find the same handles at the same places and take the same handle for the same click.
TEST(OverlayInteractionHostTest, SameHandlesInBothHosts) {
    const hostsim::OverlayView views[] = {View(PF_Window_COMP, {2, 1}, {15, 5}, {40, 30}),
                                          View(PF_Window_LAYER, {1, 2}, {60, 60})};
    const Settings settings = {{"Angle", "33"}, {"Width", "260"}, {"Height", "120"}, {"Feather", "40"}};
    for (const auto& view : views) {
        OpenedOverlay ae = OpenOverlay(HostApp::kAfterEffects, view, settings, {2, 1});
        OpenedOverlay pr = OpenOverlay(HostApp::kPremierePro, view, settings, {2, 1});
        const auto ae_handles = hostsim::ProbeHandles(*ae.session, *ae.host);
        const auto pr_handles = hostsim::ProbeHandles(*pr.session, *pr.host);
        ASSERT_EQ(ae_handles.size(), 10u);
        ASSERT_EQ(pr_handles.size(), 10u);
        for (int i = 0; i < 10; ++i) {
            SCOPED_TRACE("handle " + std::to_string(i + 1));
            EXPECT_EQ(ae_handles[i].point.h, pr_handles[i].point.h);
            EXPECT_EQ(ae_handles[i].point.v, pr_handles[i].point.v);
            // Around each handle, every click takes the same handle in both hosts.
            for (int d = -17; d <= 17; d += 2) {
                const PF_Point mouse{ae_handles[i].point.h + d, ae_handles[i].point.v - d / 2};
                EXPECT_EQ(ClickedHandle(ae, mouse), ClickedHandle(pr, mouse));
            }
        }
    }
}

struct DragCase {
    const char* what;
    Settings settings;
    PF_Point from, to;
    const char* param;
    double expected;
    double tolerance;
    A_long pixel_aspect = 1;  // width of a pixel over its height
};

void RunDrags(const DragCase* cases, std::size_t count) {
    for (HostApp app : {HostApp::kAfterEffects, HostApp::kPremierePro}) {
        for (std::size_t i = 0; i < count; ++i) {
            const DragCase& c = cases[i];
            SCOPED_TRACE(std::string(hostsim::HostAppName(app)) + ": " + c.what);
            OpenedOverlay overlay = OpenOverlay(app, {}, c.settings, {c.pixel_aspect, 1});
            ASSERT_NE(ClickedHandle(overlay, c.from), 0);
            ASSERT_EQ(overlay.session->Drag(c.to, true), PF_Err_NONE);
            EXPECT_TRUE(overlay.host->CommandViolations().empty());
            EXPECT_NEAR(overlay.Value(c.param), c.expected, c.tolerance);
        }
    }
}

TEST(OverlayInteractionHostTest, AngleHandleGivesTheBearingOfTheMouse) {
    const double raw = 1.0 / 65536;
    const DragCase cases[] = {
        {"straight up", {}, {240, 81}, {240, 85}, "Angle", 0, 0},
        {"right", {}, {240, 81}, {290, 135}, "Angle", 90, 0},
        {"below", {}, {240, 81}, {240, 185}, "Angle", 180, 0},
        {"left", {}, {240, 81}, {190, 135}, "Angle", 270, 0},
        {"up and right", {}, {240, 81}, {290, 85}, "Angle", 45, 2 * raw},
        {"up and left", {}, {240, 81}, {190, 85}, "Angle", 315, 2 * raw},
        {"on the origin", {}, {240, 81}, {240, 135}, "Angle", 270, 0},
        {"down and right", {}, {240, 81}, {290, 185}, "Angle", 135, 2 * raw},
    };
    RunDrags(cases, std::size(cases));
}

// Results outside a parameter's valid range come back limited to it.
TEST(OverlayInteractionHostTest, CornerFeatherAndOpacityDrags) {
    const DragCase cases[] = {
        {"bottom-right corner: width", {}, {390, 235}, {340, 185}, "Width", 200, 0},
        {"bottom-right corner: height", {}, {390, 235}, {340, 185}, "Height", 100, 0},
        {"top-right corner", {}, {390, 35}, {340, 85}, "Height", 100, 0},
        {"top-left across the origin: width limited to 0", {}, {90, 35}, {340, 185}, "Width", 0, 0},
        {"top-left across the origin: height limited to 0", {}, {90, 35}, {340, 185}, "Height", 0, 0},
        {"top-left corner outward", {}, {90, 35}, {40, 15}, "Width", 400, 0},
        // Angle 90: the bottom-right corner lies at (140, 284); the offset (-50, 100) is the
        // unturned (100, 50).
        {"bottom-right at angle 90: width", {{"Angle", "90"}}, {140, 284}, {190, 235}, "Width", 200, 1e-4},
        {"bottom-right at angle 90: height", {{"Angle", "90"}}, {140, 284}, {190, 235}, "Height", 100, 1e-4},
        // P = 2: the outline's half-width is 75 layer pixels; 50 layer pixels are 100 square ones.
        {"bottom-right with P = 2", {}, {315, 235}, {290, 185}, "Width", 200, 0, 2},
        {"left feather inward", {}, {190, 135}, {140, 135}, "Feather", 50, 1e-4},
        {"top feather", {}, {240, 101}, {240, 115}, "Feather", 120, 1e-4},
        {"bottom feather", {}, {240, 168}, {240, 175}, "Feather", 90, 1e-4},
        {"opacity 60 above the origin: limited to 100", {}, {200, 160}, {200, 75}, "Opacity", 100, 0},
        {"opacity level with the origin", {}, {200, 160}, {200, 135}, "Opacity", 50, 0},
        {"opacity 35 above the origin", {}, {200, 160}, {200, 100}, "Opacity", 85, 0},
        {"opacity far below: limited to 0", {}, {200, 160}, {200, 260}, "Opacity", 0, 0},
    };
    RunDrags(cases, std::size(cases));
}

// Drags of a held handle to places no click reaches. A feather drag limits the result to
// 0..15000; without height the top and bottom handles change nothing. Opacity follows window
// pixels, whatever the zoom.
TEST(OverlayInteractionHostTest, HeldHandleDragsStayWithinTheValidRange) {
    struct Case {
        const char* what;
        Settings settings;
        hostsim::OverlayView view;
        int handle;
        PF_Point to;
        const char* param;
        double expected;
    };
    const hostsim::OverlayView zoomed = View(PF_Window_COMP, {2, 1}, {5, 7}, {10, 20});  // origin at (505, 317)
    const Case cases[] = {
        {"right feather beyond the outline", {}, {}, kFeatherRight, {400, 135}, "Feather", 0},
        {"right feather far across", {}, {}, kFeatherRight, {-19860, 135}, "Feather", 15000},
        {"left feather beyond the outline", {}, {}, kFeatherLeft, {80, 135}, "Feather", 0},
        {"left feather 20 inside", {}, {}, kFeatherLeft, {110, 135}, "Feather", 20},
        {"top feather 10 inside, scaled by W/H", {}, {}, kFeatherTop, {240, 45}, "Feather", 15},
        {"bottom feather beyond the outline", {}, {}, kFeatherBottom, {240, 245}, "Feather", 0},
        {"top feather without height", {{"Height", "0"}}, {}, kFeatherTop, {240, 125}, "Feather", 100},
        {"bottom feather without height", {{"Height", "0"}}, {}, kFeatherBottom, {240, 145}, "Feather", 100},
        {"right feather without height", {{"Height", "0"}}, {}, kFeatherRight, {380, 135}, "Feather", 10},
        {"opacity at zoom 2, 30 above the origin", {}, zoomed, kOpacity, {505, 287}, "Opacity", 80},
        {"opacity at zoom 2, 60 above the origin", {}, zoomed, kOpacity, {505, 257}, "Opacity", 100},
    };
    for (HostApp app : {HostApp::kAfterEffects, HostApp::kPremierePro}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(hostsim::HostAppName(app)) + ": " + c.what);
            OpenedOverlay overlay = OpenOverlay(app, c.view, c.settings);
            HoldHandle(overlay, c.handle);
            ASSERT_EQ(overlay.session->Drag(c.to, false), PF_Err_NONE);
            EXPECT_TRUE(overlay.host->CommandViolations().empty());
            EXPECT_EQ(overlay.session->last_event().evt_out_flags, PF_EO_HANDLED_EVENT);
            EXPECT_NEAR(overlay.Value(c.param), c.expected, 1e-4);
        }
    }
}

// A drag that holds no handle of the effect's, or an event in a window other than the
// composition and layer windows, is not the effect's: nothing is written, drawn or acquired.
TEST(OverlayInteractionHostTest, EventsNotForTheEffectAreLeftAlone) {
    for (HostApp app : {HostApp::kAfterEffects, HostApp::kPremierePro}) {
        for (A_intptr_t handle : {0, 11, -1}) {
            SCOPED_TRACE(std::string(hostsim::HostAppName(app)) + ", holding " + std::to_string(handle));
            OpenedOverlay overlay = OpenOverlay(app);
            HoldHandle(overlay, handle);
            ASSERT_EQ(overlay.session->Drag({200, 100}, false), PF_Err_NONE);
            EXPECT_EQ(overlay.Value("Opacity"), 25);
            EXPECT_EQ(overlay.session->last_event().evt_out_flags, 0);
            EXPECT_EQ(overlay.session->click_data().continue_refcon[0], handle);
        }
        for (Event event : {Event::kDraw, Event::kClick, Event::kDrag}) {
            SCOPED_TRACE(std::string(hostsim::HostAppName(app)) + ", effect window");
            OpenedOverlay overlay = OpenOverlay(app, View(PF_Window_EFFECT));
            if (event == Event::kDrag) HoldHandle(overlay, kOpacity);
            overlay.session->mutable_click_data().continue_refcon[2] = 5;
            const PF_Err err = event == Event::kDraw    ? overlay.session->Draw()
                               : event == Event::kClick ? overlay.session->SendAsIs(PF_Event_DO_CLICK)
                                                        : overlay.session->Drag({200, 100}, true);
            EXPECT_EQ(err, PF_Err_NONE);
            EXPECT_EQ(overlay.session->last_event().evt_out_flags, 0);
            EXPECT_TRUE(overlay.session->drawbot().strokes().empty());
            EXPECT_EQ(overlay.host->accounting().AcquiredThisCommand(), 0);
            EXPECT_EQ(overlay.Value("Opacity"), 25);
            EXPECT_EQ(overlay.session->click_data().continue_refcon[2], 5);
        }
    }
}

TEST(OverlayInteractionHostTest, ClickDataTravelsUntilTheFinalDrag) {
    for (HostApp app : {HostApp::kAfterEffects, HostApp::kPremierePro}) {
        SCOPED_TRACE(hostsim::HostAppName(app));
        OpenedOverlay overlay = OpenOverlay(app);
        ASSERT_EQ(ClickedHandle(overlay, {200, 160}), 10);

        overlay.session->Drag({200, 150}, false);
        EXPECT_EQ(overlay.session->click_data().continue_refcon[0], 10);
        EXPECT_EQ(overlay.session->click_data().send_drag, 1);
        EXPECT_EQ(overlay.Value("Opacity"), 35);

        // A host that sends the next move as a click with send_drag still set: still the drag.
        overlay.session->Drag({200, 140}, false, PF_Event_DO_CLICK);
        EXPECT_EQ(overlay.session->last_event().e_type, PF_Event_DRAG);
        EXPECT_EQ(overlay.Value("Opacity"), 45);

        overlay.session->Drag({200, 130}, true);
        EXPECT_EQ(overlay.Value("Opacity"), 55);  // the final position still counts
        EXPECT_EQ(overlay.session->click_data().continue_refcon[0], 0);
        EXPECT_EQ(overlay.session->click_data().send_drag, 0);
        EXPECT_EQ(overlay.session->last_event().evt_out_flags, PF_EO_HANDLED_EVENT);

        // Nothing is held any more: a further drag event changes nothing.
        overlay.session->Drag({200, 100}, true);
        EXPECT_EQ(overlay.Value("Opacity"), 55);
        EXPECT_EQ(overlay.session->last_event().evt_out_flags, 0);
    }
}

}  // namespace
}  // namespace qxv::host_tests
