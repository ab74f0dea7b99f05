// Every command of the plug-in shell and the render, in both hosts, with each host call it
// makes failing in turn: one healthy run records every call that can fail (suite
// acquisitions and releases, add_param, register_ui, PF_UpdateParamUI, the pixel-format
// calls, iterate, copy, abort and progress...), then each occurrence of each of them fails
// alone. The result is the one the plug-in promises for that call, nothing reaches the host
// as an exception, and every suite taken is given back exactly once. (FailureMatrixTest makes
// whole suites unavailable; the overlay events have their own matrix.)
#include <iostream>
#include <map>
#include <set>
#include <string>

#include "../LoadedPlugin.h"
#include "hostsim/instruments/Host.h"
#include "hostsim/World.h"

namespace qxv::host_tests {
namespace {

using hostsim::Host;
using hostsim::HostApp;
using hostsim::World;
using hostsim::WorldFormat;

constexpr PF_Err kInjected = 27;

struct CommandCase {
    const char* label;
    HostApp app;
    WorldFormat format;  // render cases only
    std::vector<std::pair<const char*, const char*>> settings;
    PF_Err (*send)(Host& host, WorldFormat format);
};

PF_Err SendRender(Host& host, WorldFormat format) {
    World input(format, 8, 4), output(format, 8, 4);
    const PF_Err err = hostsim::RenderFrame(host, input, output);
    EXPECT_TRUE(output.GuardsIntact());
    return err;
}

PF_Err SendAbout(Host& host, WorldFormat) { return host.About(); }
PF_Err SendGlobalSetup(Host& host, WorldFormat) { return host.GlobalSetup(); }
PF_Err SendParamsSetup(Host& host, WorldFormat) { return host.ParamsSetup(); }
PF_Err SendUpdateParamsUI(Host& host, WorldFormat) { return host.UpdateParamsUI(); }

std::vector<CommandCase> AllCommands() {
    std::vector<CommandCase> cases;
    for (HostApp app : {HostApp::kAfterEffects, HostApp::kPremierePro}) {
        cases.push_back({"About", app, WorldFormat::kArgb8, {}, SendAbout});
        cases.push_back({"GlobalSetup", app, WorldFormat::kArgb8, {}, SendGlobalSetup});
        cases.push_back({"ParamsSetup", app, WorldFormat::kArgb8, {}, SendParamsSetup});
        cases.push_back({"UpdateParamsUI", app, WorldFormat::kArgb8, {}, SendUpdateParamsUI});
        cases.push_back({"UpdateParamsUI, Mask Only", app, WorldFormat::kArgb8, {{"Mask Only", "on"}}, SendUpdateParamsUI});
    }
    for (WorldFormat format : {WorldFormat::kArgb8, WorldFormat::kArgb16, WorldFormat::kBgra8, WorldFormat::kBgraFloat}) {
        const HostApp app = hostsim::IsPremiereFormat(format) ? HostApp::kPremierePro : HostApp::kAfterEffects;
        cases.push_back({"Render", app, format, {}, SendRender});
        cases.push_back({"Render, opacity 0", app, format, {{"Opacity", "0"}}, SendRender});
    }
    return cases;
}

std::unique_ptr<Host> Prepared(const CommandCase& command) {
    auto host = MakeReadyHost(command.app);
    for (const auto& [name, value] : command.settings) {
        std::string error;
        EXPECT_TRUE(host->params().Set(name, value, error)) << error;
    }
    host->failures().Clear();  // occurrences count from the command under test
    return host;
}

// What a command answers when the host call `call` fails with kInjected.
PF_Err ExpectedResult(const CommandCase& command, const std::string& call) {
    const std::string label = command.label;
    if (call == "AcquireSuite") {
        // Premiere's global set-up only reports a missing pixel-format suite; everything else
        // that cannot get a suite ends with 516.
        return label == "GlobalSetup" ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
    }
    // Calls whose answers the plug-in ignores: giving suites back, progress, Premiere's
    // pixel-format registration, and GetPixelFormat (the format variable starts as 8-bit BGRA).
    static const std::set<std::string> kIgnored = {"ReleaseSuite", "progress", "ClearSupportedPixelFormats",
                                                   "AddSupportedPixelFormat", "GetPixelFormat"};
    if (kIgnored.count(call)) return PF_Err_NONE;
    // An abort, an iteration, a copy, a definition or a UI update that fails ends the command
    // with the host's error.
    return kInjected;
}

TEST(CallFailureMatrixTest, EveryHostCallFailingInTurn) {
    int failure_points = 0;
    for (const CommandCase& command : AllCommands()) {
        const std::string where = std::string(command.label) + " (" + hostsim::HostAppName(command.app) + ", " +
                                  hostsim::WorldFormatName(command.format) + ")";
        auto healthy = Prepared(command);
        ASSERT_EQ(command.send(*healthy, command.format), PF_Err_NONE) << where;
        ASSERT_TRUE(healthy->CommandViolations().empty()) << where;
        // After Effects' global set-up calls nothing that can fail: no failure points.
        const std::map<std::string, int> seen = healthy->failures().Seen();

        for (const auto& [call, count] : seen) {
            for (int nth = 1; nth <= count; ++nth) {
                ++failure_points;
                auto host = Prepared(command);
                host->failures().FailCall(call, nth, kInjected);
                const PF_Err result = command.send(*host, command.format);
                const std::string what = where + ", " + call + " #" + std::to_string(nth);
                EXPECT_EQ(result, ExpectedResult(command, call)) << what;
                EXPECT_TRUE(host->CommandViolations().empty()) << what << ": " << host->CommandViolations()[0];
            }
        }
    }
    std::cout << "[ commands ] " << failure_points << " failure points exercised\n";
    EXPECT_GT(failure_points, 50);
}

}  // namespace
}  // namespace qxv::host_tests
