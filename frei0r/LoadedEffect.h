// The plug-in as this module knows it. A real host loads an effect once and sends
// PF_Cmd_GLOBAL_SETUP and PF_Cmd_PARAMS_SETUP once; frei0r hosts call f0r_init and f0r_deinit
// per filter instance (FFmpeg, whose f0r_deinit may come while another filter's instance still
// renders), ask for the module's info before f0r_init (MLT) or never call f0r_deinit, and
// MLT unloads and reloads the module many times in one process. So the set-up is tied to none
// of those calls alone: the first call that needs the effect loads it, and it is released (the
// plug-in unloaded, every byte given back) only when nothing can use it any more: at the
// f0r_deinit that closes the last f0r_init, or when the module is unloaded, and in either case
// only while no instance is alive. A host that exits while its threads still render through
// instances keeps the effect to the end.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "ParamBindings.h"
#include "hostsim/Params.h"
#include "hostsim/PluginLibrary.h"

namespace qxv::frei0r {

struct Frei0rParam {
    const ParamBinding* binding = nullptr;
    int control_index = 0;    // in the host's parameter array (1-based)
    std::string name;         // for f0r_get_param_info
    std::string explanation;
};

struct LoadedEffect {
    std::unique_ptr<hostsim::PluginLibrary> library;
    hostsim::ParamStore controls;        // as registered: definitions with their defaults
    std::vector<Frei0rParam> params;     // in frei0r index order
    std::string explanation;             // what a user reads when choosing the effect in an editor
    A_u_long version = 0;                // my_version from PF_Cmd_GLOBAL_SETUP
    std::string error;                   // why the effect cannot be used; empty when it can

    bool usable() const { return error.empty(); }
};

// Loads and sets up the plug-in when it is not, from any thread; later calls return the same
// record until it is released. A failure is said once per set-up on standard error and kept
// in `error`. What the host reads of it (names, explanations) stays valid until then.
const LoadedEffect& TheEffect();

// f0r_init and f0r_deinit: OpenEffect sets up as TheEffect does and answers whether the
// effect is usable; CloseEffect releases it when it closes the last open and no instance is
// alive.
bool OpenEffect();
void CloseEffect();

// Around every instance's life: an effect is never released while one holds it. HoldEffect
// sets up as TheEffect does.
const LoadedEffect& HoldEffect();
void LetGoOfEffect();

// Where the module looks for the plug-in, in order: beside itself (a build tree), then where
// the package installs it relative to the module (lib/frei0r-1 → lib/qx-vignette).
std::vector<std::string> PluginCandidates(const std::string& module_directory);

// Says `message` on standard error, prefixed with the module's name.
void SayOnStderr(const std::string& message);

}  // namespace qxv::frei0r
