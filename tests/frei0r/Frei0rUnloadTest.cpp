// MLT dlcloses qx_vignette.so after reading its metadata and after the last filter using it
// closes, then opens it again, while the threads that rendered through it (MLT's and the
// editor's) live on. Whatever the module leaves behind at dlclose (its statics' destructors,
// the plug-in it keeps loaded, thread-local blocks of those threads) must not break the next
// load: the same long-lived threads render the same frame after every reload.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <future>
#include <vector>

#include "Frei0rApi.h"

namespace qxv::frei0r_tests {
namespace {

std::vector<std::uint32_t> LoadRenderUnload(std::launch where) {
    void* handle = dlopen(QXV_FREI0R_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        ADD_FAILURE() << dlerror();
        return {};
    }
    auto init = reinterpret_cast<decltype(&f0r_init)>(dlsym(handle, "f0r_init"));
    auto deinit = reinterpret_cast<decltype(&f0r_deinit)>(dlsym(handle, "f0r_deinit"));
    auto construct = reinterpret_cast<decltype(&f0r_construct)>(dlsym(handle, "f0r_construct"));
    auto destruct = reinterpret_cast<decltype(&f0r_destruct)>(dlsym(handle, "f0r_destruct"));
    auto set = reinterpret_cast<decltype(&f0r_set_param_value)>(dlsym(handle, "f0r_set_param_value"));
    auto update = reinterpret_cast<decltype(&f0r_update)>(dlsym(handle, "f0r_update"));
    std::vector<std::uint32_t> out(64 * 36);
    if (init && deinit && construct && destruct && set && update && init()) {
        // Rendered on a thread that outlives the module's mapping (async: a new one; deferred:
        // this test's thread, which renders through every load).
        std::async(where, [&] {
            f0r_instance_t instance = construct(64, 36);
            ASSERT_NE(instance, nullptr);
            double width = 0.4;
            set(instance, &width, 3);
            const std::vector<std::uint32_t> in(out.size(), 0xFF8040C0u);
            update(instance, 0.0, in.data(), out.data());
            destruct(instance);
        }).get();
        deinit();
    } else {
        ADD_FAILURE() << "qx_vignette.so could not be set up";
    }
    dlclose(handle);
    return out;
}

TEST(Frei0rUnload, ReloadedModuleRendersTheSameFrameOnThreadsThatOutliveIt) {
    const std::vector<std::uint32_t> first = LoadRenderUnload(std::launch::deferred);
    ASSERT_FALSE(first.empty());
    for (int cycle = 0; cycle < 6; ++cycle) {
        EXPECT_EQ(LoadRenderUnload(cycle % 2 ? std::launch::async : std::launch::deferred), first) << cycle;
    }
}

}  // namespace
}  // namespace qxv::frei0r_tests
