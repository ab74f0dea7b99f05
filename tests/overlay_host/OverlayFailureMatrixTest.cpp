// Every overlay event (draw, click, drag), in both hosts and both windows, with each host call
// it makes failing in turn, one at a time: first each call that answers to the failure rules,
// by its occurrence in a healthy run (every suite acquisition and release, every mapping
// callback, the drawing reference, the theme's calls, every Drawbot call), then each suite acquired answering
// "success" with a null suite. Whatever fails, nothing crashes, no exception reaches the
// host, and every pen, path and suite is given back exactly once (the host records any of
// these as a violation of the command).
#include <iostream>
#include <map>
#include <set>
#include <string>

#include "OverlayHost.h"

namespace qxv::host_tests {
namespace {

using hostsim::HostApp;

constexpr PF_Err kInjected = 27;

enum class Event { kDraw, kClick, kDrag };
const char* EventName(Event event) {
    return event == Event::kDraw ? "draw" : event == Event::kClick ? "click" : "drag";
}

struct EventRun {
    OverlayHost overlay;
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

}  // namespace
}  // namespace qxv::host_tests
