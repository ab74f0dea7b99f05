// Every command the plug-in serves, in both hosts, with each suite it might ask for made
// unavailable in turn (refused, or "success" with a null pointer) and with no basic suite at
// all: nothing crashes, the result is the documented one, and every suite acquired in the
// command is released exactly once.
//
// To cover another command, add a row to kCommands: how to send it on a ready host, and the
// outcome expected when a given suite is missing.
#include <cctype>

#include "../LoadedPlugin.h"
#include "hostsim/instruments/Host.h"
#include "hostsim/World.h"

namespace qxv::host_tests {
namespace {

using hostsim::Host;
using hostsim::HostApp;
using hostsim::SuiteFailure;

const char kNoBasicSuite[] = "pica_basicP";

// Every suite the effect may acquire, in any command or host.
const char* const kSuites[] = {
    "PF ANSI Suite",          "PF Param Utils Suite",      "PF Iterate8 Suite",
    "PF iterate16 Suite",     "PF World Transform Suite",  "PF Effect Custom UI Suite",
    "PF Effect Custom UI Overlay Theme Suite",             "PF Pixel Format Suite",
    "DRAWBOT Draw Suite",     "DRAWBOT Supplier Suite",    "DRAWBOT Surface Suite",
    "DRAWBOT Path Suite",
};

struct Outage {
    std::string missing;  // a suite name, kNoBasicSuite, or empty for a healthy host
    SuiteFailure mode = SuiteFailure::kError;
};

struct Outcome {
    PF_Err result;
    A_long out_flags;
    const char* message;  // expected return_msg; null when the command writes other text there
};

struct CommandCase {
    const char* label;
    PF_Err (*send)(Host& host);
    Outcome (*expect)(HostApp app, const std::string& missing);
};

bool Lacks(const std::string& missing, const char* suite) { return missing == suite || missing == kNoBasicSuite; }

constexpr A_long kGlobalOutFlags = 0x06008400;
const char kAcquireMessage[] = "Not able to acquire AEFX Suite.";

const CommandCase kCommands[] = {
    {"About", [](Host& h) { return h.About(); },
     [](HostApp, const std::string& missing) {
         // A SuiteCache failure comes back as 516 without a message.
         return Lacks(missing, "PF ANSI Suite") ? Outcome{PF_Err_BAD_CALLBACK_PARAM, 0, ""} : Outcome{0, 0, nullptr};
     }},
    {"GlobalSetup", [](Host& h) { return h.GlobalSetup(); },
     [](HostApp app, const std::string& missing) {
         if (app == HostApp::kPremierePro && Lacks(missing, "PF Pixel Format Suite")) {
             return Outcome{0, kGlobalOutFlags | PF_OutFlag_DISPLAY_ERROR_MESSAGE, kAcquireMessage};
         }
         return Outcome{0, kGlobalOutFlags, ""};
     }},
    {"ParamsSetup", [](Host& h) { return h.ParamsSetup(); },
     [](HostApp, const std::string&) { return Outcome{0, 0, ""}; }},
    {"UpdateParamsUI", [](Host& h) { return h.UpdateParamsUI(); },
     [](HostApp app, const std::string& missing) {
         if (Lacks(missing, "PF Param Utils Suite")) return Outcome{PF_Err_BAD_CALLBACK_PARAM, 0, ""};
         return Outcome{0, app == HostApp::kPremierePro ? 0x420000 : 0x400000, ""};
     }},
    {"Render",
     [](Host& h) {
         // Default parameters: 25 % opacity, so the frame is shaded, not copied.
         auto format = h.is_premiere() ? hostsim::WorldFormat::kBgra8 : hostsim::WorldFormat::kArgb8;
         hostsim::World input(format, 8, 4), output(format, 8, 4);
         return hostsim::RenderFrame(h, input, output);
     },
     [](HostApp app, const std::string& missing) {
         if (missing == kNoBasicSuite) return Outcome{PF_Err_BAD_CALLBACK_PARAM, 0, ""};
         if (app == HostApp::kPremierePro && missing == "PF Pixel Format Suite") {
             return Outcome{PF_Err_BAD_CALLBACK_PARAM, PF_OutFlag_DISPLAY_ERROR_MESSAGE, kAcquireMessage};
         }
         if (missing == "PF Iterate8 Suite") return Outcome{PF_Err_BAD_CALLBACK_PARAM, 0, ""};
         return Outcome{0, 0, ""};
     }},
};

std::vector<Outage> AllOutages() {
    std::vector<Outage> outages = {{"", SuiteFailure::kError}, {kNoBasicSuite, SuiteFailure::kError}};
    for (const char* suite : kSuites) {
        outages.push_back({suite, SuiteFailure::kError});
        outages.push_back({suite, SuiteFailure::kNullWithSuccess});
    }
    return outages;
}

using MatrixCase = std::tuple<CommandCase, HostApp, Outage>;

class FailureMatrix : public testing::TestWithParam<MatrixCase> {};

TEST_P(FailureMatrix, DocumentedResultAndBalancedSuites) {
    const auto& [command, app, outage] = GetParam();
    auto host = MakeReadyHost(app);
    if (outage.missing == kNoBasicSuite) {
        host->SetBasicSuiteAvailable(false);
    } else if (!outage.missing.empty()) {
        host->failures().FailSuite(outage.missing, 0, outage.mode);
    }

    PF_Err result = command.send(*host);

    Outcome expected = command.expect(app, outage.missing);
    EXPECT_EQ(result, expected.result);
    EXPECT_EQ(host->out_data().out_flags, expected.out_flags);
    if (expected.message) {
        EXPECT_STREQ(host->out_data().return_msg, expected.message);
    }
    for (const auto& [suite, count] : host->accounting().ThisCommand()) {
        EXPECT_EQ(count.acquired, count.released) << suite.ToString();
    }
    EXPECT_TRUE(host->CommandViolations().empty()) << testing::PrintToString(host->CommandViolations());
}

std::string MatrixLabel(const testing::TestParamInfo<MatrixCase>& info) {
    const auto& [command, app, outage] = info.param;
    std::string label = std::string(command.label) + "_" + (app == HostApp::kPremierePro ? "Premiere" : "AE") + "_";
    if (outage.missing.empty()) return label + "healthy";
    for (char c : outage.missing) label += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    if (outage.mode == SuiteFailure::kNullWithSuccess) label += "_null";
    return label;
}

INSTANTIATE_TEST_SUITE_P(AllCommands, FailureMatrix,
                         testing::Combine(testing::ValuesIn(kCommands), kBothHosts, testing::ValuesIn(AllOutages())),
                         MatrixLabel);

}  // namespace
}  // namespace qxv::host_tests
