// The frei0r entry points. Every one is a wall: nothing thrown below may reach the host
// program, which is C and would go down with it.
#include <exception>
#include <new>
#include <string>

#include "Frei0rApi.h"
#include "Frei0rInstance.h"
#include "LoadedEffect.h"

namespace qxv::frei0r {
namespace {

// What a frei0r host calls the module: FFmpeg "frei0r=qx_vignette" (the file name), MLT
// "frei0r.qx_vignette", GStreamer "frei0r-filter-qx-vignette" (this name, lowercased).
constexpr char kModuleName[] = "QX Vignette";
constexpr char kAuthor[] = "Quillmoor";

template <class Call>
void Guarded(const char* what, Call call) {
    try {
        call();
    } catch (const std::bad_alloc&) {
        SayOnStderr(std::string(what) + ": out of memory");
    } catch (const std::exception& e) {
        SayOnStderr(std::string(what) + ": " + e.what());
    } catch (...) {
        SayOnStderr(std::string(what) + " failed");
    }
}

// The effect's packed version word: major in bits 19-21 (and 26-29 above 7), minor in 15-18.
int MajorVersion(A_u_long version) { return static_cast<int>(((version >> 19) & 0x7) | (((version >> 26) & 0xF) << 3)); }
int MinorVersion(A_u_long version) { return static_cast<int>((version >> 15) & 0xF); }

}  // namespace
}  // namespace qxv::frei0r

using qxv::frei0r::Frei0rInstance;
using qxv::frei0r::Guarded;
using qxv::frei0r::TheEffect;

extern "C" {

// The effect's set-up and release follow these and the instances' lives (see LoadedEffect.h).
int f0r_init() {
    int ok = 0;
    Guarded("f0r_init", [&] { ok = qxv::frei0r::OpenEffect() ? 1 : 0; });
    return ok;
}

// FFmpeg calls this per filter instance, while other instances may still render: those keep
// the effect.
void f0r_deinit() {
    Guarded("f0r_deinit", [] { qxv::frei0r::CloseEffect(); });
}

void f0r_get_plugin_info(f0r_plugin_info_t* info) {
    if (!info) return;
    Guarded("f0r_get_plugin_info", [&] {
        const auto& effect = TheEffect();
        info->name = qxv::frei0r::kModuleName;
        info->author = qxv::frei0r::kAuthor;
        info->plugin_type = F0R_PLUGIN_TYPE_FILTER;
        info->color_model = F0R_COLOR_MODEL_BGRA8888;
        info->frei0r_version = FREI0R_MAJOR_VERSION;
        info->major_version = qxv::frei0r::MajorVersion(effect.version);
        info->minor_version = qxv::frei0r::MinorVersion(effect.version);
        info->num_params = static_cast<int>(effect.params.size());
        info->explanation = effect.usable() ? effect.explanation.c_str() : effect.error.c_str();
    });
}

void f0r_get_param_info(f0r_param_info_t* info, int param_index) {
    if (!info) return;
    Guarded("f0r_get_param_info", [&] {
        const auto& params = TheEffect().params;
        if (param_index < 0 || param_index >= static_cast<int>(params.size())) return;
        const auto& param = params[static_cast<std::size_t>(param_index)];
        info->name = param.name.c_str();
        info->type = qxv::frei0r::Frei0rType(param.binding->unit);
        info->explanation = param.explanation.c_str();
    });
}

f0r_instance_t f0r_construct(unsigned int width, unsigned int height) {
    Frei0rInstance* instance = nullptr;
    Guarded("f0r_construct", [&] {
        const auto& effect = qxv::frei0r::HoldEffect();
        // Sizes past this would overflow the host's 32-bit row bytes.
        if (effect.usable() && width > 0 && height > 0 && width <= 0x1FFFFFFF / 4 && height <= 0x7FFFFFFF) {
            try {
                instance = new Frei0rInstance(effect, {static_cast<A_long>(width), static_cast<A_long>(height)});
            } catch (...) {
                qxv::frei0r::LetGoOfEffect();
                throw;
            }
        }
        if (!instance) qxv::frei0r::LetGoOfEffect();
    });
    return instance;
}

void f0r_destruct(f0r_instance_t instance) {
    if (!instance) return;
    Guarded("f0r_destruct", [&] {
        delete static_cast<Frei0rInstance*>(instance);
        qxv::frei0r::LetGoOfEffect();
    });
}

void f0r_set_param_value(f0r_instance_t instance, f0r_param_t param, int param_index) {
    if (!instance) return;
    // Who called decides how a string is read (StringForms.h); this entry point is only ever
    // called from outside the module, so its return address lies in the host's code.
    const qxv::frei0r::Caller caller = qxv::frei0r::CallerAt(__builtin_return_address(0));
    Guarded("f0r_set_param_value", [&] { static_cast<Frei0rInstance*>(instance)->Set(param_index, param, caller); });
}

void f0r_get_param_value(f0r_instance_t instance, f0r_param_t param, int param_index) {
    if (!instance) return;
    Guarded("f0r_get_param_value", [&] { static_cast<Frei0rInstance*>(instance)->Get(param_index, param); });
}

void f0r_update(f0r_instance_t instance, double /*time*/, const uint32_t* inframe, uint32_t* outframe) {
    if (!instance) return;
    Guarded("f0r_update", [&] { static_cast<Frei0rInstance*>(instance)->Update(inframe, outframe); });
}

}  // extern "C"
