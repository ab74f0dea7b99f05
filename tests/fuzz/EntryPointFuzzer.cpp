// libFuzzer driver: the fuzzed bytes play a host talking to the loaded plug-in through
// EntryPointFunc. They choose After Effects or Premiere Pro, then a sequence of steps:
// commands (the known ones and any other code), parameter values of every kind (NaN, the
// infinities, huge and negative numbers, popups out of range), frames of any size and format
// with minimal or padded rows and extent hints anywhere, downsampling and pixel aspect ratios
// including 0, overlay events in every window type with garbage click data, and host calls
// armed to fail. After every step it checks what a host would suffer from: a sanitizer
// report ends the run by itself; the host's own findings (suites, pens or paths not given
// back exactly once, an exception across the entry, ...), a write outside a world's image,
// a change to the input frame, and a float frame turned non-finite by ordinary finite inputs
// abort it.
//
//     qxv_fuzz_entry -runs=100000 tests/fuzz/corpus           # QXV_FUZZ_PLUGIN overrides the library
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "FuzzValues.h"
#include "hostsim/instruments/Host.h"
#include "hostsim/instruments/OverlayEvents.h"
#include "hostsim/PluginLibrary.h"
#include "hostsim/StandardSuites.h"
#include "hostsim/World.h"

namespace qxv::fuzz {
namespace {

using hostsim::EventSession;
using hostsim::Host;
using hostsim::HostApp;
using hostsim::World;
using hostsim::WorldFormat;

constexpr int kMaxSteps = 24;
// Float channels up to this magnitude must come out finite. The blend formulas scale a
// channel by at most 255 (the fill colour has 8-bit channels) and the hue-based modes stay in
// range once hue and saturation are finite, so only channels near the end of the float range
// can overflow there, as plain IEEE arithmetic would; no host hands such frames over.
constexpr float kOrdinaryChannel = 1e6f;
constexpr A_long kMaxSide = 48;

PF_EntryPointFunc Entry() {
    static std::unique_ptr<hostsim::PluginLibrary> library = [] {
        const char* path = std::getenv("QXV_FUZZ_PLUGIN");
        std::string error;
        auto loaded = hostsim::PluginLibrary::Load(path ? path : QXV_PLUGIN_PATH, error);
        if (!loaded) {
            std::fprintf(stderr, "qxv_fuzz_entry: %s\n", error.c_str());
            std::abort();
        }
        return loaded;
    }();
    return library->entry();
}

[[noreturn]] void Finding(const std::string& what) {
    std::fprintf(stderr, "qxv_fuzz_entry: %s\n", what.c_str());
    std::abort();
}

// Every host call the simulated host lets fail, by the name its failure rules use.
const char* const kFailableCalls[] = {
    "AcquireSuite", "ReleaseSuite", "add_param", "register_ui", "PF_UpdateParamUI", "abort", "progress",
    "iterate", "iterate16", "copy", "copy_hq", "utils copy", "GetPixelFormat", "AddSupportedPixelFormat",
    "ClearSupportedPixelFormats", "layer_to_comp", "comp_to_layer", "source_to_frame", "frame_to_source",
    "PF_GetDrawingReference", "PF_GetPreferredForegroundColor", "PF_StrokePath", "GetSupplier", "GetSurface",
    "NewPen", "NewPath", "ReleaseObject", "MoveTo", "LineTo", "AddArc", "Close", "StrokePath", "stroke",
};

const char* const kSuites[] = {
    "PF ANSI Suite", "PF Param Utils Suite", "PF Iterate8 Suite", "PF iterate16 Suite", "PF World Transform Suite",
    "PF Effect Custom UI Suite", "PF Effect Custom UI Overlay Theme Suite", "PF Pixel Format Suite",
    "DRAWBOT Draw Suite", "DRAWBOT Supplier Suite", "DRAWBOT Surface Suite", "DRAWBOT Path Suite",
};

template <class T, std::size_t N>
const T& Pick(FuzzedDataProvider& in, const T (&table)[N]) {
    return table[in.ConsumeIntegralInRange<std::size_t>(0, N - 1)];
}

// The host library's host driven by the fuzzer's bytes: which commands, in which order, with which values.
class FuzzedSession {
public:
    FuzzedSession(FuzzedDataProvider& in) : in_(in), host_(in.ConsumeBool() ? HostApp::kPremierePro : HostApp::kAfterEffects, Entry()) {
        host_.SetIterationThreads(1);
    }

    void Run() {
        Check("GlobalSetup", host_.GlobalSetup());
        Check("ParamsSetup", host_.ParamsSetup());
        for (int step = 0; step < kMaxSteps && in_.remaining_bytes() > 0; ++step) Step();
    }

private:
    // A host sends the effect's commands with every parameter it registered.
    bool HasParams() { return host_.params().count() >= 13; }

    void Step() {
        switch (in_.ConsumeIntegralInRange(0, 15)) {
            case 0: Check("About", host_.About()); break;
            case 1: Check("GlobalSetup", host_.GlobalSetup()); break;
            case 2: Check("ParamsSetup", host_.ParamsSetup()); break;
            case 3:
                if (HasParams()) Check("UpdateParamsUI", host_.UpdateParamsUI());
                break;
            case 4:
            case 5: Render(); break;
            case 6: Event(PF_Event_DRAW); break;
            case 7: Event(PF_Event_DO_CLICK); break;
            case 8: Event(PF_Event_DRAG); break;
            case 9: OddEvent(); break;
            case 10: OtherCommand(); break;
            case 11:
            case 12: SetParam(); break;
            case 13: ArmFailure(); break;
            case 14:
                host_.failures().Clear();
                host_.SetBasicSuiteAvailable(in_.ConsumeIntegralInRange(0, 7) != 0);
                break;
            case 15: OpenWindow(); break;
        }
    }

    // The host's own findings about the last command.
    void Check(const char* what, PF_Err) {
        if (!host_.AllViolations().empty()) Finding(std::string(what) + ": " + host_.AllViolations().front());
    }

    void ArmFailure() {
        auto& failures = host_.failures();
        switch (in_.ConsumeIntegralInRange(0, 3)) {
            case 0:
                failures.FailSuite(Pick(in_, kSuites), 0,
                                   in_.ConsumeBool() ? hostsim::SuiteFailure::kError : hostsim::SuiteFailure::kNullWithSuccess);
                break;
            default: {
                const PF_Err codes[] = {PF_Err_OUT_OF_MEMORY, PF_Err_INTERNAL_STRUCT_DAMAGED, PF_Err_BAD_CALLBACK_PARAM,
                                        -1, 27, in_.ConsumeIntegral<PF_Err>()};
                failures.FailCall(Pick(in_, kFailableCalls), in_.ConsumeIntegralInRange(0, 12), Pick(in_, codes));
                break;
            }
        }
    }

    void SetParam() {
        if (!HasParams()) return;
        PF_ParamDef& def = host_.params().Param(in_.ConsumeIntegralInRange(1, host_.params().count())).def;
        switch (def.param_type) {
            case PF_Param_POPUP: def.u.pd.value = EdgyInt32(in_, -1, def.u.pd.num_choices + 2); break;
            case PF_Param_CHECKBOX: def.u.bd.value = EdgyInt32(in_, 0, 2); break;
            case PF_Param_POINT:
                def.u.td.x_value = EdgyFixed(in_, -200, 600);
                def.u.td.y_value = EdgyFixed(in_, -200, 600);
                break;
            case PF_Param_ANGLE: def.u.ad.value = EdgyFixed(in_, -720, 720); break;
            case PF_Param_FIX_SLIDER: def.u.fd.value = EdgyFixed(in_, -10, 110); break;
            case PF_Param_FLOAT_SLIDER: def.u.fs_d.value = EdgyDouble(in_, -50.0, 4000.0); break;
            case PF_Param_COLOR:
                def.u.cd.value = PF_Pixel{in_.ConsumeIntegral<A_u_char>(), in_.ConsumeIntegral<A_u_char>(),
                                          in_.ConsumeIntegral<A_u_char>(), in_.ConsumeIntegral<A_u_char>()};
                break;
            default: break;
        }
    }

    static std::string DescribePixel(const World& world, A_long x, A_long y) {
        if (x >= world.width() || y >= world.height()) return "no input pixel there";
        const float* p = reinterpret_cast<const float*>(world.Row(y)) + 4 * x;
        char text[120];
        std::snprintf(text, sizeof text, "input b,g,r,a %.9g,%.9g,%.9g,%.9g", p[0], p[1], p[2], p[3]);
        return text;
    }

    // The view and every parameter value, for a finding's message.
    std::string Describe(const hostsim::RenderSettings& settings) {
        const auto ratio = [](const PF_RationalScale& r) { return std::to_string(r.num) + "/" + std::to_string(r.den); };
        std::string text = "downsample " + ratio(settings.downsample_x) + " x " + ratio(settings.downsample_y) +
                           ", pixel aspect " + ratio(settings.pixel_aspect_ratio);
        for (int index = 1; index <= host_.params().count(); ++index) {
            const PF_ParamDef& def = host_.params().Param(index).def;
            text += "; " + std::string(def.name) + " ";
            switch (def.param_type) {
                case PF_Param_POPUP: text += std::to_string(def.u.pd.value); break;
                case PF_Param_CHECKBOX: text += std::to_string(def.u.bd.value); break;
                case PF_Param_POINT:
                    text += std::to_string(def.u.td.x_value) + "," + std::to_string(def.u.td.y_value);
                    break;
                case PF_Param_ANGLE: text += std::to_string(def.u.ad.value); break;
                case PF_Param_FIX_SLIDER: text += std::to_string(def.u.fd.value); break;
                case PF_Param_FLOAT_SLIDER: {
                    char value[40];
                    std::snprintf(value, sizeof value, "%.17g", def.u.fs_d.value);
                    text += value;
                    break;
                }
                case PF_Param_COLOR:
                    text += std::to_string(def.u.cd.value.red) + "," + std::to_string(def.u.cd.value.green) + "," +
                            std::to_string(def.u.cd.value.blue);
                    break;
                default: break;
            }
        }
        return text;
    }

    bool ParamsFinite() {
        for (int index = 1; index <= host_.params().count(); ++index) {
            const PF_ParamDef& def = host_.params().Param(index).def;
            if (def.param_type == PF_Param_FLOAT_SLIDER && !std::isfinite(def.u.fs_d.value)) return false;
        }
        return true;
    }

    World MakeWorld(WorldFormat format, A_long width, A_long height) {
        // 0: the tightest rows a host may give; otherwise any padding that keeps the channels
        // aligned (whole 4-byte steps, not always whole pixels).
        const std::size_t padding = in_.ConsumeBool() ? 0 : 4 * in_.ConsumeIntegralInRange<std::size_t>(1, 16);
        return World(format, width, height, padding);
    }

    A_long Side() {
        switch (in_.ConsumeIntegralInRange(0, 15)) {
            case 0: return 0;
            case 1: return 1;
            case 2: return in_.ConsumeIntegralInRange<A_long>(200, 1500);  // a long thin strip with a side of 1
            default: return in_.ConsumeIntegralInRange<A_long>(1, kMaxSide);
        }
    }

    void Render() {
        if (!HasParams()) return;
        const bool deep = in_.ConsumeBool();
        const WorldFormat format = host_.is_premiere() ? (deep ? WorldFormat::kBgraFloat : WorldFormat::kBgra8)
                                                       : (deep ? WorldFormat::kArgb16 : WorldFormat::kArgb8);
        A_long width = Side(), height = Side();
        if (width > kMaxSide && height > kMaxSide) height = 1;
        World output = MakeWorld(format, width, height);
        // The input usually matches the output; a host may also hand over a layer of another size.
        const bool same_size = in_.ConsumeIntegralInRange(0, 3) != 0;
        World input = MakeWorld(format, same_size ? width : in_.ConsumeIntegralInRange<A_long>(0, kMaxSide),
                                same_size ? height : in_.ConsumeIntegralInRange<A_long>(0, kMaxSide));
        const bool wild_pixels = in_.ConsumeIntegralInRange(0, 3) == 0;
        bool ordinary_input = true;
        for (A_long y = 0; y < input.height(); ++y) {
            std::uint8_t* row = input.Row(y);
            if (format == WorldFormat::kBgraFloat) {
                for (A_long i = 0; i < input.width() * 4; ++i) {
                    const float value = Channel(in_, wild_pixels);
                    ordinary_input = ordinary_input && std::fabs(value) <= kOrdinaryChannel;
                    std::memcpy(row + i * sizeof(float), &value, sizeof value);
                }
            } else {
                for (std::size_t i = 0; i < input.image_row_bytes(); ++i) row[i] = in_.ConsumeIntegral<std::uint8_t>();
            }
        }
        if (in_.ConsumeBool()) {
            output.SetExtentHint(PF_LRect{EdgyInt32(in_, -8, kMaxSide + 8), EdgyInt32(in_, -8, kMaxSide + 8),
                                          EdgyInt32(in_, -8, kMaxSide + 8), EdgyInt32(in_, -8, kMaxSide + 8)});
        }
        hostsim::RenderSettings settings;
        settings.downsample_x = EdgyRatio(in_);
        settings.downsample_y = EdgyRatio(in_);
        settings.pixel_aspect_ratio = EdgyRatio(in_);
        settings.quality = in_.ConsumeIntegralInRange<PF_Quality>(-1, 2);
        if (host_.is_premiere() && in_.ConsumeIntegralInRange(0, 15) == 0) {
            settings.pixel_format = in_.ConsumeIntegral<PrPixelFormat>();  // one it never registered
        }
        const auto input_before = input.PackedPixels();

        Check("Render", hostsim::RenderFrame(host_, input, output, settings));

        if (!output.GuardsIntact()) Finding("Render wrote outside the output world's image");
        if (!input.GuardsIntact() || input.PackedPixels() != input_before) Finding("Render changed the input frame");
        const bool finite_view = FiniteRatio(settings.downsample_x) && FiniteRatio(settings.downsample_y) &&
                                 FiniteRatio(settings.pixel_aspect_ratio);
        if (format == WorldFormat::kBgraFloat && ordinary_input && finite_view && ParamsFinite()) {
            for (A_long y = 0; y < output.height(); ++y) {
                const float* row = reinterpret_cast<const float*>(output.Row(y));
                for (A_long i = 0; i < output.width() * 4; ++i) {
                    if (!std::isfinite(row[i])) {
                        Finding("Render made a non-finite float channel from ordinary inputs at x " +
                                std::to_string(i / 4) + ", y " + std::to_string(y) + " of " +
                                std::to_string(output.width()) + "x" + std::to_string(output.height()) + "; " +
                                DescribePixel(input, i / 4, y) + "; " + Describe(settings));
                    }
                }
            }
        }
    }

    void OpenWindow() {
        hostsim::OverlayView view;
        const PF_WindowType windows[] = {PF_Window_COMP, PF_Window_LAYER, PF_Window_EFFECT};
        view.window = Pick(in_, windows);
        view.zoom = hostsim::Zoom{in_.ConsumeIntegralInRange<std::int64_t>(1, 16), in_.ConsumeIntegralInRange<std::int64_t>(1, 16)};
        view.layer_offset = PF_Point{in_.ConsumeIntegralInRange<A_long>(-500, 500), in_.ConsumeIntegralInRange<A_long>(-500, 500)};
        view.scroll = PF_Point{in_.ConsumeIntegralInRange<A_long>(-500, 500), in_.ConsumeIntegralInRange<A_long>(-500, 500)};
        const PF_Point layer{in_.ConsumeIntegralInRange<A_long>(0, 4000), in_.ConsumeIntegralInRange<A_long>(0, 4000)};
        session_.reset();
        session_ = std::make_unique<EventSession>(host_, view, layer);
        session_->drawbot().gives_drawing_reference = in_.ConsumeIntegralInRange(0, 7) != 0;
    }

    EventSession& Session() {
        if (!session_) session_ = std::make_unique<EventSession>(host_, hostsim::OverlayView{}, PF_Point{480, 270});
        return *session_;
    }

    PF_Point Mouse() {
        return PF_Point{in_.ConsumeIntegralInRange<A_long>(-100, 1100), in_.ConsumeIntegralInRange<A_long>(-100, 700)};
    }

    void Event(PF_EventType type) {
        if (!HasParams()) return;
        EventSession& session = Session();
        switch (type) {
            case PF_Event_DRAW: Check("draw", session.Draw()); break;
            case PF_Event_DO_CLICK: Check("click", session.Click(Mouse())); break;
            default: Check("drag", session.Drag(Mouse(), in_.ConsumeBool())); break;
        }
    }

    // Events no well-behaved host sends: any type, with click data made up (a continue_refcon
    // the plug-in never wrote, send_drag already set on a first click...).
    void OddEvent() {
        if (!HasParams()) return;
        EventSession& session = Session();
        PF_DoClickEventInfo& click = session.mutable_click_data();
        click.screen_point = Mouse();
        click.num_clicks = in_.ConsumeIntegralInRange<A_long>(0, 3);
        click.modifiers = in_.ConsumeIntegral<A_long>();
        if (in_.ConsumeBool()) {
            for (A_intptr_t& word : click.continue_refcon) {
                word = in_.ConsumeBool() ? in_.ConsumeIntegralInRange<A_intptr_t>(-2, 12) : in_.ConsumeIntegral<A_intptr_t>();
            }
        }
        click.send_drag = in_.ConsumeBool();
        click.last_time = in_.ConsumeBool();
        const PF_EventType type = in_.ConsumeBool() ? in_.ConsumeIntegralInRange<PF_EventType>(0, 10)
                                                    : in_.ConsumeIntegral<PF_EventType>();
        Check("event", session.SendAsIs(type));
    }

    // Any command code, the known ones included, with the records a host would pass or none.
    void OtherCommand() {
        const PF_Cmd cmd = in_.ConsumeBool() ? in_.ConsumeIntegralInRange<PF_Cmd>(0, 30) : in_.ConsumeIntegral<PF_Cmd>();
        host_.ResetOutData();
        if (HasParams() && in_.ConsumeBool()) {
            Check("command", host_.SendWithParams(cmd, nullptr));
        } else {
            Check("command", host_.Send(cmd));
        }
        // A parameter set-up sent this way appends a second set; the host keeps what it learnt.
    }

    FuzzedDataProvider& in_;
    Host host_;
    std::unique_ptr<EventSession> session_;
};

}  // namespace
}  // namespace qxv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    qxv::fuzz::FuzzedSession session(in);
    session.Run();
    return 0;
}
