// MLT dlcloses qx_vignette.so after reading its metadata and after the last filter using it
// closes, then opens it again, while the threads that rendered through it (MLT's and the
// editor's) live on. Whatever the module leaves behind at dlclose (its statics' destructors,
// the plug-in it keeps loaded, thread-local blocks of those threads) must not break the next
// load: the same long-lived threads render the same frame after every reload. And the module
// gives back what it set up only when nothing can use it any more, whatever the order in which
// a host calls f0r_init, f0r_deinit and the instances (frei0r_load_cycles.c loads the
// installed module under a heap count and valgrind, and exits while rendering).
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

// The module's entry points, resolved from a handle this test holds open.
struct Module {
    void* handle = dlopen(QXV_FREI0R_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    decltype(&f0r_init) init = Find<decltype(&f0r_init)>("f0r_init");
    decltype(&f0r_deinit) deinit = Find<decltype(&f0r_deinit)>("f0r_deinit");
    decltype(&f0r_get_plugin_info) plugin_info = Find<decltype(&f0r_get_plugin_info)>("f0r_get_plugin_info");
    decltype(&f0r_construct) construct = Find<decltype(&f0r_construct)>("f0r_construct");
    decltype(&f0r_destruct) destruct = Find<decltype(&f0r_destruct)>("f0r_destruct");
    decltype(&f0r_update) update = Find<decltype(&f0r_update)>("f0r_update");

    template <class Function>
    Function Find(const char* name) {
        return handle ? reinterpret_cast<Function>(dlsym(handle, name)) : nullptr;
    }
    ~Module() {
        if (handle) dlclose(handle);
    }
    std::vector<std::uint32_t> Render(f0r_instance_t instance) {
        const std::vector<std::uint32_t> in(64 * 36, 0xFF8040C0u);
        std::vector<std::uint32_t> out(in.size());
        update(instance, 0.0, in.data(), out.data());
        return out;
    }
};

// Each host's order of calls; every instance renders the frame it renders with nothing odd.
TEST(Frei0rUnload, InstancesKeepTheEffectThroughEveryOrderOfInitAndDeinit) {
    Module module;
    ASSERT_TRUE(module.handle && module.init && module.update) << dlerror();
    ASSERT_EQ(module.init(), 1);
    f0r_instance_t plain = module.construct(64, 36);
    ASSERT_NE(plain, nullptr);
    const std::vector<std::uint32_t> expected = module.Render(plain);
    module.destruct(plain);
    module.deinit();

    // FFmpeg: two filters each call f0r_init; the first closes while the second's instance lives.
    ASSERT_EQ(module.init(), 1);
    ASSERT_EQ(module.init(), 1);
    f0r_instance_t second = module.construct(64, 36);
    ASSERT_NE(second, nullptr);
    module.deinit();
    EXPECT_EQ(module.Render(second), expected) << "after the first filter's f0r_deinit";
    // A host that calls f0r_deinit more often than f0r_init, while the instance still renders.
    module.deinit();
    module.deinit();
    EXPECT_EQ(module.Render(second), expected) << "after more f0r_deinit than f0r_init";
    module.destruct(second);

    // MLT: the info before any f0r_init, then an instance with no f0r_init at all.
    f0r_plugin_info_t info{};
    module.plugin_info(&info);
    EXPECT_EQ(info.num_params, 14);
    f0r_instance_t uninitialised = module.construct(64, 36);
    ASSERT_NE(uninitialised, nullptr);
    EXPECT_EQ(module.Render(uninitialised), expected) << "without f0r_init";
    module.destruct(uninitialised);
    module.deinit();
    // And the effect set up again after it was released.
    ASSERT_EQ(module.init(), 1);
    f0r_instance_t again = module.construct(64, 36);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(module.Render(again), expected) << "after the effect was released and set up again";
    module.destruct(again);
    module.deinit();
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
