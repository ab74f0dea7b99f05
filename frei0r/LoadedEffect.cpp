#include "LoadedEffect.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <type_traits>

#include "ChoicesLeftBehind.h"
#include "hostsim/Session.h"

namespace qxv::frei0r {

namespace {

std::string ModuleDirectory() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&ModuleDirectory), &info) || !info.dli_fname) return ".";
    std::string path = info.dli_fname;
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string CommandFailure(const char* command, PF_Err err, const PF_OutData& out_data) {
    std::string text = std::string("the plug-in failed ") + command + " with error " + std::to_string(err);
    if (out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE) {
        text += ": " + std::string(out_data.return_msg, strnlen(out_data.return_msg, sizeof out_data.return_msg));
    }
    return text;
}

// Matches each frei0r parameter to the control the plug-in registered under its name.
bool BindParams(LoadedEffect& effect) {
    for (const ParamBinding& binding : kParamBindings) {
        const int index = effect.controls.IndexOf(binding.control_name);
        if (!index || effect.controls.Param(index).def.param_type != RegisteredType(binding.unit)) {
            effect.error = std::string("the plug-in registered no control \"") + binding.control_name +
                           "\" of the expected type; it may be a different version than this module";
            return false;
        }
        const hostsim::RegisteredParam& control = effect.controls.Param(index);
        effect.params.push_back(
            Frei0rParam{&binding, index, Frei0rName(binding), Frei0rExplanation(binding, control)});
    }
    return true;
}

void SetUp(LoadedEffect& effect) {
    std::string tried;
    for (const std::string& path : PluginCandidates(ModuleDirectory())) {
        std::string error;
        effect.library = hostsim::PluginLibrary::Load(path, error);
        if (effect.library) break;
        tried += (tried.empty() ? "" : "; ") + error;
    }
    if (!effect.library) {
        effect.error = "cannot load the QX Vignette plug-in (" + tried + ")";
        return;
    }
    // The effect is driven as Premiere Pro drives it: frei0r's BGRA8888 frames are Premiere's
    // 8-bit BGRA worlds byte for byte, so they are handed over with no conversion.
    hostsim::Session host(hostsim::HostApp::kPremierePro, effect.library->entry());
    if (PF_Err err = host.GlobalSetup()) {
        effect.error = CommandFailure("PF_Cmd_GLOBAL_SETUP", err, host.out_data());
        return;
    }
    effect.version = host.out_data().my_version;
    if (PF_Err err = host.ParamsSetup()) {
        effect.error = CommandFailure("PF_Cmd_PARAMS_SETUP", err, host.out_data());
        return;
    }
    effect.controls = host.params();
    if (!BindParams(effect)) return;
    // MLT and GStreamer show this in their effect lists; the plug-in's About text speaks of
    // After Effects, so the module says what the effect does itself.
    effect.explanation =
        "Darkens, tints or clears the frame outside an ellipse or a rectangle with a soft edge. Place and size "
        "the shape, turn it, feather its edge, fill the outside with a colour or transparency and blend it in "
        "with one of " + std::to_string(effect.controls.Param(effect.controls.IndexOf("Blending mode")).choices.size()) +
        " modes.";
}

}  // namespace

std::vector<std::string> PluginCandidates(const std::string& module_directory) {
    return {module_directory + "/QX_Vignette.so", module_directory + "/../qx-vignette/QX_Vignette.so"};
}

void SayOnStderr(const std::string& message) { std::fprintf(stderr, "qx_vignette: %s\n", message.c_str()); }

namespace {

// The module's one effect and who may be using it. Trivially destructible, so no static
// destructor takes it away from threads that still render while the process exits.
struct ModuleEffect {
    std::mutex mutex;
    LoadedEffect* effect = nullptr;
    int opens = 0;      // f0r_init calls not yet closed by f0r_deinit
    int instances = 0;  // constructed and not yet destructed
};
static_assert(std::is_trivially_destructible_v<ModuleEffect>);

ModuleEffect g_module;

// With g_module.mutex held.
const LoadedEffect& SetUpOnce() {
    if (!g_module.effect) {
        auto loaded = std::make_unique<LoadedEffect>();
        try {
            SetUp(*loaded);
        } catch (const std::exception& e) {
            loaded->error = std::string("setting up the plug-in failed: ") + e.what();
        }
        if (!loaded->usable()) SayOnStderr(loaded->error);
        g_module.effect = loaded.release();
    }
    return *g_module.effect;
}

// With g_module.mutex held.
void ReleaseWhenUnused() {
    if (g_module.opens > 0 || g_module.instances > 0 || !g_module.effect) return;
    delete g_module.effect;  // unloads the plug-in
    g_module.effect = nullptr;
    ForgetChoicesLeftBehind();
}

// Runs when the module is unloaded (dlclose) or the process exits: hosts that never call
// f0r_deinit, or call it before their last instance goes, leave the effect to this.
struct ReleaseAtUnload {
    ~ReleaseAtUnload() {
        std::lock_guard<std::mutex> lock(g_module.mutex);
        g_module.opens = 0;
        ReleaseWhenUnused();
    }
} g_release_at_unload;

}  // namespace

const LoadedEffect& TheEffect() {
    std::lock_guard<std::mutex> lock(g_module.mutex);
    return SetUpOnce();
}

bool OpenEffect() {
    std::lock_guard<std::mutex> lock(g_module.mutex);
    ++g_module.opens;
    return SetUpOnce().usable();
}

void CloseEffect() {
    std::lock_guard<std::mutex> lock(g_module.mutex);
    if (g_module.opens > 0) --g_module.opens;
    ReleaseWhenUnused();
}

const LoadedEffect& HoldEffect() {
    std::lock_guard<std::mutex> lock(g_module.mutex);
    const LoadedEffect& effect = SetUpOnce();
    ++g_module.instances;
    return effect;
}

void LetGoOfEffect() {
    std::lock_guard<std::mutex> lock(g_module.mutex);
    --g_module.instances;
}

}  // namespace qxv::frei0r
