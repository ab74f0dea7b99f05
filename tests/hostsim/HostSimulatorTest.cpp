// The simulated host itself, driven by small stand-in plug-ins: it must notice what a real
// host would punish (unreleased suites, exceptions across the entry, foreign effect_refs)
// and misbehave exactly as asked.
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "hostsim/instruments/Host.h"
#include "hostsim/instruments/Json.h"

#include <gtest/gtest.h>

namespace qxv::host_tests {
namespace {

using hostsim::Host;
using hostsim::HostApp;

PF_Err AcquireAnsiAndKeepIt(PF_Cmd, PF_InData* in_data, PF_OutData*, PF_ParamDef*[], PF_LayerDef*, void*) {
    const void* suite = nullptr;
    return in_data->pica_basicP->AcquireSuite("PF ANSI Suite", 1, &suite);
}

PF_Err ReleaseTwice(PF_Cmd, PF_InData* in_data, PF_OutData*, PF_ParamDef*[], PF_LayerDef*, void*) {
    const void* suite = nullptr;
    in_data->pica_basicP->AcquireSuite("PF ANSI Suite", 1, &suite);
    in_data->pica_basicP->ReleaseSuite("PF ANSI Suite", 1);
    return in_data->pica_basicP->ReleaseSuite("PF ANSI Suite", 1);
}

PF_Err Throw(PF_Cmd, PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*, void*) {
    throw std::runtime_error("escaped");
}

TEST(HostAccounting, FindsSuitesNotReleasedExactlyOnce) {
    Host leaky(HostApp::kAfterEffects, AcquireAnsiAndKeepIt);
    EXPECT_EQ(leaky.Send(PF_Cmd_ABOUT), PF_Err_NONE);
    EXPECT_EQ(leaky.CommandViolations(),
              std::vector<std::string>{"PF_Cmd_ABOUT: PF ANSI Suite v1: acquired 1, released 0"});

    Host doubled(HostApp::kAfterEffects, ReleaseTwice);
    doubled.Send(PF_Cmd_RENDER);
    EXPECT_EQ(doubled.CommandViolations(),
              std::vector<std::string>{"PF_Cmd_RENDER: PF ANSI Suite v1: acquired 1, released 2"});
    EXPECT_EQ(doubled.accounting().Total({"PF ANSI Suite", 1}).released, 2);

    // Counts per command start afresh; totals carry on.
    leaky.Send(PF_Cmd_ABOUT);
    EXPECT_EQ(leaky.accounting().ThisCommand({"PF ANSI Suite", 1}).acquired, 1);
    EXPECT_EQ(leaky.accounting().Total({"PF ANSI Suite", 1}).acquired, 2);
    EXPECT_EQ(leaky.AllViolations().size(), 2u);
}

TEST(HostEntry, AnExceptionAcrossTheEntryIsCaughtAndReported) {
    Host host(HostApp::kPremierePro, Throw);
    EXPECT_EQ(host.Send(PF_Cmd_EVENT), PF_Err_INTERNAL_STRUCT_DAMAGED);
    ASSERT_EQ(host.CommandViolations().size(), 1u);
    EXPECT_NE(host.CommandViolations()[0].find("exception escaped EntryPointFunc during PF_Cmd_EVENT"),
              std::string::npos);
    EXPECT_EQ(Host::Current(), nullptr) << "no host is current after the command";
}

// Results of AcquireSuite as the stand-in plug-in saw them.
struct AcquireOutcome {
    SPErr err = -1;
    const void* suite = reinterpret_cast<const void*>(1);
};
AcquireOutcome g_outcome;
const char* g_suite_name = "";

PF_Err AcquireNamedSuite(PF_Cmd, PF_InData* in_data, PF_OutData*, PF_ParamDef*[], PF_LayerDef*, void*) {
    g_outcome = AcquireOutcome{};
    g_outcome.err = in_data->pica_basicP->AcquireSuite(g_suite_name, 1, &g_outcome.suite);
    if (g_outcome.suite) in_data->pica_basicP->ReleaseSuite(g_suite_name, 1);
    return PF_Err_NONE;
}

struct SuiteCase {
    const char* label;
    HostApp app;
    const char* suite;
    void (*arrange)(Host&);
    bool gets_suite;
    SPErr err;
};

class HostSuiteAvailability : public testing::TestWithParam<SuiteCase> {};

TEST_P(HostSuiteAvailability, AnswersAsArranged) {
    const SuiteCase& c = GetParam();
    Host host(c.app, AcquireNamedSuite);
    if (c.arrange) c.arrange(host);
    g_suite_name = c.suite;
    host.Send(PF_Cmd_ABOUT);
    EXPECT_EQ(g_outcome.err, c.err);
    EXPECT_EQ(g_outcome.suite != nullptr, c.gets_suite);
    EXPECT_TRUE(host.CommandViolations().empty());
}

const SuiteCase kSuiteCases[] = {
    {"Offered", HostApp::kAfterEffects, "PF ANSI Suite", nullptr, true, 0},
    {"NameIsExact", HostApp::kAfterEffects, "PF ansi Suite", nullptr, false, hostsim::kSPSuiteNotFoundError},
    {"PixelFormatOnlyInPremiere", HostApp::kAfterEffects, "PF Pixel Format Suite", nullptr, false,
     hostsim::kSPSuiteNotFoundError},
    {"PixelFormatInPremiere", HostApp::kPremierePro, "PF Pixel Format Suite", nullptr, true, 0},
    {"Refused", HostApp::kAfterEffects, "PF ANSI Suite", [](Host& h) { h.failures().FailSuite("PF ANSI Suite"); },
     false, hostsim::kSPSuiteNotFoundError},
    {"NullWithSuccess", HostApp::kAfterEffects, "PF ANSI Suite",
     [](Host& h) { h.failures().FailSuite("PF ANSI Suite", 1, hostsim::SuiteFailure::kNullWithSuccess); }, false, 0},
    {"OtherVersionUnaffected", HostApp::kAfterEffects, "PF ANSI Suite",
     [](Host& h) { h.failures().FailSuite("PF ANSI Suite", 2); }, true, 0},
    {"Unregistered", HostApp::kAfterEffects, "PF ANSI Suite",
     [](Host& h) { h.UnregisterSuite("PF ANSI Suite", 1); }, false, hostsim::kSPSuiteNotFoundError},
};

INSTANTIATE_TEST_SUITE_P(Cases, HostSuiteAvailability, testing::ValuesIn(kSuiteCases),
                         [](const auto& info) { return std::string(info.param.label); });

std::vector<PF_Err> g_add_param_results;

PF_Err AddFourParams(PF_Cmd, PF_InData* in_data, PF_OutData*, PF_ParamDef*[], PF_LayerDef*, void*) {
    g_add_param_results.clear();
    for (int i = 0; i < 4; ++i) {
        PF_ParamDef def{};
        std::snprintf(def.name, sizeof def.name, "P%d", i + 1);
        def.param_type = PF_Param_CHECKBOX;
        g_add_param_results.push_back(in_data->inter.add_param(in_data->effect_ref, -1, &def));
    }
    return PF_Err_NONE;
}

TEST(HostFailureInjection, FailsTheChosenOccurrenceOrEvery) {
    Host host(HostApp::kAfterEffects, AddFourParams);
    host.failures().FailCall("add_param", 3, 77);
    host.Send(PF_Cmd_PARAMS_SETUP);
    EXPECT_EQ(g_add_param_results, (std::vector<PF_Err>{0, 0, 77, 0}));
    EXPECT_EQ(host.params().count(), 3);

    host.failures().Clear();
    host.failures().FailCall("add_param", 0, 5);
    host.Send(PF_Cmd_PARAMS_SETUP);
    EXPECT_EQ(g_add_param_results, (std::vector<PF_Err>{5, 5, 5, 5}));
}

PF_Err PassForeignEffectRef(PF_Cmd, PF_InData* in_data, PF_OutData*, PF_ParamDef*[], PF_LayerDef*, void*) {
    PF_ParamDef def{};
    int not_a_host = 0;
    return in_data->inter.add_param(reinterpret_cast<PF_ProgPtr>(&not_a_host), -1, &def);
}

TEST(HostCallbacks, RefuseAForeignEffectRef) {
    Host host(HostApp::kAfterEffects, PassForeignEffectRef);
    EXPECT_EQ(host.Send(PF_Cmd_PARAMS_SETUP), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host.params().count(), 0);
    EXPECT_EQ(host.CommandViolations().size(), 1u);
}

PF_Err SprintfTooLong(PF_Cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef*[], PF_LayerDef*, void*) {
    std::string long_text(400, 'x');
    in_data->utils->ansi.sprintf(out_data->return_msg, "%s", long_text.c_str());
    return PF_Err_NONE;
}

TEST(HostCallbacks, SprintfStaysInsideReturnMsg) {
    Host host(HostApp::kAfterEffects, SprintfTooLong);
    host.ResetOutData();
    host.out_data().start_sampL = 0x1234;  // the field after return_msg
    host.Send(PF_Cmd_ABOUT);
    EXPECT_EQ(std::strlen(host.out_data().return_msg), 255u);
    EXPECT_EQ(host.out_data().start_sampL, 0x1234);
    EXPECT_EQ(host.trace().Calls("sprintf").size(), 1u);
}

// qxv's JSON conventions on top of the library: whole numbers stay integers in the text,
// and bytes a plug-in left that are not UTF-8 are replaced, never thrown over.
TEST(HostJson, KeepsWholeNumbersIntegralAndSurvivesBadBytes) {
    const struct {
        double value;
        const char* text;
    } kNumbers[] = {{300, "300"}, {-12, "-12"}, {0.05f, "0.05000000074505806"}, {12.5, "12.5"},
                    {1e300, "1e+300"}, {std::nan(""), "null"}};
    for (const auto& c : kNumbers) EXPECT_EQ(hostsim::DumpJson(hostsim::JsonNumber(c.value)), c.text) << c.value;

    const hostsim::Json doc = {{"about", "Vignette\xff\r"}, {"list", {1, nullptr, true}}};
    EXPECT_EQ(hostsim::DumpJson(doc), "{\"about\":\"Vignette\xef\xbf\xbd\\r\",\"list\":[1,null,true]}");
    EXPECT_EQ(hostsim::DumpJson(doc, 2).find("{\n  \"about\""), 0u);
}

}  // namespace
}  // namespace qxv::host_tests
