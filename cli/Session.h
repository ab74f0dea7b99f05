// A plug-in loaded into a simulated host and brought to the state in which a host uses it:
// global set-up and parameter set-up done, --set values and --fail-suite rules applied, the
// iteration threads set. Every qxv command that talks to the plug-in starts here.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "hostsim/instruments/Host.h"
#include "hostsim/PluginLibrary.h"

namespace qxv::cli {

// QX_Vignette.so (QX_Vignette.aex on Windows) in the directory of the running qxv.
std::string DefaultPluginPath();

// Which plug-in goes into which host, and how that host is set up.
struct SessionOptions {
    hostsim::HostApp host = hostsim::HostApp::kAfterEffects;
    std::string plugin_path = DefaultPluginPath();  // the library to load
    std::vector<std::string> failing_suites;  // --fail-suite, in order
    std::vector<std::string> assignments;     // --set "NAME=VALUE", applied after parameter set-up
    unsigned threads = 0;                     // of the host's iterations; 0: one per core
    // The host watches itself (trace, suite accounting, failure rules, violations): every
    // command but a plain render, which runs on the lean session the frei0r module uses.
    bool instrumented = true;
};

struct Session {
    std::unique_ptr<hostsim::PluginLibrary> library;
    std::unique_ptr<hostsim::Session> host;
    hostsim::Host* instruments = nullptr;  // `host` when instrumented, else null
    PF_Err global_setup_result = PF_Err_NONE;
    PF_Err params_setup_result = PF_Err_NONE;
    PF_OutData after_global_setup{};  // the host reads version and flags from this one
    PF_OutData after_params_setup{};
};

// The file `name` in the directory that holds the qxv executable.
std::string BesideQxv(const std::string& name);
std::string DirectoryOf(const std::string& path);

// Loads the plug-in, makes the host (instrumented when asked or when suites are to fail), arms
// the failing suites, sends GLOBAL_SETUP and
// PARAMS_SETUP and applies the assignments. A failing command is reported in `error` unless
// `tolerate_setup_errors` (info shows them instead of stopping).
bool OpenSession(const SessionOptions& options, Session& session, std::string& error,
                 bool tolerate_setup_errors = false);

// The text the plug-in left for the user: return_msg when it set PF_OutFlag_DISPLAY_ERROR_MESSAGE.
std::string DisplayedMessage(const PF_OutData& out_data);

// "error 516 (PF_Err_BAD_CALLBACK_PARAM)"
std::string ErrorText(PF_Err err);

}  // namespace qxv::cli
