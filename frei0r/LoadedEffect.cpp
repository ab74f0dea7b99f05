#include "LoadedEffect.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <mutex>

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

const LoadedEffect& TheEffect() {
    // Never destroyed: hosts may still call in while the process exits, and the plug-in's
    // code must stay mapped as long as any instance can render.
    static LoadedEffect* effect = nullptr;
    static std::once_flag once;
    std::call_once(once, [] {
        auto* loaded = new LoadedEffect();
        try {
            SetUp(*loaded);
        } catch (const std::exception& e) {
            loaded->error = std::string("setting up the plug-in failed: ") + e.what();
        }
        if (!loaded->usable()) SayOnStderr(loaded->error);
        effect = loaded;
    });
    return *effect;
}

}  // namespace qxv::frei0r
