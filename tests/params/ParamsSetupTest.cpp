// PARAMS_SETUP: the overlay registration after the last parameter, and add_param /
// register_ui failures. The parameters themselves, as saved projects depend on them (ids,
// types, flags, ranges, choices, defaults), are pinned by the stored `qxv info --json` of
// both hosts (tests/cli/reference/).
#include <cmath>

#include "../LoadedPlugin.h"

namespace qxv::host_tests {
namespace {

using hostsim::HostApp;
using hostsim::RegisteredParam;

class ParamsSetup : public testing::TestWithParam<HostApp> {
protected:
    void SetUp() override {
        host_ = MakeHost(GetParam());
        ASSERT_EQ(host_->ParamsSetup(), PF_Err_NONE);
        ASSERT_EQ(host_->params().count(), 13);
    }
    const RegisteredParam& Param(int index) { return host_->params().Param(index); }

    std::unique_ptr<hostsim::Host> host_;
};

TEST_P(ParamsSetup, RegistersTheOverlayForCompositionAndLayerWindows) {
    ASSERT_EQ(host_->registered_ui().size(), 1u);
    const PF_CustomUIInfo& ui = host_->registered_ui()[0];
    EXPECT_EQ(ui.events, PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER);
    EXPECT_EQ(ui.comp_ui_width, 0);
    EXPECT_EQ(ui.layer_ui_height, 0);
    EXPECT_EQ(ui.preview_ui_alignment, 0);
    // register_ui comes after the last parameter.
    auto calls = host_->trace().Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().name, "register_ui");
    EXPECT_EQ(host_->out_data().num_params, 14);
    EXPECT_TRUE(host_->CommandViolations().empty());
    EXPECT_EQ(host_->accounting().AcquiredThisCommand(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothHosts, ParamsSetup, kBothHosts, HostLabel);

// add_param refused on its Nth call: that code comes back at once, nothing later is added,
// the overlay is not registered and num_params is not set.
class ParamsSetupAddParamFailure : public testing::TestWithParam<int> {};

TEST_P(ParamsSetupAddParamFailure, ReturnsTheCodeAndStops) {
    const int failing_call = GetParam();
    const PF_Err kCode = PF_Err_OUT_OF_MEMORY + failing_call;  // distinct per case
    auto host = MakeHost(HostApp::kAfterEffects);
    host->failures().FailCall("add_param", failing_call, kCode);

    EXPECT_EQ(host->ParamsSetup(), kCode);

    EXPECT_EQ(host->params().count(), failing_call - 1);
    EXPECT_EQ(host->trace().Calls("add_param").size(), static_cast<std::size_t>(failing_call));
    EXPECT_TRUE(host->trace().Calls("register_ui").empty());
    EXPECT_EQ(host->out_data().num_params, 0);
    EXPECT_TRUE(host->CommandViolations().empty());
}

INSTANTIATE_TEST_SUITE_P(FirstMiddleLast, ParamsSetupAddParamFailure, testing::Values(1, 2, 7, 12, 13));

TEST(ParamsSetupRegisterUIFailure, ReturnsItsCodeWithAllParametersCounted) {
    auto host = MakeHost(HostApp::kPremierePro);
    host->failures().FailCall("register_ui", 1, PF_Err_INVALID_CALLBACK);

    EXPECT_EQ(host->ParamsSetup(), PF_Err_INVALID_CALLBACK);
    EXPECT_EQ(host->params().count(), 13);
    EXPECT_EQ(host->out_data().num_params, 14);
}

}  // namespace
}  // namespace qxv::host_tests
