// libFuzzer driver of the frei0r module's parameters: the fuzzed bytes play a frei0r host that
// sets any parameter with any value in any of the forms real hosts use (a string as a pointer
// to the char* or as the char* itself, doubles and colours of any bits, buffers of random
// bytes given to a string parameter), reads values back and renders between the sets. The
// module is loaded from disk, as a host loads it; ASan sees every read the module makes.
#include <dlfcn.h>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FuzzValues.h"
#include "frei0r.h"

namespace {

struct Module {
    decltype(&f0r_get_param_info) get_param_info;
    decltype(&f0r_construct) construct;
    decltype(&f0r_destruct) destruct;
    decltype(&f0r_set_param_value) set;
    decltype(&f0r_get_param_value) get;
    decltype(&f0r_update) update;
    std::vector<int> types;  // of each parameter, by index
};

template <class F>
F Symbol(void* handle, const char* name) {
    auto* symbol = reinterpret_cast<F>(dlsym(handle, name));
    if (!symbol) {
        std::fprintf(stderr, "qx_vignette.so exports no %s\n", name);
        std::abort();
    }
    return symbol;
}

const Module& TheModule() {
    static const Module module = [] {
        void* handle = dlopen(QXV_FREI0R_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            std::fprintf(stderr, "%s\n", dlerror());
            std::abort();
        }
        Module m{Symbol<decltype(&f0r_get_param_info)>(handle, "f0r_get_param_info"),
                 Symbol<decltype(&f0r_construct)>(handle, "f0r_construct"),
                 Symbol<decltype(&f0r_destruct)>(handle, "f0r_destruct"),
                 Symbol<decltype(&f0r_set_param_value)>(handle, "f0r_set_param_value"),
                 Symbol<decltype(&f0r_get_param_value)>(handle, "f0r_get_param_value"),
                 Symbol<decltype(&f0r_update)>(handle, "f0r_update"),
                 {}};
        Symbol<decltype(&f0r_init)>(handle, "f0r_init")();
        f0r_plugin_info_t info{};
        Symbol<decltype(&f0r_get_plugin_info)>(handle, "f0r_get_plugin_info")(&info);
        for (int index = 0; index < info.num_params; ++index) {
            f0r_param_info_t param{};
            m.get_param_info(&param, index);
            m.types.push_back(param.type);
        }
        return m;
    }();
    return module;
}

// Exactly the bytes given, in an allocation of their size: a read past it is an ASan report.
std::unique_ptr<char[]> ExactCopy(const std::string& bytes, bool terminated) {
    auto copy = std::make_unique<char[]>(bytes.size() + (terminated ? 1 : 0));
    std::memcpy(copy.get(), bytes.data(), bytes.size());
    if (terminated) copy[bytes.size()] = '\0';
    return copy;
}

void SetString(const Module& module, f0r_instance_t instance, int index, FuzzedDataProvider& in) {
    static const char* const kTexts[] = {"Ellipse", "rectangle", "2", "0", "-1", "99999999999", "Soft light",
                                         "Gamma 2.2", "", " Color", "Transparent ", "Linear"};
    std::string text = in.ConsumeBool() ? kTexts[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kTexts) - 1)]
                                        : in.ConsumeRandomLengthString(64);
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: {  // the header's form: a pointer to the char*
            auto copy = ExactCopy(text, true);
            const char* pointer = copy.get();
            module.set(instance, &pointer, index);
            break;
        }
        case 1: {  // a running GStreamer element's form: the char* itself
            auto copy = ExactCopy(text, true);
            module.set(instance, copy.get(), index);
            break;
        }
        case 2: {  // random bytes, no terminator promised
            auto copy = ExactCopy(text.empty() ? std::string(1, 'x') : text, false);
            module.set(instance, copy.get(), index);
            break;
        }
        default: {  // a pointer to a pointer of any bits
            const auto bits = in.ConsumeIntegral<std::uintptr_t>();
            module.set(instance, reinterpret_cast<void*>(const_cast<std::uintptr_t*>(&bits)), index);
            break;
        }
    }
}

void SetValue(const Module& module, f0r_instance_t instance, FuzzedDataProvider& in) {
    const int index = in.ConsumeIntegralInRange<int>(-1, static_cast<int>(module.types.size()));
    const int type = index >= 0 && index < static_cast<int>(module.types.size()) ? module.types[index] : -1;
    if (type == F0R_PARAM_STRING || type < 0) {
        SetString(module, instance, index, in);
        return;
    }
    if (type == F0R_PARAM_COLOR) {
        f0r_param_color color{static_cast<float>(qxv::fuzz::EdgyDouble(in, -1, 2)),
                              static_cast<float>(qxv::fuzz::EdgyDouble(in, -1, 2)),
                              static_cast<float>(qxv::fuzz::EdgyDouble(in, -1, 2))};
        module.set(instance, &color, index);
        return;
    }
    double number = qxv::fuzz::EdgyDouble(in, -2, 3);
    module.set(instance, &number, index);
}

void GetValue(const Module& module, f0r_instance_t instance, FuzzedDataProvider& in) {
    const int index = in.ConsumeIntegralInRange<int>(0, static_cast<int>(module.types.size()) - 1);
    alignas(8) unsigned char value[sizeof(f0r_param_color) + sizeof(double)] = {};
    module.get(instance, value, index);
    if (module.types[index] == F0R_PARAM_STRING) {
        const char* text = nullptr;
        std::memcpy(&text, value, sizeof text);
        if (!text || std::strlen(text) > 64) std::abort();  // a label, readable to its end
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const Module& module = TheModule();
    const unsigned width = in.ConsumeIntegralInRange(1u, 24u);
    const unsigned height = in.ConsumeIntegralInRange(1u, 16u);
    f0r_instance_t instance = module.construct(width, height);
    if (!instance) std::abort();
    std::vector<std::uint32_t> input(static_cast<std::size_t>(width) * height, 0xFF336699u);
    std::vector<std::uint32_t> output(input.size());
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 5)) {
            case 0: GetValue(module, instance, in); break;
            case 1: module.update(instance, 0.0, input.data(), output.data()); break;
            default: SetValue(module, instance, in); break;
        }
    }
    module.update(instance, 0.0, input.data(), output.data());
    module.destruct(instance);
    return 0;
}
