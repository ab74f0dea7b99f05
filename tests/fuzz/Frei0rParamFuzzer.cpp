// libFuzzer driver of the frei0r module's parameters: the fuzzed bytes play a frei0r host that
// sets any parameter with any value, reads values back and renders between the sets. Either an
// ordinary host (strings as a pointer to the char*) or GStreamer's element, called from a library
// of its name (its construction's sets, then strings as the char* itself); doubles and colours
// of any bits; and, for robustness only, forms no real host uses (unterminated bytes, pointers of
// any bits). The module is loaded from disk, as a host loads it; ASan sees every read it makes.
//
// A text passed as its host passes it must come back whole and alone: get answers exactly it,
// and a message in answer to the set quotes exactly it, never bytes the fuzzer did not pass.
#include <dlfcn.h>
#include <fcntl.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FuzzValues.h"
#include "frei0r.h"

// gst_element_calls.c: a call from a library named as GStreamer's frei0r element.
extern "C" void qxv_set_as_gstreamer_element(void (*set)(f0r_instance_t, f0r_param_t, int), f0r_instance_t instance,
                                             f0r_param_t value, int index);

namespace {

struct Module {
    decltype(&f0r_get_param_info) get_param_info;
    decltype(&f0r_construct) construct;
    decltype(&f0r_destruct) destruct;
    decltype(&f0r_set_param_value) set;
    decltype(&f0r_get_param_value) get;
    decltype(&f0r_update) update;
    std::vector<int> types;           // of each parameter, by index
    std::vector<std::string> names;   // of each parameter, by index
};

// One session: the host it plays and the instance it drives.
struct Session {
    const Module& module;
    f0r_instance_t instance;
    bool gstreamer;  // a running GStreamer element; else a host that follows the header

    void Set(void* value, int index) const {
        if (gstreamer) {
            qxv_set_as_gstreamer_element(module.set, instance, value, index);
        } else {
            module.set(instance, value, index);
        }
    }
};

// What the module writes on standard error while `call` runs. A finding inside the call would
// be written there too and lost; the crash input still reproduces it.
template <class Call>
std::string SaidDuring(Call call) {
    struct Pipe {
        int read_end, write_end;
    };
    static const Pipe pipe = [] {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) std::abort();
        return Pipe{ends[0], ends[1]};
    }();
    std::fflush(stderr);
    const int saved = dup(2);
    dup2(pipe.write_end, 2);
    call();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::string said;
    char chunk[4096];
    for (ssize_t got; (got = read(pipe.read_end, chunk, sizeof chunk)) > 0;) said.append(chunk, static_cast<std::size_t>(got));
    return said;
}

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
                 {},
                 {}};
        Symbol<decltype(&f0r_init)>(handle, "f0r_init")();
        f0r_plugin_info_t info{};
        Symbol<decltype(&f0r_get_plugin_info)>(handle, "f0r_get_plugin_info")(&info);
        for (int index = 0; index < info.num_params; ++index) {
            f0r_param_info_t param{};
            m.get_param_info(&param, index);
            m.types.push_back(param.type);
            m.names.push_back(param.name);
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

// Sets a text as the session's host passes it, then checks that the text comes back whole and
// alone in get's answer and in what the module says.
void SetTextAndCheck(const Session& session, int index, const std::string& text) {
    auto copy = ExactCopy(text, true);
    const char* pointer = copy.get();
    const std::string said = SaidDuring([&] {
        session.Set(session.gstreamer ? static_cast<void*>(copy.get()) : static_cast<void*>(&pointer), index);
    });
    const std::string passed(copy.get());  // to the first NUL, as C reads it
    const char* answered = nullptr;
    session.module.get(session.instance, &answered, index);
    if (!answered || passed != answered) {
        std::fprintf(stderr, "set \"%s\", get answered \"%s\"\n", passed.c_str(), answered ? answered : "(null)");
        std::abort();
    }
    // A refusal names the parameter and quotes the text, then lists the choices and the one
    // kept, on one line of the module's own words.
    const std::string refusal = "qx_vignette: \"" + session.module.names[static_cast<std::size_t>(index)] + "\": \"" +
                                passed + "\" is not one of \"";
    const bool one_refusal = said.compare(0, refusal.size(), refusal) == 0 &&
                             said.find('\n', refusal.size()) == said.size() - 1;
    if (!said.empty() && !one_refusal) {
        std::fprintf(stderr, "set \"%s\", the module said: %s", passed.c_str(), said.c_str());
        std::abort();
    }
}

void SetString(const Session& session, int index, FuzzedDataProvider& in) {
    static const char* const kTexts[] = {"Ellipse", "rectangle", "2", "0", "-1", "99999999999", "Soft light",
                                         "Gamma 2.2", "", " Color", "Transparent ", "Linear", " 1"};
    std::string text = in.ConsumeBool() ? kTexts[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kTexts) - 1)]
                                        : in.ConsumeRandomLengthString(64);
    const bool known_index = index >= 0 && index < static_cast<int>(session.module.types.size());
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
        case 1:  // as the session's host passes a text
            if (known_index) {
                SetTextAndCheck(session, index, text);
                break;
            }
            [[fallthrough]];
        case 2: {  // random bytes, no terminator promised: what follows them is not the fuzzer's
            auto copy = ExactCopy(text.empty() ? std::string(1, 'x') : text, false);
            session.Set(copy.get(), index);
            break;
        }
        default: {  // a pointer to a pointer of any bits
            const auto bits = in.ConsumeIntegral<std::uintptr_t>();
            session.Set(reinterpret_cast<void*>(const_cast<std::uintptr_t*>(&bits)), index);
            break;
        }
    }
}

void SetValue(const Session& session, FuzzedDataProvider& in) {
    const Module& module = session.module;
    const int index = in.ConsumeIntegralInRange<int>(-1, static_cast<int>(module.types.size()));
    const int type = index >= 0 && index < static_cast<int>(module.types.size()) ? module.types[index] : -1;
    if (type == F0R_PARAM_STRING || type < 0) {
        SetString(session, index, in);
        return;
    }
    if (type == F0R_PARAM_COLOR) {
        f0r_param_color color{static_cast<float>(qxv::fuzz::EdgyDouble(in, -1, 2)),
                              static_cast<float>(qxv::fuzz::EdgyDouble(in, -1, 2)),
                              static_cast<float>(qxv::fuzz::EdgyDouble(in, -1, 2))};
        session.Set(&color, index);
        return;
    }
    double number = qxv::fuzz::EdgyDouble(in, -2, 3);
    session.Set(&number, index);
}

void GetValue(const Session& session, FuzzedDataProvider& in) {
    const Module& module = session.module;
    const int index = in.ConsumeIntegralInRange<int>(0, static_cast<int>(module.types.size()) - 1);
    alignas(8) unsigned char value[sizeof(f0r_param_color) + sizeof(double)] = {};
    module.get(session.instance, value, index);
    if (module.types[index] == F0R_PARAM_STRING) {
        const char* text = nullptr;
        std::memcpy(&text, value, sizeof text);
        if (!text || std::strlen(text) > 256) std::abort();  // readable to its end
    }
}

// GStreamer's element right after f0r_construct: every parameter from its cache, in index
// order, each as a pointer to the value (a char** for a string), with the defaults it read
// from another instance at registration.
void ConstructAsGStreamer(const Session& session, unsigned width, unsigned height) {
    const Module& module = session.module;
    f0r_instance_t registration = module.construct(width, height);
    for (int index = 0; index < static_cast<int>(module.types.size()); ++index) {
        alignas(8) unsigned char value[sizeof(f0r_param_color) + sizeof(double)] = {};
        module.get(registration, value, index);
        qxv_set_as_gstreamer_element(module.set, session.instance, value, index);
    }
    module.destruct(registration);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const Module& module = TheModule();
    const unsigned width = in.ConsumeIntegralInRange(1u, 24u);
    const unsigned height = in.ConsumeIntegralInRange(1u, 16u);
    const bool gstreamer = in.ConsumeBool();
    f0r_instance_t instance = module.construct(width, height);
    if (!instance) std::abort();
    const Session session{module, instance, gstreamer};
    if (gstreamer) ConstructAsGStreamer(session, width, height);
    std::vector<std::uint32_t> input(static_cast<std::size_t>(width) * height, 0xFF336699u);
    std::vector<std::uint32_t> output(input.size());
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 5)) {
            case 0: GetValue(session, in); break;
            case 1: module.update(instance, 0.0, input.data(), output.data()); break;
            default: SetValue(session, in); break;
        }
    }
    module.update(instance, 0.0, input.data(), output.data());
    module.destruct(instance);
    return 0;
}
