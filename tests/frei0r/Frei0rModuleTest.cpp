// qx_vignette.so loaded as a frei0r host loads it, called the ways FFmpeg, MLT and GStreamer
// call it: info before f0r_init, f0r_init/f0r_deinit per instance in any order, any frame
// size, instances updated in parallel with every parameter re-set before every frame. Its
// frames must be those of the simulated Premiere Pro host rendering the same values.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "../LoadedPlugin.h"
#include "Frei0rApi.h"
#include "hostsim/instruments/Host.h"
#include "hostsim/Params.h"
#include "hostsim/World.h"

// gst_element_calls.c: a call from a library named as GStreamer's frei0r element.
extern "C" void qxv_set_as_gstreamer_element(void (*set)(f0r_instance_t, f0r_param_t, int), f0r_instance_t instance,
                                             f0r_param_t value, int index);

namespace qxv::frei0r_tests {
namespace {

struct Module {
    decltype(&f0r_init) init = nullptr;
    decltype(&f0r_deinit) deinit = nullptr;
    decltype(&f0r_get_plugin_info) get_plugin_info = nullptr;
    decltype(&f0r_get_param_info) get_param_info = nullptr;
    decltype(&f0r_construct) construct = nullptr;
    decltype(&f0r_destruct) destruct = nullptr;
    decltype(&f0r_set_param_value) set_param_value = nullptr;
    decltype(&f0r_get_param_value) get_param_value = nullptr;
    decltype(&f0r_update) update = nullptr;
};

template <class F>
void Resolve(void* handle, const char* name, F& function) {
    function = reinterpret_cast<F>(dlsym(handle, name));
    if (!function) ADD_FAILURE() << "qx_vignette.so exports no " << name;
}

const Module& TheModule() {
    static const Module module = [] {
        Module m;
        void* handle = dlopen(QXV_FREI0R_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            ADD_FAILURE() << dlerror();
            return m;
        }
        Resolve(handle, "f0r_init", m.init);
        Resolve(handle, "f0r_deinit", m.deinit);
        Resolve(handle, "f0r_get_plugin_info", m.get_plugin_info);
        Resolve(handle, "f0r_get_param_info", m.get_param_info);
        Resolve(handle, "f0r_construct", m.construct);
        Resolve(handle, "f0r_destruct", m.destruct);
        Resolve(handle, "f0r_set_param_value", m.set_param_value);
        Resolve(handle, "f0r_get_param_value", m.get_param_value);
        Resolve(handle, "f0r_update", m.update);
        return m;
    }();
    return module;
}

std::vector<std::uint32_t> Pattern(unsigned width, unsigned height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    std::uint32_t state = 12345;
    for (auto& pixel : pixels) {
        state = state * 1664525u + 1013904223u;
        pixel = (state >> 8) | 0xFF000000u;  // opaque, as decoded video is
    }
    return pixels;
}

std::vector<std::uint32_t> Update(f0r_instance_t instance, const std::vector<std::uint32_t>& input) {
    std::vector<std::uint32_t> output(input.size(), 0xDEADBEEFu);
    TheModule().update(instance, 0.0, input.data(), output.data());
    return output;
}

// The module's lengths never set: the effect's pixel defaults on 1920 x 1080, as fractions.
constexpr double kDefaultWidth = 300.0 / 1920, kDefaultHeight = 200.0 / 1080, kDefaultFeather = 100.0 / 1920;

std::string Digits(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// What the simulated Premiere Pro host renders with the given values (effect-control units),
// starting from the module's defaults on this frame.
std::vector<std::uint32_t> Reference(unsigned width, unsigned height, const std::vector<std::uint32_t>& input,
                                     const std::vector<std::pair<std::string, std::string>>& sets = {}) {
    auto host = host_tests::MakeReadyHost(hostsim::HostApp::kPremierePro);
    hostsim::PlacePointDefaults(host->params(), static_cast<A_long>(width), static_cast<A_long>(height));
    for (const auto& [name, value] : {std::pair{"Width", kDefaultWidth * width}, {"Height", kDefaultHeight * height},
                                      {"Feather", kDefaultFeather * width}}) {
        std::string error;
        EXPECT_TRUE(host->params().Set(name, Digits(value), error)) << error;
    }
    for (const auto& [name, value] : sets) {
        std::string error;
        EXPECT_TRUE(host->params().Set(name, value, error)) << error;
    }
    hostsim::World in(hostsim::WorldFormat::kBgra8, static_cast<A_long>(width), static_cast<A_long>(height));
    hostsim::World out(hostsim::WorldFormat::kBgra8, static_cast<A_long>(width), static_cast<A_long>(height));
    in.SetPackedPixels(reinterpret_cast<const std::uint8_t*>(input.data()));
    EXPECT_EQ(hostsim::RenderFrame(*host, in, out), PF_Err_NONE);
    std::vector<std::uint32_t> pixels(input.size());
    const auto packed = out.PackedPixels();
    if (!packed.empty()) std::memcpy(pixels.data(), packed.data(), packed.size());
    return pixels;
}

void SetDouble(f0r_instance_t instance, int index, double value) {
    TheModule().set_param_value(instance, &value, index);
}
void SetString(f0r_instance_t instance, int index, const char* value) {
    TheModule().set_param_value(instance, &value, index);
}
double GetDouble(f0r_instance_t instance, int index) {
    double value = -99;
    TheModule().get_param_value(instance, &value, index);
    return value;
}
std::string GetString(f0r_instance_t instance, int index) {
    const char* value = nullptr;
    TheModule().get_param_value(instance, &value, index);
    return value ? value : "(null)";
}

TEST(Frei0rModuleTest, AnswersItsInfoBeforeInitWithTheParametersInOrder) {
    const Module& module = TheModule();
    ASSERT_NE(module.get_plugin_info, nullptr);
    f0r_plugin_info_t info{};
    module.get_plugin_info(&info);  // MLT asks while scanning, before f0r_init
    EXPECT_STREQ(info.name, "QX Vignette");
    EXPECT_EQ(info.plugin_type, F0R_PLUGIN_TYPE_FILTER);
    EXPECT_EQ(info.color_model, F0R_COLOR_MODEL_BGRA8888);
    EXPECT_EQ(info.frei0r_version, FREI0R_MAJOR_VERSION);
    EXPECT_EQ(info.major_version, 1);
    EXPECT_EQ(info.minor_version, 3);
    const std::pair<const char*, int> expected[] = {
        {"Vignette Type", F0R_PARAM_STRING}, {"Point of origin X", F0R_PARAM_DOUBLE},
        {"Point of origin Y", F0R_PARAM_DOUBLE}, {"Width", F0R_PARAM_DOUBLE}, {"Height", F0R_PARAM_DOUBLE},
        {"Angle", F0R_PARAM_DOUBLE}, {"Feather", F0R_PARAM_DOUBLE}, {"Fill with", F0R_PARAM_STRING},
        {"Color", F0R_PARAM_COLOR}, {"Opacity", F0R_PARAM_DOUBLE}, {"Blending mode", F0R_PARAM_STRING},
        {"Alpha falloff", F0R_PARAM_STRING}, {"Invert", F0R_PARAM_BOOL}, {"Mask Only", F0R_PARAM_BOOL}};
    ASSERT_EQ(info.num_params, static_cast<int>(std::size(expected)));
    for (int i = 0; i < info.num_params; ++i) {
        f0r_param_info_t param{};
        module.get_param_info(&param, i);
        EXPECT_STREQ(param.name, expected[i].first);
        EXPECT_EQ(param.type, expected[i].second) << param.name;
        EXPECT_NE(param.explanation, nullptr);
    }
    EXPECT_EQ(module.init(), 1);
}

TEST(Frei0rModuleTest, InitAndDeinitInAnyOrderLeaveEveryInstanceRendering) {
    const Module& module = TheModule();
    const auto input = Pattern(64, 48);
    const auto expected = Reference(64, 48, input);
    module.deinit();  // before any init
    EXPECT_EQ(module.init(), 1);
    f0r_instance_t first = module.construct(64, 48);
    ASSERT_NE(first, nullptr);
    module.deinit();  // FFmpeg: one filter ends while another renders
    EXPECT_EQ(module.init(), 1);
    EXPECT_EQ(module.init(), 1);
    f0r_instance_t second = module.construct(64, 48);
    module.deinit();
    EXPECT_EQ(Update(first, input), expected);
    EXPECT_EQ(Update(second, input), expected);
    module.destruct(first);
    module.destruct(second);
}

TEST(Frei0rModuleTest, DefaultsRenderAsThePremiereHostAtEverySize) {
    const Module& module = TheModule();
    ASSERT_EQ(module.init(), 1);
    const std::pair<unsigned, unsigned> sizes[] = {{1, 1}, {2, 3}, {17, 9}, {33, 65}, {321, 241}, {640, 360}};
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        f0r_instance_t instance = module.construct(width, height);
        ASSERT_NE(instance, nullptr);
        const auto input = Pattern(width, height);
        EXPECT_EQ(Update(instance, input), Reference(width, height, input));
        module.destruct(instance);
    }
    EXPECT_EQ(module.construct(0, 10), nullptr);
    EXPECT_EQ(module.construct(10, 0), nullptr);
}

TEST(Frei0rModuleTest, GetAnswersTheSameDefaultsOnEveryFrame) {
    const Module& module = TheModule();
    // MLT reads defaults at 720x576, GStreamer at 640x480; the 1920x1080 defaults are pixels.
    for (const auto& [width, height] : {std::pair{720u, 576u}, {640u, 480u}, {1920u, 1080u}, {7u, 3u}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        f0r_instance_t instance = module.construct(width, height);
        ASSERT_NE(instance, nullptr);
        EXPECT_EQ(GetString(instance, 0), "Ellipse");
        EXPECT_EQ(GetDouble(instance, 1), 0.5);
        EXPECT_EQ(GetDouble(instance, 2), 0.5);
        EXPECT_EQ(GetDouble(instance, 3), kDefaultWidth);
        EXPECT_EQ(GetDouble(instance, 4), kDefaultHeight);
        EXPECT_EQ(GetDouble(instance, 5), 0.0);
        EXPECT_EQ(GetDouble(instance, 6), kDefaultFeather);
        EXPECT_EQ(GetString(instance, 7), "Color");
        f0r_param_color color{-1, -1, -1};
        module.get_param_value(instance, &color, 8);
        EXPECT_EQ(color.r + color.g + color.b, 0.0f);
        EXPECT_EQ(GetDouble(instance, 9), 0.25);
        EXPECT_EQ(GetString(instance, 10), "Multiply");
        EXPECT_EQ(GetString(instance, 11), "Linear");
        EXPECT_EQ(GetDouble(instance, 12), 0.0);
        EXPECT_EQ(GetDouble(instance, 13), 0.0);
        module.destruct(instance);
    }
}

TEST(Frei0rModuleTest, DefaultsReadAndSetBackRenderTheSameFrame) {
    const Module& module = TheModule();
    const auto input = Pattern(720, 576);
    f0r_instance_t untouched = module.construct(720, 576);
    f0r_instance_t set_back = module.construct(720, 576);
    for (int index = 0; index < 14; ++index) {  // what GStreamer does to every new element
        if (index == 0 || index == 7 || index == 10 || index == 11) {
            SetString(set_back, index, GetString(untouched, index).c_str());
        } else if (index == 8) {
            f0r_param_color color{};
            module.get_param_value(untouched, &color, index);
            module.set_param_value(set_back, &color, index);
        } else {
            SetDouble(set_back, index, GetDouble(untouched, index));
        }
    }
    EXPECT_EQ(Update(set_back, input), Update(untouched, input));
    EXPECT_EQ(Update(untouched, input), Reference(720, 576, input));
    module.destruct(untouched);
    module.destruct(set_back);
    // On 1920 x 1080 the defaults are the effect's own pixels.
    f0r_instance_t full = module.construct(1920, 1080);
    EXPECT_EQ(GetDouble(full, 3) * 1920, 300.0);
    EXPECT_EQ(GetDouble(full, 4) * 1080, 200.0);
    EXPECT_EQ(GetDouble(full, 6) * 1920, 100.0);
    module.destruct(full);
}

// What GStreamer's element does, called from a library of its name (gst_element_calls.c):
// construct, then set every parameter from its cache in index order, each as a pointer to the
// value (a char** for a string): the defaults it read from an instance at registration, and
// the Vignette Type the element holds in `vignette_type` (its cache slot).
f0r_instance_t ConstructAsGStreamer(unsigned width, unsigned height, const char** vignette_type) {
    const Module& module = TheModule();
    f0r_instance_t registration = module.construct(640, 480);
    f0r_instance_t instance = module.construct(width, height);
    for (int index = 0; index < 14; ++index) {
        alignas(8) unsigned char value[sizeof(f0r_param_color) + sizeof(double)] = {};
        module.get_param_value(registration, value, index);
        qxv_set_as_gstreamer_element(module.set_param_value, instance, index == 0 ? static_cast<void*>(vignette_type) : value, index);
    }
    module.destruct(registration);
    return instance;
}

// A running GStreamer element passes a string as the char* itself, every other host and call
// (GStreamer's construction too) a pointer to it. The form is the caller's, never guessed from
// the bytes: a text whose own bytes are a pointer to another text is that text, never the
// other. Get answers what was set (what Pitivi's box shows) while the frames keep the last
// valid choice until the text names one.
TEST(Frei0rModuleTest, StringsAreReadInTheFormOfTheirCaller) {
    const Module& module = TheModule();
    const auto input = Pattern(32, 24);
    const char* vignette_type = "rectangle";
    f0r_instance_t instance = ConstructAsGStreamer(32, 24, &vignette_type);
    ASSERT_NE(instance, nullptr);
    std::vector<std::pair<std::string, std::string>> state{{"Vignette Type", "Rectangle"}};
    EXPECT_EQ(Update(instance, input), Reference(32, 24, input, state));
    // A text nobody set, and a value whose own bytes (a NUL after them) are a pointer to it.
    static const char kStray[] = "Screen, said nobody";
    const char* stray = kStray;
    char pointer_bytes[sizeof stray + 1] = {};
    std::memcpy(pointer_bytes, &stray, sizeof stray);
    struct Case {
        bool live;  // from the running element: the char* itself; else a pointer to it
        int index;
        const char* text;
        std::pair<std::string, std::string> renders;  // the control value the frames show
    };
    const Case cases[] = {
        {true, 10, "S", {"Blending mode", "Multiply"}},
        {true, 10, "Sc", {"Blending mode", "Multiply"}},
        {true, 10, "Scree", {"Blending mode", "Multiply"}},
        {true, 10, "screen", {"Blending mode", "Screen"}},
        {true, 10, pointer_bytes, {"Blending mode", "Screen"}},
        {true, 10, "", {"Blending mode", "Screen"}},
        {true, 10, "7", {"Blending mode", "Darken"}},
        {true, 0, " 1", {"Vignette Type", "Ellipse"}},
        {false, 0, "rectangle", {"Vignette Type", "Rectangle"}},
        {false, 0, "Ell", {"Vignette Type", "Rectangle"}},
    };
    testing::internal::CaptureStderr();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.live ? "live " : "pointer ") + std::to_string(c.index) + " " + c.text);
        // An allocation of exactly the text, as g_strdup makes it, so a read past it would show.
        std::vector<char> copy(c.text, c.text + std::strlen(c.text) + 1);
        if (c.live) {
            qxv_set_as_gstreamer_element(module.set_param_value, instance, copy.data(), c.index);
        } else {
            SetString(instance, c.index, copy.data());
        }
        EXPECT_EQ(GetString(instance, c.index), c.text);
        state.erase(std::remove_if(state.begin(), state.end(),
                                   [&](const auto& set) { return set.first == c.renders.first; }),
                    state.end());
        state.push_back(c.renders);
        EXPECT_EQ(Update(instance, input), Reference(32, 24, input, state));
    }
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("\"Vignette Type\": \"Ell\" is not one of"), std::string::npos) << said;
    EXPECT_NE(said.find("\"Blending mode\": \"\" is not one of"), std::string::npos) << said;
    EXPECT_EQ(said.find(kStray), std::string::npos) << said;
    // The same bytes from a host that passes a pointer are the text they point at.
    testing::internal::CaptureStderr();
    module.set_param_value(instance, pointer_bytes, 10);
    said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(kStray), std::string::npos) << said;
    EXPECT_EQ(GetString(instance, 10), kStray);
    // Unreadable memory and non-string values are refused, not followed.
    const double number = 0.75;
    const char* unmapped = reinterpret_cast<const char*>(std::uintptr_t{8});
    module.set_param_value(instance, &unmapped, 0);
    module.set_param_value(instance, const_cast<double*>(&number), 0);
    module.set_param_value(instance, reinterpret_cast<void*>(std::uintptr_t{16}), 0);
    qxv_set_as_gstreamer_element(module.set_param_value, instance, reinterpret_cast<void*>(std::uintptr_t{16}), 0);
    EXPECT_EQ(Update(instance, input), Reference(32, 24, input, state));
    module.destruct(instance);
}

// Stopped and played again, a GStreamer element fills a new instance from its texts: where the
// last one named no choice, the frames go on with the choice the element's old instance rendered,
// and an element that never rendered it starts from the default.
TEST(Frei0rModuleTest, AnElementPlayedAgainGoesOnWithItsLastValidChoice) {
    const Module& module = TheModule();
    const auto input = Pattern(24, 16);
    const char* cache = "Ellipse";  // the element's cache slot of Vignette Type
    f0r_instance_t instance = ConstructAsGStreamer(24, 16, &cache);
    std::vector<char> typed[] = {{'2', '\0'}, {'R', 'e', '\0'}};  // as g_strdup makes them
    for (auto& text : typed) {
        qxv_set_as_gstreamer_element(module.set_param_value, instance, text.data(), 0);
        cache = text.data();  // the element keeps what it passed
    }
    const auto rectangle = Reference(24, 16, input, {{"Vignette Type", "Rectangle"}});
    EXPECT_EQ(Update(instance, input), rectangle);
    module.destruct(instance);
    // Another element holding the same text elsewhere never rendered Rectangle.
    std::vector<char> same_text = typed[1];
    const char* other_cache = same_text.data();
    f0r_instance_t other = ConstructAsGStreamer(24, 16, &other_cache);
    EXPECT_EQ(Update(other, input), Reference(24, 16, input));
    testing::internal::CaptureStderr();
    instance = ConstructAsGStreamer(24, 16, &cache);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("keeping \"Rectangle\""), std::string::npos);
    EXPECT_EQ(GetString(instance, 0), "Re");
    EXPECT_EQ(Update(instance, input), rectangle);
    module.destruct(other);
    module.destruct(instance);
}

TEST(Frei0rModuleTest, SetValuesRenderAsTheSameValuesInControlUnits) {
    const Module& module = TheModule();
    f0r_instance_t instance = module.construct(320, 180);
    ASSERT_NE(instance, nullptr);
    SetString(instance, 0, "Rectangle");
    SetDouble(instance, 1, 0.25);
    SetDouble(instance, 4, 0.5);
    SetDouble(instance, 5, 0.125);
    SetString(instance, 7, "Transparent");
    SetDouble(instance, 9, 0.75);
    SetString(instance, 11, "Gaussian");
    SetDouble(instance, 12, 1.0);
    const auto input = Pattern(320, 180);
    EXPECT_EQ(Update(instance, input),
              Reference(320, 180, input,
                        {{"Vignette Type", "Rectangle"}, {"Point of origin", "80,90"}, {"Height", "90"},
                         {"Angle", "45"}, {"Fill with", "Transparent"}, {"Opacity", "75"},
                         {"Alpha falloff", "Gaussian"}, {"Invert", "on"}}));
    // Rendering in place (MLT may hand the same buffer) gives the same frame.
    auto in_place = input;
    module.update(instance, 0.0, in_place.data(), in_place.data());
    EXPECT_EQ(in_place, Update(instance, input));
    module.destruct(instance);
}

TEST(Frei0rModuleTest, BadValuesKeepTheLastGoodOneAndAreSaidOnce) {
    const Module& module = TheModule();
    f0r_instance_t instance = module.construct(64, 64);
    ASSERT_NE(instance, nullptr);
    SetDouble(instance, 3, 0.5);
    SetString(instance, 10, "Screen");
    testing::internal::CaptureStderr();
    for (int frame = 0; frame < 3; ++frame) {  // MLT re-sets every parameter before every frame
        SetDouble(instance, 3, std::nan(""));
        SetString(instance, 10, "Sparkle");
        SetString(instance, 10, nullptr);
        module.set_param_value(instance, nullptr, 3);
        SetDouble(instance, 99, 0.5);
        Update(instance, Pattern(64, 64));
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(GetDouble(instance, 3), 0.5);
    // A text answers as it was set; the frames keep the last good one.
    EXPECT_EQ(GetString(instance, 10), "Sparkle");
    const auto input = Pattern(64, 64);
    EXPECT_EQ(Update(instance, input), Reference(64, 64, input, {{"Width", "32"}, {"Blending mode", "Screen"}}));
    const auto count = [&](const std::string& needle) {
        std::size_t n = 0;
        for (std::size_t at = said.find(needle); at != std::string::npos; at = said.find(needle, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count("\"Width\": nan is not a number; keeping 0.5"), 1u) << said;
    EXPECT_EQ(count("\"Sparkle\""), 1u) << said;
    module.destruct(instance);
}

TEST(Frei0rModuleTest, ParallelInstancesReSetEveryFrameMatchOneThread) {
    const Module& module = TheModule();
    constexpr unsigned kWidth = 160, kHeight = 90;
    constexpr int kInstances = 4, kFrames = 6;
    const auto input = Pattern(kWidth, kHeight);
    const char* modes[kInstances] = {"Normal", "Screen", "Overlay", "Hue"};
    const auto render_all = [&](f0r_instance_t instance, int which) {
        std::vector<std::uint32_t> last;
        for (int frame = 0; frame < kFrames; ++frame) {
            SetString(instance, 10, modes[which]);
            SetDouble(instance, 5, 0.05 * which);
            f0r_param_color color{0.25f * which, 0.5f, 1.0f};
            module.set_param_value(instance, &color, 8);
            last = Update(instance, input);
        }
        return last;
    };
    std::vector<std::vector<std::uint32_t>> alone(kInstances), together(kInstances);
    for (int which = 0; which < kInstances; ++which) {
        f0r_instance_t instance = module.construct(kWidth, kHeight);
        alone[which] = render_all(instance, which);
        module.destruct(instance);
    }
    std::vector<f0r_instance_t> instances(kInstances);
    for (auto& instance : instances) instance = module.construct(kWidth, kHeight);
    // Each instance's host keeps its own accounts: a host rule broken would be said here.
    testing::internal::CaptureStderr();
    std::vector<std::thread> threads;
    for (int which = 0; which < kInstances; ++which) {
        threads.emplace_back([&, which] { together[which] = render_all(instances[which], which); });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    for (int which = 0; which < kInstances; ++which) {
        EXPECT_EQ(together[which], alone[which]) << modes[which];
        module.destruct(instances[which]);
    }
}

}  // namespace
}  // namespace qxv::frei0r_tests
