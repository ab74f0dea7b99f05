// UPDATE_PARAMS_UI: "Mask Only" greys out and relabels "Blending mode" and "Opacity", keeps
// their other UI bits, and asks the host to re-render (and, in Premiere Pro, refresh).
#include <cstring>

#include "../LoadedPlugin.h"

namespace qxv::host_tests {
namespace {

using hostsim::HostApp;

constexpr int kOpacity = 9;
constexpr int kBlendingMode = 10;
constexpr int kMaskOnly = 12;

A_long UpdateFlags(HostApp app) { return app == HostApp::kPremierePro ? 0x420000 : 0x400000; }

struct MaskOnlyCase {
    HostApp app;
    bool mask_only;
    A_long ui_flags_before;  // what the host shows for both parameters before the update
    const char* blending_name;
    const char* opacity_name;
    A_long ui_flags_after;
};

class UpdateParamsUI : public testing::TestWithParam<MaskOnlyCase> {};

TEST_P(UpdateParamsUI, RelabelsAndGreysOutFollowingMaskOnly) {
    const MaskOnlyCase& c = GetParam();
    auto host = MakeReadyHost(c.app);
    std::string error;
    ASSERT_TRUE(host->params().Set("Mask Only", c.mask_only ? "on" : "off", error)) << error;
    host->params().Param(kOpacity).def.ui_flags = c.ui_flags_before;
    host->params().Param(kBlendingMode).def.ui_flags = c.ui_flags_before;

    ASSERT_EQ(host->UpdateParamsUI(), PF_Err_NONE);

    const auto& updates = host->param_ui_updates();
    ASSERT_EQ(updates.size(), 2u);
    EXPECT_EQ(updates[0].index, kBlendingMode);
    EXPECT_EQ(updates[0].name, c.blending_name);
    EXPECT_EQ(updates[0].def.ui_flags, c.ui_flags_after);
    EXPECT_EQ(updates[1].index, kOpacity);
    EXPECT_EQ(updates[1].name, c.opacity_name);
    EXPECT_EQ(updates[1].def.ui_flags, c.ui_flags_after);
    // The copies carry the rest of the definition unchanged.
    EXPECT_EQ(updates[0].def.param_type, PF_Param_POPUP);
    EXPECT_EQ(updates[0].def.u.pd.num_choices, 23);
    EXPECT_EQ(updates[1].def.u.fd.valid_max, 0x640000);

    EXPECT_EQ(host->params().Param(kBlendingMode).shown_name, c.blending_name);
    EXPECT_EQ(host->out_data().out_flags, UpdateFlags(c.app));
    EXPECT_TRUE(host->CommandViolations().empty());
}

constexpr A_long kOtherBits = PF_PUI_INVISIBLE | PF_PUI_DONT_ERASE_CONTROL | PF_PUI_TOPIC;

const MaskOnlyCase kMaskOnlyCases[] = {
    {HostApp::kAfterEffects, true, 0, "Blending mode (disabled)", "Opacity (100%)", PF_PUI_DISABLED},
    {HostApp::kAfterEffects, false, PF_PUI_DISABLED, "Blending mode", "Opacity", 0},
    {HostApp::kAfterEffects, true, kOtherBits, "Blending mode (disabled)", "Opacity (100%)",
     kOtherBits | PF_PUI_DISABLED},
    {HostApp::kAfterEffects, false, kOtherBits | PF_PUI_DISABLED, "Blending mode", "Opacity", kOtherBits},
    {HostApp::kPremierePro, true, 0, "Blending mode (disabled)", "Opacity (100%)", PF_PUI_DISABLED},
    {HostApp::kPremierePro, false, 0, "Blending mode", "Opacity", 0},
    {HostApp::kPremierePro, true, kOtherBits | PF_PUI_DISABLED, "Blending mode (disabled)", "Opacity (100%)",
     kOtherBits | PF_PUI_DISABLED},
    {HostApp::kPremierePro, false, kOtherBits, "Blending mode", "Opacity", kOtherBits},
};

INSTANTIATE_TEST_SUITE_P(Cases, UpdateParamsUI, testing::ValuesIn(kMaskOnlyCases));

TEST(UpdateParamsUIRecords, OrsIntoOutFlagsAndLeavesTheHostsArrayAlone) {
    auto host = MakeReadyHost(HostApp::kAfterEffects);
    hostsim::ParamArray params(host->params(), nullptr);
    params[kMaskOnly].u.bd.value = 1;
    std::vector<PF_ParamDef> before;
    for (int i = 0; i < params.size(); ++i) before.push_back(params[i]);
    host->ResetOutData();
    host->out_data().out_flags = PF_OutFlag_PIX_INDEPENDENT;

    ASSERT_EQ(host->Send(PF_Cmd_UPDATE_PARAMS_UI, params.data()), PF_Err_NONE);

    EXPECT_EQ(host->out_data().out_flags, PF_OutFlag_PIX_INDEPENDENT | PF_OutFlag_FORCE_RERENDER);
    for (int i = 0; i < params.size(); ++i) {
        EXPECT_EQ(std::memcmp(&before[i], &params[i], sizeof(PF_ParamDef)), 0) << "parameter " << i << " was written";
    }
}

// PF_UpdateParamUI refusing: the first refusal ends the updates, the flags are still set and
// the code is returned.
struct RefusalCase {
    int failing_call;  // 1: Blending mode, 2: Opacity
    std::vector<int> updated;
};

class UpdateParamsUIRefused : public testing::TestWithParam<RefusalCase> {};

TEST_P(UpdateParamsUIRefused, StopsAtTheFirstRefusal) {
    auto host = MakeReadyHost(HostApp::kPremierePro);
    host->failures().FailCall("PF_UpdateParamUI", GetParam().failing_call, PF_Err_INVALID_INDEX);

    EXPECT_EQ(host->UpdateParamsUI(), PF_Err_INVALID_INDEX);

    std::vector<int> updated;
    for (const auto& update : host->param_ui_updates()) updated.push_back(update.index);
    EXPECT_EQ(updated, GetParam().updated);
    EXPECT_EQ(host->trace().Calls("PF_UpdateParamUI").size(), static_cast<std::size_t>(GetParam().failing_call));
    EXPECT_EQ(host->out_data().out_flags, 0x420000);
    EXPECT_TRUE(host->CommandViolations().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, UpdateParamsUIRefused,
                         testing::Values(RefusalCase{1, {}}, RefusalCase{2, {kBlendingMode}}));

}  // namespace
}  // namespace qxv::host_tests
