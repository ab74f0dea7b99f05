// A damaged call from the host (a record or callback it always supplies is missing) is
// refused with an error instead of crashing the host's process.
#include <gtest/gtest.h>

#include <vector>

#include "../LoadedPlugin.h"

namespace qxv::host_tests {
namespace {

struct MissingRecord {
    const char* what;
    PF_Cmd cmd;
    void (*damage)(PF_InData& in_data, std::vector<PF_ParamDef*>& params);
};

const MissingRecord kMissingRecords[] = {
    {"no utils at PARAMS_SETUP", PF_Cmd_PARAMS_SETUP, [](PF_InData& in, std::vector<PF_ParamDef*>&) { in.utils = nullptr; }},
    {"no add_param", PF_Cmd_PARAMS_SETUP, [](PF_InData& in, std::vector<PF_ParamDef*>&) { in.inter.add_param = nullptr; }},
    {"no register_ui", PF_Cmd_PARAMS_SETUP,
     [](PF_InData& in, std::vector<PF_ParamDef*>&) { in.inter.register_ui = nullptr; }},
    {"no Mask Only record at UPDATE_PARAMS_UI", PF_Cmd_UPDATE_PARAMS_UI,
     [](PF_InData&, std::vector<PF_ParamDef*>& params) { params[12] = nullptr; }},
    {"no input layer at RENDER", PF_Cmd_RENDER, [](PF_InData&, std::vector<PF_ParamDef*>& params) { params[0] = nullptr; }},
    {"no Opacity record at EVENT", PF_Cmd_EVENT, [](PF_InData&, std::vector<PF_ParamDef*>& params) { params[9] = nullptr; }},
};

TEST(MissingRecords, AreRefusedWithBadCallbackParam) {
    for (const MissingRecord& missing : kMissingRecords) {
        SCOPED_TRACE(missing.what);
        auto host = MakeReadyHost(hostsim::HostApp::kAfterEffects);
        std::vector<PF_ParamDef> defs(14);
        std::vector<PF_ParamDef*> params;
        for (PF_ParamDef& def : defs) params.push_back(&def);
        PF_InData saved = host->in_data();
        missing.damage(host->in_data(), params);
        PF_LayerDef output{};
        PF_EventExtra extra{};
        EXPECT_EQ(host->Send(missing.cmd, params.data(), &output, &extra), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_TRUE(host->CommandViolations().empty());
        host->in_data() = saved;
    }
}

TEST(MissingRecords, NullInDataOrOutDataIsRefusedForServedCommands) {
    const PF_EntryPointFunc entry = PluginEntry();
    ASSERT_NE(entry, nullptr);
    PF_OutData out_data{};
    for (PF_Cmd cmd : {PF_Cmd_ABOUT, PF_Cmd_GLOBAL_SETUP, PF_Cmd_PARAMS_SETUP, PF_Cmd_RENDER, PF_Cmd_UPDATE_PARAMS_UI,
                       PF_Cmd_EVENT}) {
        SCOPED_TRACE(cmd);
        EXPECT_EQ(entry(cmd, nullptr, &out_data, nullptr, nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
    }
    EXPECT_EQ(entry(PF_Cmd_SEQUENCE_SETUP, nullptr, nullptr, nullptr, nullptr, nullptr), PF_Err_NONE);
}

}  // namespace
}  // namespace qxv::host_tests
