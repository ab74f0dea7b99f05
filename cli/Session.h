// A plug-in loaded into a simulated host and brought to the state in which a host uses it:
// global set-up and parameter set-up done, --set values and --fail-suite rules applied.
// Every qxv command that talks to the plug-in starts here.
#pragma once

#include <memory>
#include <string>

#include "hostsim/Host.h"
#include "Options.h"
#include "hostsim/PluginLibrary.h"

namespace qxv::cli {

struct Session {
    std::unique_ptr<hostsim::PluginLibrary> library;
    std::unique_ptr<hostsim::Host> host;
    PF_Err global_setup_result = PF_Err_NONE;
    PF_Err params_setup_result = PF_Err_NONE;
    PF_OutData after_global_setup{};  // the host reads version and flags from this one
    PF_OutData after_params_setup{};
};

// QX_Vignette.so (QX_Vignette.aex on Windows) in the directory of the running qxv.
std::string DefaultPluginPath();
// The file `name` in the directory that holds the qxv executable.
std::string BesideQxv(const std::string& name);
std::string DirectoryOf(const std::string& path);

bool ParseHostApp(const std::string& text, hostsim::HostApp& app, std::string& error);

// Loads the plug-in (--plugin), makes the host (--host), arms --fail-suite, sends
// GLOBAL_SETUP and PARAMS_SETUP and applies --set. A failing command is reported in `error`
// unless `tolerate_setup_errors` (info shows them instead of stopping).
bool OpenSession(const ParsedArgs& args, Session& session, std::string& error, bool tolerate_setup_errors = false);

// The text the plug-in left for the user: return_msg when it set PF_OutFlag_DISPLAY_ERROR_MESSAGE.
std::string DisplayedMessage(const PF_OutData& out_data);

// "error 516 (PF_Err_BAD_CALLBACK_PARAM)"
std::string ErrorText(PF_Err err);

}  // namespace qxv::cli
