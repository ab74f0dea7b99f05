// The built plug-in, loaded once for all host-level tests, and hosts made on it. These tests
// reach the effect only through EntryPointFunc, as a real host does.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "hostsim/instruments/Host.h"
#include "hostsim/PluginLibrary.h"

namespace qxv::host_tests {

inline PF_EntryPointFunc PluginEntry() {
    static std::unique_ptr<hostsim::PluginLibrary> library = [] {
        std::string error;
        auto loaded = hostsim::PluginLibrary::Load(QXV_PLUGIN_PATH, error);
        if (!loaded) ADD_FAILURE() << error;
        return loaded;
    }();
    return library ? library->entry() : nullptr;
}

inline std::unique_ptr<hostsim::Host> MakeHost(hostsim::HostApp app) {
    return std::make_unique<hostsim::Host>(app, PluginEntry());
}

// A host that has done what every host does first: global set-up, then parameter set-up.
inline std::unique_ptr<hostsim::Host> MakeReadyHost(hostsim::HostApp app) {
    auto host = MakeHost(app);
    EXPECT_EQ(host->GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(host->ParamsSetup(), PF_Err_NONE);
    return host;
}

inline std::string HostLabel(const testing::TestParamInfo<hostsim::HostApp>& info) {
    return info.param == hostsim::HostApp::kPremierePro ? "Premiere" : "AfterEffects";
}

inline const auto kBothHosts = testing::Values(hostsim::HostApp::kAfterEffects, hostsim::HostApp::kPremierePro);

}  // namespace qxv::host_tests
