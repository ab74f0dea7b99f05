// GLOBAL_SETUP: version word and out flags, and Premiere Pro's pixel-format registration.
#include <cstring>

#include "../LoadedPlugin.h"

namespace qxv::host_tests {
namespace {

using hostsim::HostApp;
using hostsim::SuiteFailure;

constexpr A_u_long kVersion = 0x00098001;
constexpr A_long kGlobalOutFlags = 0x06008400;
constexpr PrPixelFormat kBgraFloat = 0x61724742;
constexpr PrPixelFormat kBgra8 = 0x61726762;

TEST(GlobalSetupInAfterEffects, SetsVersionAndFlagsAndCallsNoSuite) {
    auto host = MakeHost(HostApp::kAfterEffects);
    // Overwritten, not or-ed into whatever the record held.
    std::memset(&host->out_data(), 0, sizeof(PF_OutData));
    host->out_data().out_flags = 0x7FFFFFFF;

    ASSERT_EQ(host->Send(PF_Cmd_GLOBAL_SETUP), PF_Err_NONE);

    EXPECT_EQ(host->out_data().my_version, kVersion);
    EXPECT_EQ(host->out_data().out_flags, kGlobalOutFlags);
    EXPECT_EQ(host->out_data().out_flags2, 0);
    EXPECT_EQ(host->out_data().return_msg[0], '\0');
    EXPECT_EQ(host->accounting().AcquiredThisCommand(), 0);
    EXPECT_TRUE(host->trace().Calls("AcquireSuite").empty());
    EXPECT_TRUE(host->pixel_format_calls().empty());
}

TEST(GlobalSetupInAfterEffects, NeedsNoBasicSuite) {
    auto host = MakeHost(HostApp::kAfterEffects);
    host->SetBasicSuiteAvailable(false);
    EXPECT_EQ(host->GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(host->out_data().out_flags, kGlobalOutFlags);
}

TEST(GlobalSetupInPremiere, ClearsThenAddsFloatBeforeEightBitBgra) {
    auto host = MakeHost(HostApp::kPremierePro);
    ASSERT_EQ(host->GlobalSetup(), PF_Err_NONE);

    const auto& calls = host->pixel_format_calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].call, "ClearSupportedPixelFormats");
    EXPECT_EQ(calls[1].call, "AddSupportedPixelFormat");
    EXPECT_EQ(calls[1].format, kBgraFloat);
    EXPECT_EQ(calls[2].call, "AddSupportedPixelFormat");
    EXPECT_EQ(calls[2].format, kBgra8);
    EXPECT_EQ(host->out_data().my_version, kVersion);
    EXPECT_EQ(host->out_data().out_flags, kGlobalOutFlags);

    hostsim::SuiteCount count = host->accounting().ThisCommand({"PF Pixel Format Suite", 1});
    EXPECT_EQ(count.acquired, 1);
    EXPECT_EQ(count.released, 1);
    EXPECT_TRUE(host->CommandViolations().empty());
}

TEST(GlobalSetupInPremiere, RegistrationFailuresAreIgnored) {
    auto host = MakeHost(HostApp::kPremierePro);
    host->failures().FailCall("AddSupportedPixelFormat", 1, PF_Err_OUT_OF_MEMORY);
    host->failures().FailCall("ClearSupportedPixelFormats", 1, PF_Err_OUT_OF_MEMORY);

    EXPECT_EQ(host->GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(host->trace().Calls("AddSupportedPixelFormat").size(), 2u) << "the second format is still offered";
    EXPECT_EQ(host->SupportedPixelFormats(), std::vector<PrPixelFormat>{kBgra8});
    EXPECT_EQ(host->out_data().out_flags, kGlobalOutFlags);
}

// Without the pixel-format suite Premiere Pro's set-up still succeeds, with a message and
// no format registered.
struct MissingSuiteCase {
    const char* label;
    void (*arrange)(hostsim::Host& host);
};

class GlobalSetupInPremiereWithoutSuite : public testing::TestWithParam<MissingSuiteCase> {};

TEST_P(GlobalSetupInPremiereWithoutSuite, ReportsAndStillSucceeds) {
    auto host = MakeHost(HostApp::kPremierePro);
    GetParam().arrange(*host);

    EXPECT_EQ(host->GlobalSetup(), PF_Err_NONE);

    EXPECT_EQ(host->out_data().my_version, kVersion);
    EXPECT_EQ(host->out_data().out_flags, 0x06008500);
    EXPECT_STREQ(host->out_data().return_msg, "Not able to acquire AEFX Suite.");
    EXPECT_TRUE(host->pixel_format_calls().empty());
    EXPECT_TRUE(host->CommandViolations().empty());
}

const MissingSuiteCase kMissingSuiteCases[] = {
    {"SuiteRefused", [](hostsim::Host& h) { h.failures().FailSuite("PF Pixel Format Suite"); }},
    {"NullSuiteWithSuccess",
     [](hostsim::Host& h) { h.failures().FailSuite("PF Pixel Format Suite", 1, SuiteFailure::kNullWithSuccess); }},
    {"NoBasicSuite", [](hostsim::Host& h) { h.SetBasicSuiteAvailable(false); }},
};

INSTANTIATE_TEST_SUITE_P(Cases, GlobalSetupInPremiereWithoutSuite, testing::ValuesIn(kMissingSuiteCases),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace qxv::host_tests
