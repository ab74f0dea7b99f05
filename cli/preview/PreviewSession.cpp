#include "cli/preview/PreviewSession.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "hostsim/instruments/OverlayEvents.h"
#include "hostsim/instruments/Json.h"
#include "hostsim/Params.h"
#include "cli/HostReport.h"

namespace qxv::cli {

namespace {

using hostsim::World;

const char kCommand[] = "preview";
constexpr int kHandleReach = 16;  // the hit test's city-block reach

// The layer at 1/n of its size, each pixel the mean of the n x n it stands for. Both hosts'
// 8-bit layouts hold one byte per channel, so the bytes are averaged position by position.
std::unique_ptr<World> Downsampled(const World& layer, int n) {
    const A_long width = (layer.width() + n - 1) / n, height = (layer.height() + n - 1) / n;
    auto small = std::make_unique<World>(layer.format(), width, height);
    for (A_long y = 0; y < height; ++y) {
        for (A_long x = 0; x < width; ++x) {
            unsigned sum[4] = {0, 0, 0, 0}, count = 0;
            for (A_long sy = y * n; sy < std::min<A_long>((y + 1) * n, layer.height()); ++sy) {
                for (A_long sx = x * n; sx < std::min<A_long>((x + 1) * n, layer.width()); ++sx) {
                    const std::uint8_t* p = layer.Pixel(sx, sy);
                    for (int k = 0; k < 4; ++k) sum[k] += p[k];
                    ++count;
                }
            }
            std::uint8_t* q = small->Pixel(x, y);
            for (int k = 0; k < 4; ++k) q[k] = static_cast<std::uint8_t>((sum[k] + count / 2) / count);
        }
    }
    return small;
}

// After each command: findings as warnings, the host calls with --trace, and a trace that
// does not grow for as long as the window stays open.
void AfterCommand(PreviewSession& preview) {
    hostsim::Host& host = preview.workspace.host();
    WarnViolations(kCommand, host);
    if (preview.options.trace) PrintTrace(std::cerr, host);
    host.trace().Clear();
}

std::string ParamValuesText(const hostsim::ParamStore& store) { return hostsim::DumpJson(hostsim::ParamValuesJson(store)); }

std::string Exact(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// The value in the form `--set` reads back to the same raw value.
std::string SetText(const hostsim::RegisteredParam& param) {
    return hostsim::VisitParam(
        param, hostsim::Overloaded{
                   [](const PF_FloatSliderDef& d) { return Exact(d.value); },
                   [](const PF_FixedSliderDef& d) { return Exact(d.value / 65536.0); },
                   [](const PF_AngleDef& d) { return Exact(d.value / 65536.0); },
                   [](const PF_PointDef& d) { return Exact(d.x_value / 65536.0) + "," + Exact(d.y_value / 65536.0); },
                   [](const PF_ColorDef& d) {
                       char text[8];
                       std::snprintf(text, sizeof text, "#%02x%02x%02x", d.value.red, d.value.green, d.value.blue);
                       return std::string(text);
                   },
                   [&](const PF_PopupDef& d) {
                       return d.value >= 1 && d.value <= static_cast<long>(param.choices.size())
                                  ? param.choices[d.value - 1]
                                  : std::to_string(d.value);
                   },
                   [](const PF_CheckBoxDef& d) { return std::string(d.value ? "on" : "off"); },
                   [](PF_ParamType) { return std::string(); },
               });
}

std::string ShellWord(const std::string& text) {
    if (!text.empty() && text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                                                "_./,=#:+-%@") == std::string::npos) {
        return text;
    }
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ZoomText(const hostsim::Zoom& zoom) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g %%", zoom.value() * 100);
    return text;
}

}  // namespace

bool OpenPreview(const OverlayOptions& options, PreviewSession& preview, std::string& error) {
    preview.options = options;
    return OpenOverlayWorkspace(options, preview.workspace, error);
}

bool RenderPreview(PreviewSession& preview, int downsample, std::string& error) {
    OverlayWorkspace& workspace = preview.workspace;
    hostsim::Host& host = workspace.host();
    World* input = workspace.layer.get();
    if (downsample > 1) {
        if (!preview.small_layer) preview.small_layer = Downsampled(*workspace.layer, downsample);
        input = preview.small_layer.get();
    }
    if (!preview.frame || preview.frame->width() != input->width() || preview.frame->height() != input->height() ||
        preview.frame->format() != input->format()) {
        preview.frame = std::make_unique<World>(input->format(), input->width(), input->height());
    }
    hostsim::RenderSettings settings = workspace.settings;
    settings.downsample_x = settings.downsample_y = PF_RationalScale{1, static_cast<A_u_long>(downsample)};

    const auto start = std::chrono::steady_clock::now();
    const PF_Err err = hostsim::RenderFrame(host, *input, *preview.frame, settings);
    preview.render_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    preview.frame_downsample = downsample;
    AfterCommand(preview);
    if (err) {
        error = "the plug-in answered PF_Cmd_RENDER with " + ErrorText(err);
        const std::string message = DisplayedMessage(host.out_data());
        if (!message.empty()) error += ": \"" + message + "\"";
        return false;
    }
    return true;
}

bool DrawPreviewOverlay(PreviewSession& preview, std::string& error) {
    const PF_Err err = preview.workspace.events->Draw();
    AfterCommand(preview);
    preview.drawn_handles = hostsim::DrawnHandlePositions(preview.workspace.events->drawbot().strokes());
    if (err) error = "the plug-in answered the draw event with " + ErrorText(err);
    return !err;
}

bool PressMouse(PreviewSession& preview, PF_Point at, std::string& error) {
    hostsim::EventSession& events = *preview.workspace.events;
    const PF_Err err = events.Click(at);
    AfterCommand(preview);
    preview.holding = !err && events.drag_requested();
    if (err) error = "the plug-in answered the click with " + ErrorText(err);
    return !err;
}

bool DragMouse(PreviewSession& preview, PF_Point at, bool release, bool& changed, std::string& error) {
    hostsim::EventSession& events = *preview.workspace.events;
    const hostsim::ParamStore& store = preview.workspace.host().params();
    const std::string before = ParamValuesText(store);
    const PF_Err err = events.Drag(at, release);
    AfterCommand(preview);
    changed = ParamValuesText(store) != before;
    preview.holding = !err && !release && events.drag_requested();
    if (err) error = "the plug-in answered the drag event with " + ErrorText(err);
    return !err;
}

int HandleNear(const PreviewSession& preview, PF_Point at) {
    for (std::size_t i = 0; i < preview.drawn_handles.size(); ++i) {
        const PF_Point& handle = preview.drawn_handles[i];
        if (std::abs(handle.h - at.h) + std::abs(handle.v - at.v) < kHandleReach) return static_cast<int>(i) + 1;
    }
    return 0;
}

void SetPreviewView(PreviewSession& preview, const hostsim::OverlayView& view) {
    preview.workspace.view = view;
    OpenEvents(preview.workspace);
}

bool SwitchPreviewHost(PreviewSession& preview, std::string& error) {
    OverlayOptions options = preview.options;
    options.session.host = preview.workspace.host().is_premiere() ? hostsim::HostApp::kAfterEffects
                                                                    : hostsim::HostApp::kPremierePro;
    OverlayWorkspace next;
    if (!OpenOverlayWorkspace(options, next, error)) return false;
    const hostsim::ParamStore& from = preview.workspace.host().params();
    hostsim::ParamStore& to = next.host().params();
    if (from.count() != to.count()) {
        error = "the plug-in registered other parameters in the other host";
        return false;
    }
    for (int i = 1; i <= to.count(); ++i) to.Param(i).def.u = from.Param(i).def.u;

    // The old workspace goes after the new one is in place, its event session before its host.
    OverlayWorkspace old = std::move(preview.workspace);
    preview.workspace = std::move(next);
    preview.options = options;
    preview.small_layer.reset();
    preview.frame.reset();
    SetPreviewView(preview, old.view);
    preview.workspace.host().UpdateParamsUI();
    AfterCommand(preview);
    return true;
}

bool StepParam(PreviewSession& preview, int index, int step, std::string& error) {
    hostsim::Host& host = preview.workspace.host();
    if (index < 1 || index > host.params().count()) {
        error = "the plug-in registered no parameter " + std::to_string(index);
        return false;
    }
    hostsim::RegisteredParam& param = host.params().Param(index);
    if (param.def.param_type == PF_Param_POPUP && !param.choices.empty()) {
        const long count = static_cast<long>(param.choices.size());
        param.def.u.pd.value = static_cast<PF_ParamValue>(((param.def.u.pd.value - 1 + step) % count + count) % count + 1);
    } else if (param.def.param_type == PF_Param_CHECKBOX) {
        param.def.u.bd.value = !param.def.u.bd.value;
    } else {
        error = "\"" + param.shown_name + "\" is neither a popup nor a checkbox";
        return false;
    }
    // A supervised parameter tells the plug-in, which may grey out or rename others.
    if (param.def.flags & PF_ParamFlag_SUPERVISE) {
        const PF_Err err = host.UpdateParamsUI();
        AfterCommand(preview);
        if (err) {
            error = "the plug-in answered PF_Cmd_UPDATE_PARAMS_UI with " + ErrorText(err);
            return false;
        }
    }
    return true;
}

std::string PreviewStatus(const PreviewSession& preview) {
    const OverlayWorkspace& workspace = preview.workspace;
    const hostsim::ParamStore& store = workspace.session.host->params();
    std::string text = std::string(hostsim::HostAppName(workspace.session.host->app())) + ", " +
                       (workspace.view.window == PF_Window_COMP ? "composition" : "layer") + " window " +
                       ZoomText(workspace.view.zoom);
    bool first = true;
    for (int i = 1; i <= store.count(); ++i) {
        const hostsim::RegisteredParam& param = store.Param(i);
        if (param.def.param_type == PF_Param_LAYER) continue;
        std::string value = param.def.param_type == PF_Param_POPUP ? SetText(param) : hostsim::FormatParamValue(param);
        if (param.def.ui_flags & PF_PUI_DISABLED) value += " (off)";
        text += (first ? " | " : ", ") + param.shown_name + " " + value;
        first = false;
    }
    return text;
}

std::string PreviewParamsJson(const PreviewSession& preview) {
    const hostsim::Json json = {{"host", hostsim::HostAppName(preview.workspace.session.host->app())},
                                {"params", hostsim::ParamValuesJson(preview.workspace.session.host->params())}};
    return hostsim::DumpJson(json);
}

std::string RenderCommandLine(const PreviewSession& preview, const std::string& output,
                              std::vector<std::string>& notes) {
    const OverlayWorkspace& workspace = preview.workspace;
    const hostsim::ParamStore& store = workspace.session.host->params();
    std::string line = "qxv render";
    if (workspace.session.host->is_premiere()) line += " --host premiere";
    const PF_RationalScale& aspect = workspace.settings.pixel_aspect_ratio;
    if (aspect.num != static_cast<A_long>(aspect.den)) {
        line += " --pixel-aspect " + std::to_string(aspect.num) + "/" + std::to_string(aspect.den);
    }
    if (workspace.settings.quality == PF_Quality_LO) line += " --quality low";
    for (int i = 1; i <= store.count(); ++i) {
        const hostsim::RegisteredParam& param = store.Param(i);
        if (param.def.param_type == PF_Param_LAYER) continue;
        // The point's default is a place in percent, so it is always given.
        if (param.def.param_type != PF_Param_POINT &&
            hostsim::ParamValueJson(param) == hostsim::ParamDefaultJson(param)) {
            continue;
        }
        const std::string text = SetText(param);
        PF_ParamDefUnion parsed = param.def.u;
        std::string refusal;
        if (!hostsim::ParseParamValue(param, text, parsed, refusal)) notes.push_back(refusal);
        line += " --set " + ShellWord(param.registered_name + "=" + text);
    }
    const std::string& input = preview.options.input;
    if (input.empty()) notes.push_back("the layer is a blank --size layer: qxv render needs it as an image");
    return line + " " + ShellWord(input.empty() ? "INPUT" : input) + " " + ShellWord(output);
}

}  // namespace qxv::cli
