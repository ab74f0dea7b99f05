// qxv bench: how fast the effect renders through the simulated host, per pixel format and
// thread count, against the host's own copy of the same frame (what the effect costs at
// opacity 0, the memory-bound floor) and against the call floor (the host's iteration with a
// pixel function that only copies its pixel: what one call per pixel costs before any work).
// Timings only; results are not checked here.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "cli/Commands.h"
#include "hostsim/instruments/Host.h"
#include "cli/OptionValues.h"
#include "cli/Session.h"
#include "hostsim/StandardSuites.h"

namespace qxv::cli {

namespace {

using hostsim::World;
using hostsim::WorldFormat;

const char kCommand[] = "bench";
const char kDescription[] =
    "Times PF_Cmd_RENDER on the simulated host for each pixel format (argb8 and argb16 in\n"
    "After Effects, bgra8 and bgra32f in Premiere Pro) and each thread count, with several\n"
    "parameter settings, and compares each with the host's own copy of the same frame (the\n"
    "opacity-0 path) and with the call floor: the host's iteration of the same frame with a\n"
    "pixel function that only copies its pixel. Prints the median of N frames in ms, megapixels\n"
    "per second and the ratios to the copy and to the call floor. Premiere Pro's float frames\n"
    "are shaded by the plug-in's own loop on one thread, whatever --threads says; their call\n"
    "floor is such a loop on the calling thread. The last case renders a 64x64 frame (the\n"
    "default shape scaled to it, as the frei0r module scales it) many times per timed run;\n"
    "its ratios compare the time per pixel.";

// A case is a preset as a host saves one: values by parameter index, popups by their 1-based
// value. Every label it shows is read from what the plug-in registered.
struct Setting {
    int index;
    std::string value;
};

struct BenchCase {
    std::string name;
    std::vector<Setting> settings;  // on top of the defaults
    bool small_frame = false;       // on the small frame instead of the --size one
};

// Editors render thumbnails and proxies: a frame this small should cost its pixels, not a
// fixed set-up per frame.
constexpr PF_Point kSmallFrame{64, 64};

// The effect's parameter indices and popup values the cases use, as its saved projects hold them.
enum ParamIndex {
    kShape = 1,  // "Vignette Type"
    kOrigin = 2,
    kWidth = 3,
    kHeight = 4,
    kFeather = 6,
    kColor = 8,
    kOpacity = 9,
    kMode = 10,
    kFalloff = 13,
};
enum ShapeChoice { kEllipse = 1, kRectangle = 2 };
enum FalloffChoice { kLinear = 1, kGamma = 4, kGaussian = 5, kExponential = 6 };
constexpr int kHueMode = 11;
constexpr int kSoftLightMode = 6;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The registered name of a parameter, or its index for a plug-in that registered fewer.
std::string NameAt(const hostsim::ParamStore& store, int index) {
    return index <= store.count() ? store.Param(index).registered_name : "parameter " + std::to_string(index);
}

// The label of a popup's choice, or its number where the plug-in offers no such choice.
std::string ChoiceAt(const hostsim::ParamStore& store, int index, int value) {
    if (index > store.count()) return std::to_string(value);
    const std::vector<std::string>& choices = store.Param(index).choices;
    return value >= 1 && value <= static_cast<int>(choices.size()) ? choices[value - 1] : std::to_string(value);
}

// The default shape as the frei0r module places it on a frame of any size: the lengths the
// defaults give a 1920x1080 frame, as fractions of this one, at its centre.
BenchCase SmallFrameCase() {
    const auto scaled = [](double pixels, double default_frame, A_long frame) {
        std::ostringstream text;
        text << pixels / default_frame * frame;
        return text.str();
    };
    const A_long w = kSmallFrame.h, h = kSmallFrame.v;
    return {"default parameters, " + std::to_string(w) + "x" + std::to_string(h) + " frame",
            {{kOrigin, std::to_string(w / 2) + "," + std::to_string(h / 2)},
             {kWidth, scaled(300, 1920, w)},
             {kHeight, scaled(200, 1080, h)},
             {kFeather, scaled(100, 1920, w)}},
            true};
}

// The band cases centre a shape larger than the frame so that its feather band covers most
// of it: every pixel there goes through the falloff curve. The ones with a mode lay a dark
// blue over the frame at full opacity, as a user would.
std::vector<BenchCase> Cases(A_long width, A_long height, const hostsim::ParamStore& store) {
    const std::vector<Setting> band = {{kOrigin, std::to_string(width / 2) + "," + std::to_string(height / 2)},
                                       {kWidth, std::to_string(width * 115 / 100)},
                                       {kHeight, std::to_string(height * 115 / 100)},
                                       {kFeather, std::to_string(width * 52 / 100)}};
    const auto band_case = [&](int shape, int falloff, int mode = 0) {
        BenchCase c{Lower(ChoiceAt(store, kShape, shape)) + " band, " + ChoiceAt(store, kFalloff, falloff), band};
        c.settings.push_back({kShape, std::to_string(shape)});
        c.settings.push_back({kFalloff, std::to_string(falloff)});
        if (mode) {
            c.name += ", " + ChoiceAt(store, kMode, mode);
            c.settings.push_back({kMode, std::to_string(mode)});
            c.settings.push_back({kColor, "#1a2a6c"});
            c.settings.push_back({kOpacity, "100"});
        }
        return c;
    };
    return {
        {"host copy (" + Lower(NameAt(store, kOpacity)) + " 0)", {{kOpacity, "0"}}},
        {"default parameters", {}},
        band_case(kEllipse, kLinear),
        band_case(kEllipse, kGaussian),
        band_case(kRectangle, kLinear),
        band_case(kRectangle, kGaussian),
        band_case(kEllipse, kGamma),
        band_case(kEllipse, kExponential),
        band_case(kRectangle, kGamma),
        band_case(kRectangle, kExponential),
        band_case(kRectangle, kGamma, kSoftLightMode),
        band_case(kEllipse, kGaussian, kHueMode),
        {"default, " + ChoiceAt(store, kMode, kHueMode) + " mode", {{kMode, std::to_string(kHueMode)}}},
        SmallFrameCase(),
    };
}

// A frame with colour, alpha and detail everywhere, so that no pixel is trivially uniform.
void FillPattern(World& world) {
    for (A_long y = 0; y < world.height(); ++y) {
        for (A_long x = 0; x < world.width(); ++x) {
            const unsigned r = (x * 255u) / static_cast<unsigned>(world.width());
            const unsigned g = (y * 255u) / static_cast<unsigned>(world.height());
            const unsigned b = ((x ^ y) & 0xFF);
            const unsigned a = 128 + ((x + y) & 0x7F);
            std::uint8_t* p = world.Pixel(x, y);
            switch (world.format()) {
                case WorldFormat::kArgb8: p[0] = a, p[1] = r, p[2] = g, p[3] = b; break;
                case WorldFormat::kBgra8: p[0] = b, p[1] = g, p[2] = r, p[3] = a; break;
                case WorldFormat::kArgb16: {
                    auto* q = reinterpret_cast<std::uint16_t*>(p);
                    q[0] = a * 128, q[1] = r * 128, q[2] = g * 128, q[3] = b * 128;
                    break;
                }
                case WorldFormat::kBgraFloat: {
                    auto* q = reinterpret_cast<float*>(p);
                    q[0] = b / 255.0f, q[1] = g / 255.0f, q[2] = r / 255.0f, q[3] = a / 255.0f;
                    break;
                }
            }
        }
    }
}

bool ParseThreadList(const std::string& text, std::vector<unsigned>& threads) {
    std::vector<unsigned> parsed;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ',')) {
        unsigned n = 0;
        if (!ParseThreadCount(item, n)) return false;
        parsed.push_back(n);
    }
    if (parsed.empty()) return false;
    threads = parsed;
    return true;
}

bool ParseFormatList(const std::string& text, std::vector<WorldFormat>& formats) {
    std::vector<WorldFormat> parsed;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ',')) {
        WorldFormat format;
        if (!hostsim::ParseWorldFormat(item, format)) return false;
        parsed.push_back(format);
    }
    if (parsed.empty()) return false;
    formats = parsed;
    return true;
}

bool ParseFrameCount(const std::string& text, long& frames) {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || n < 1 || n > 100000) return false;
    frames = n;
    return true;
}

struct BenchOptions {
    PF_Point size{3840, 2160};
    std::vector<unsigned> thread_counts{1, 2};
    long frames = 5;
    std::vector<WorldFormat> formats{WorldFormat::kArgb8, WorldFormat::kArgb16, WorldFormat::kBgra8,
                                     WorldFormat::kBgraFloat};
    std::string only_case;  // empty: every case
    std::string plugin_path = DefaultPluginPath();
};

// Median milliseconds of `frames` runs of `run` after one warm-up; negative when a run failed.
template <class Run>
double MedianMs(long frames, Run run) {
    using Clock = std::chrono::steady_clock;
    if (run()) return -1;
    std::vector<double> ms;
    for (long i = 0; i < frames; ++i) {
        const auto start = Clock::now();
        if (run()) return -1;
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// A frame much smaller than the --size one is rendered as many times as it has fewer pixels
// (at most 1000) per timed run, so that each run lasts long enough for the clock.
double TimeCase(hostsim::Host& host, World& input, World& output, long frames, double repeats) {
    const double ms = MedianMs(frames, [&]() -> PF_Err {
        for (double i = 0; i < repeats; ++i) {
            if (const PF_Err err = hostsim::RenderFrame(host, input, output)) return err;
        }
        return PF_Err_NONE;
    });
    return ms < 0 ? ms : ms / repeats;
}

// The least a pixel function can do: copy its pixel.
template <class Pixel>
PF_Err CopyPixel(void*, A_long, A_long, Pixel* in, Pixel* out) {
    *out = *in;
    return PF_Err_NONE;
}

// The call floor: the frame through the host's iteration (for float frames, a row loop like
// the plug-in's own) with CopyPixel.
double TimeCallFloor(hostsim::Host& host, World& input, World& output, long frames) {
    PF_InData* in_data = &host.in_data();
    const A_long rows = output.height();
    switch (input.format()) {
        case WorldFormat::kArgb8:
        case WorldFormat::kBgra8:
            return MedianMs(frames, [&] {
                return hostsim::kIterate8Suite1.iterate(in_data, 0, rows, input.def(), nullptr, nullptr,
                                                        CopyPixel<PF_Pixel>, output.def());
            });
        case WorldFormat::kArgb16:
            return MedianMs(frames, [&] {
                return hostsim::kIterate16Suite1.iterate(in_data, 0, rows, input.def(), nullptr, nullptr,
                                                         CopyPixel<PF_Pixel16>, output.def());
            });
        case WorldFormat::kBgraFloat:
            return MedianMs(frames, [&] {
                PF_Err (*volatile copy)(void*, A_long, A_long, PF_PixelFloat*, PF_PixelFloat*) =
                    CopyPixel<PF_PixelFloat>;
                for (A_long y = 0; y < rows; ++y) {
                    auto* in = reinterpret_cast<PF_PixelFloat*>(input.Row(y));
                    auto* out = reinterpret_cast<PF_PixelFloat*>(output.Row(y));
                    for (A_long x = 0; x < output.width(); ++x) copy(nullptr, x, y, in + x, out + x);
                }
                return PF_Err_NONE;
            });
    }
    return -1;
}

// False, with the names of all cases in `error`, when --case matches none but the copy.
bool CaseMatches(const std::vector<BenchCase>& cases, const std::string& only_case, std::string& error) {
    if (std::any_of(cases.begin() + 1, cases.end(),
                    [&](const BenchCase& c) { return c.name.find(only_case) != std::string::npos; })) {
        return true;
    }
    std::string names;
    for (auto c = cases.begin() + 1; c != cases.end(); ++c) names += (names.empty() ? "\"" : "; \"") + c->name + "\"";
    error = "--case \"" + only_case + "\" matches none of: " + names;
    return false;
}

// The frames a format's cases render: the --size one and the small one.
struct BenchFrames {
    World& input;
    World& output;
    World& small_input;
    World& small_output;
};

// One line per case at one thread count: the call floor, then the copy, which the "x copy"
// column divides by, then the cases; "x floor" divides by the call floor. A small-frame case
// is divided per pixel: its time for each pixel against the copy's and the floor's.
int TimeCases(hostsim::Host& host, const BenchOptions& options, const std::vector<BenchCase>& cases,
              const BenchFrames& frames, unsigned threads) {
    World& input = frames.input;
    World& output = frames.output;
    const double megapixels = static_cast<double>(options.size.h) * options.size.v / 1e6;
    const double small_megapixels = static_cast<double>(kSmallFrame.h) * kSmallFrame.v / 1e6;
    std::string error;
    host.SetIterationThreads(threads);
    host.ParamsSetup();
    const double floor_ms = TimeCallFloor(host, input, output, options.frames);
    if (floor_ms <= 0) return Fail(kCommand, "the call floor's iteration failed", kExitFailure);
    double copy_ms = 0;
    for (const BenchCase& bench_case : cases) {
        const bool is_copy = copy_ms == 0;
        if (!is_copy && bench_case.name.find(options.only_case) == std::string::npos) continue;
        host.ParamsSetup();
        for (const Setting& setting : bench_case.settings) {
            if (!host.params().Set(setting.index, setting.value, error)) {
                return Fail(kCommand, error + " (case " + bench_case.name + ")", kExitFailure);
            }
        }
        const double case_megapixels = bench_case.small_frame ? small_megapixels : megapixels;
        const double per_pixel = megapixels / case_megapixels;  // the --size frame's pixels over the case's
        const double ms = bench_case.small_frame
                              ? TimeCase(host, frames.small_input, frames.small_output, options.frames,
                                         std::clamp(per_pixel, 1.0, 1000.0))
                              : TimeCase(host, input, output, options.frames, 1);
        if (ms < 0) return Fail(kCommand, "the render failed in case " + bench_case.name, kExitFailure);
        if (copy_ms == 0) {
            copy_ms = ms;
            std::printf("%-8s %-7u %-38s %10.3f %10.1f %9.1f %9.1f\n", hostsim::WorldFormatName(input.format()),
                        threads, "call floor (copying pixel)", floor_ms, megapixels / (floor_ms / 1000.0),
                        floor_ms / copy_ms, 1.0);
        }
        std::printf("%-8s %-7u %-38s %10.3f %10.1f %9.1f %9.1f\n", hostsim::WorldFormatName(input.format()), threads,
                    bench_case.name.c_str(), ms, case_megapixels / (ms / 1000.0), ms * per_pixel / copy_ms,
                    ms * per_pixel / floor_ms);
        std::fflush(stdout);
    }
    return kExitOk;
}

// Every case of one pixel format, in the host that renders it; the table's head before the first.
int BenchFormat(const BenchOptions& options, WorldFormat format) {
    SessionOptions session_options;
    session_options.host = hostsim::HostOfFormat(format);
    session_options.plugin_path = options.plugin_path;
    Session session;
    std::string error;
    if (!OpenSession(session_options, session, error)) return Fail(kCommand, error, kExitFailure);
    hostsim::Host& host = *session.instruments;
    const std::vector<BenchCase> cases = Cases(options.size.h, options.size.v, host.params());
    if (!CaseMatches(cases, options.only_case, error)) return Fail(kCommand, error, kExitUsage);
    if (format == options.formats.front()) {  // once the case names are known good
        std::printf("%dx%d frames, median of %ld, %.2f MP per frame\n\n", options.size.h, options.size.v,
                    options.frames, static_cast<double>(options.size.h) * options.size.v / 1e6);
        std::printf("%-8s %-7s %-38s %10s %10s %9s %9s\n", "format", "threads", "case", "ms/frame", "MP/s", "x copy",
                    "x floor");
    }
    World input(format, options.size.h, options.size.v);
    World output(format, options.size.h, options.size.v);
    World small_input(format, kSmallFrame.h, kSmallFrame.v);
    World small_output(format, kSmallFrame.h, kSmallFrame.v);
    FillPattern(input);
    FillPattern(small_input);
    for (unsigned threads : options.thread_counts) {
        if (const int code = TimeCases(host, options, cases, {input, output, small_input, small_output}, threads)) {
            return code;
        }
    }
    return kExitOk;
}

}  // namespace

int RunBench(const std::vector<std::string>& args) {
    BenchOptions options;
    CommandLine command_line(kCommand, "", kDescription);
    command_line
        .Option("size", "WIDTHxHEIGHT", "frame size (default 3840x2160)", options.size,
                Worded(ParseFrameSize, [](const std::string&) { return "--size needs WIDTHxHEIGHT such as 3840x2160"; }))
        .Option("threads", "LIST", "comma-separated thread counts (default 1,2)", options.thread_counts,
                Worded(ParseThreadList, [](const std::string&) { return "--threads needs a list of numbers such as 1,2"; }))
        .Option("frames", "N", "frames timed per case, after one warm-up (default 5)", options.frames,
                Worded(ParseFrameCount, [](const std::string&) { return "--frames needs a number from 1"; }))
        .Option("format", "LIST", "comma-separated pixel formats (default argb8,argb16,bgra8,bgra32f)", options.formats,
                Worded(ParseFormatList,
                       [](const std::string&) { return "--format needs a list of argb8, argb16, bgra8, bgra32f"; }))
        .Option("case", "TEXT", "only the cases whose name contains TEXT (the copy is always timed)", options.only_case)
        .Option("plugin", "PATH", "plug-in library (default: QX_Vignette.so beside qxv)", options.plugin_path);
    if (const auto done = command_line.Parse(args)) return *done;
    if (!command_line.arguments().empty()) {
        return Fail(kCommand, "takes no file arguments (see qxv bench --help)", kExitUsage);
    }
    for (WorldFormat format : options.formats) {
        if (const int code = BenchFormat(options, format)) return code;
    }
    return kExitOk;
}

}  // namespace qxv::cli
