// Every overlay event (draw, click, drag), in both hosts and both windows, with each host call
// it makes failing in turn, one at a time: first each call that answers to the failure rules,
// by its occurrence in a healthy run (every suite acquisition and release, every mapping
// callback, the drawing reference, the theme's calls, every Drawbot call), then each suite acquired answering
// "success" with a null suite. Whatever fails, nothing crashes, no exception reaches the
// host, and every pen, path and suite is given back exactly once (the host records any of
// these as a violation of the command). Then what each missing suite does to an event.
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "OpenedOverlay.h"

namespace qxv::host_tests {
namespace {

using hostsim::HostApp;

constexpr PF_Err kInjected = 27;

enum class Event { kDraw, kClick, kDrag };
const char* EventName(Event event) {
    return event == Event::kDraw ? "draw" : event == Event::kClick ? "click" : "drag";
}

struct EventRun {
    OpenedOverlay overlay;
    PF_Err result = PF_Err_NONE;
};

// A fresh host with the opacity knob (window (200, 160) in the layer window) under the
// mouse; `arm` sets up the failure just before the event under test is sent.
template <typename Arm>
EventRun SendEvent(HostApp app, PF_WindowType window, Event event, Arm arm) {
    EventRun run{OpenOverlay(app, View(window, {1, 1}, {0, 0}, {16, 8}), {{"Angle", "20"}})};
    hostsim::EventSession& session = *run.overlay.session;
    const PF_Point knob = window == PF_Window_COMP ? PF_Point{216, 168} : PF_Point{200, 160};
    if (event == Event::kDrag) {
        EXPECT_EQ(session.Click(knob), PF_Err_NONE);
        EXPECT_TRUE(session.drag_requested());
    }
    run.overlay.host->trace().Clear();
    run.overlay.host->failures().Clear();  // occurrences count from the event under test
    arm(*run.overlay.host);
    switch (event) {
        case Event::kDraw: run.result = session.Draw(); break;
        case Event::kClick: run.result = session.Click(knob); break;
        case Event::kDrag: run.result = session.Drag({knob.h, knob.v - 30}, true); break;
    }
    return run;
}

TEST(OverlayFailureMatrixTest, EveryHostCallFailingInTurn) {
    int failure_points = 0;
    for (HostApp app : {HostApp::kAfterEffects, HostApp::kPremierePro}) {
        for (PF_WindowType window : {PF_Window_COMP, PF_Window_LAYER}) {
            for (Event event : {Event::kDraw, Event::kClick, Event::kDrag}) {
                const std::string where = std::string(hostsim::HostAppName(app)) +
                                          (window == PF_Window_COMP ? ", comp window, " : ", layer window, ") +
                                          EventName(event);
                EventRun healthy = SendEvent(app, window, event, [](hostsim::Host&) {});
                ASSERT_EQ(healthy.result, PF_Err_NONE) << where;
                ASSERT_TRUE(healthy.overlay.host->CommandViolations().empty()) << where;

                // "stroke" is the other name of each stroke, failed already under its own.
                std::map<std::string, int> occurrences = healthy.overlay.host->failures().Seen();
                occurrences.erase("stroke");
                std::set<std::string> suites;
                for (const auto& call : healthy.overlay.host->trace().Calls("AcquireSuite")) {
                    suites.insert(call.detail.substr(1, call.detail.rfind('"') - 1));
                }
                ASSERT_FALSE(occurrences.empty()) << where;

                const auto check = [&](const EventRun& run, const std::string& what) {
                    ++failure_points;
                    EXPECT_TRUE(run.overlay.host->CommandViolations().empty())
                        << where << ", " << what << ": " << run.overlay.host->CommandViolations()[0];
                };
                for (const auto& [name, count] : occurrences) {
                    for (int nth = 1; nth <= count; ++nth) {
                        EventRun run = SendEvent(app, window, event, [&, name = name](hostsim::Host& host) {
                            host.failures().FailCall(name, nth, kInjected);
                        });
                        check(run, name + " #" + std::to_string(nth));
                    }
                }
                for (const std::string& suite : suites) {
                    EventRun run = SendEvent(app, window, event, [&](hostsim::Host& host) {
                        host.failures().FailSuite(suite, 0, hostsim::SuiteFailure::kNullWithSuccess);
                    });
                    check(run, suite + " null");
                }
            }
        }
    }
    std::cout << "[ overlay  ] " << failure_points << " failure points exercised\n";
    EXPECT_GT(failure_points, 1000);
}

// A suite the host does not have. Without one of the Drawbot suites nothing is drawn and the
// user is told; without the overlay theme (After Effects), the basic suite or the ANSI suite
// (After Effects only: Premiere Pro's overlay needs none) the event ends with 516 and the
// click data unwritten. Whatever was acquired is given back.
TEST(OverlayMissingSuiteTest, EndsTheEventAsTheTableSays) {
    struct Case {
        HostApp app;
        Event event;
        const char* missing;  // null: no basic suite at all
        PF_Err expected;
        bool message;  // PF_OutFlag_DISPLAY_ERROR_MESSAGE
    };
    std::vector<Case> cases = {
        {HostApp::kAfterEffects, Event::kDraw, "PF Effect Custom UI Overlay Theme Suite", PF_Err_BAD_CALLBACK_PARAM, false},
        {HostApp::kAfterEffects, Event::kClick, nullptr, PF_Err_BAD_CALLBACK_PARAM, false},
        {HostApp::kAfterEffects, Event::kClick, "PF ANSI Suite", PF_Err_BAD_CALLBACK_PARAM, false},
        {HostApp::kPremierePro, Event::kClick, "PF ANSI Suite", PF_Err_NONE, false},
    };
    for (HostApp app : {HostApp::kAfterEffects, HostApp::kPremierePro}) {
        for (const char* drawbot : {"DRAWBOT Draw Suite", "DRAWBOT Supplier Suite", "DRAWBOT Surface Suite",
                                    "DRAWBOT Path Suite"}) {
            cases.push_back({app, Event::kDraw, drawbot, PF_Err_NONE, true});
        }
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(hostsim::HostAppName(c.app)) + ", " + EventName(c.event) + " without " +
                     (c.missing ? c.missing : "the basic suite"));
        EventRun run = SendEvent(c.app, PF_Window_LAYER, c.event, [&](hostsim::Host& host) {
            if (c.missing) {
                host.failures().FailSuite(c.missing);
            } else {
                host.SetBasicSuiteAvailable(false);
            }
        });
        EXPECT_EQ(run.result, c.expected);
        EXPECT_TRUE(run.overlay.host->CommandViolations().empty()) << run.overlay.host->CommandViolations()[0];
        EXPECT_EQ((run.overlay.host->out_data().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE) != 0, c.message);
        if (c.event == Event::kDraw) {
            EXPECT_TRUE(run.overlay.session->drawbot().strokes().empty());
            if (c.message) {
                EXPECT_EQ(run.overlay.session->drawbot().pens_made() + run.overlay.session->drawbot().paths_made(), 0);
                EXPECT_TRUE(run.overlay.host->trace().Calls("PF_GetDrawingReference").empty());
            }
        } else {
            EXPECT_EQ(run.overlay.session->drag_requested(), c.expected == PF_Err_NONE);
        }
    }
}

}  // namespace
}  // namespace qxv::host_tests
