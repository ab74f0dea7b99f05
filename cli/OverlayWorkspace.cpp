#include "OverlayWorkspace.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>

#include "Commands.h"
#include "ImageFiles.h"
#include "PendingFile.h"
#include "hostsim/PointDefaults.h"
#include "RawStream.h"
#include "RenderSettingsParse.h"

namespace qxv::cli {

namespace {

using hostsim::World;
using hostsim::WorldFormat;

constexpr float kPasteboard = 0.23f;   // the window's grey around what it shows
constexpr float kComposition = 0.05f;  // an empty composition is near black

// The 8-bit layout the host hands frames in.
WorldFormat LayerFormat(hostsim::HostApp app) {
    return app == hostsim::HostApp::kPremierePro ? WorldFormat::kBgra8 : WorldFormat::kArgb8;
}

// Straight RGBA of one 8-bit pixel, whichever host's layout.
void ReadPixel(const World& world, A_long x, A_long y, float rgba[4]) {
    const std::uint8_t* p = world.Pixel(x, y);
    const bool bgra = world.format() == WorldFormat::kBgra8;
    rgba[0] = (bgra ? p[2] : p[1]) / 255.0f;
    rgba[1] = (bgra ? p[1] : p[2]) / 255.0f;
    rgba[2] = (bgra ? p[0] : p[3]) / 255.0f;
    rgba[3] = (bgra ? p[3] : p[0]) / 255.0f;
}

void Fill(hostsim::RgbaPicture& picture, int x0, int y0, int x1, int y1, float grey) {
    for (int y = std::max(0, y0); y < std::min(picture.height, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(picture.width, x1); ++x) {
            float* px = picture.At(x, y);
            px[0] = px[1] = px[2] = grey;
            px[3] = 1;
        }
    }
}

}  // namespace

std::optional<int> ParseLayerCommandLine(CommandLine& command_line, const std::vector<std::string>& args,
                                         ParsedArgs& parsed) {
    if (const auto done = command_line.Parse(args, parsed)) return done;
    if (parsed.positional().size() != (parsed.Has("size") ? 0u : 1u)) {
        return Fail(command_line.command(),
                    parsed.Has("size") ? "with --size give no INPUT" : "give one INPUT image or --size", kExitUsage);
    }
    return std::nullopt;
}

CommandLine& AddOverlayOptions(CommandLine& command_line) {
    return command_line.HostOptions()
        .ParamOptions()
        .FailureOptions()
        .Option("size", "WIDTHxHEIGHT", "a blank layer of this size instead of an INPUT image")
        .Option("window", "comp|layer", "the window the overlay is shown in (default: layer)")
        .Option("zoom", "Z", "the window's zoom: 0.5, 2, 1/3, ... (default 1)")
        .Option("layer-offset", "X,Y", "composition window: the layer's top-left corner in the composition")
        .Option("scroll", "X,Y",
                "window pixels added after the zoom; a positive scroll leaves that margin on every side of the "
                "picture")
        .Option("pixel-aspect", "N/D", "pixel aspect ratio (default 1/1)")
        .Option("quality", "high|low", "render quality (default high)");
}

std::string OverlayOptionsSynopsis() {
    return "[--host ae|premiere] [--set NAME=VALUE]... [--pixel-aspect N/D] [--window comp|layer] [--zoom Z] "
           "[--layer-offset X,Y] [--scroll X,Y] (INPUT | --size WIDTHxHEIGHT)";
}

// Window and composition points reach the plug-in as 16.16 numbers, so a coordinate beyond
// 16 bits is refused rather than wrapped.
constexpr long kMaxCoordinate = 32767;

bool ParsePoint(const std::string& option, const std::string& text, PF_Point& point, std::string& error) {
    const char* const begin = text.c_str();
    char* comma = nullptr;
    char* end = nullptr;
    errno = 0;
    const long x = std::strtol(begin, &comma, 10);
    const bool x_read = comma != begin && *comma == ',';
    const long y = x_read ? std::strtol(comma + 1, &end, 10) : 0;
    if (!x_read || end == comma + 1 || *end != '\0' || errno == ERANGE || std::labs(x) > kMaxCoordinate ||
        std::labs(y) > kMaxCoordinate) {
        error = "--" + option + ": \"" + text + "\" is not a point X,Y in whole pixels from -32767 to 32767";
        return false;
    }
    point = {static_cast<A_long>(x), static_cast<A_long>(y)};
    return true;
}

bool OpenOverlayWorkspace(const ParsedArgs& args, const std::string& layer_argument, OverlayWorkspace& workspace,
                          std::string& error, bool& usage_error) {
    usage_error = true;
    if (layer_argument.empty() == !args.Has("size")) {
        error = "give the layer either as an INPUT image or as --size WIDTHxHEIGHT, not both or neither";
        return false;
    }
    const std::string window = args.Get("window", "layer");
    if (window != "comp" && window != "layer") {
        error = "--window must be comp or layer, not \"" + window + "\"";
        return false;
    }
    workspace.view.window = window == "comp" ? PF_Window_COMP : PF_Window_LAYER;
    if (args.Has("zoom") && !hostsim::ParseZoom(args.Get("zoom"), workspace.view.zoom, error)) return false;
    if (args.Has("layer-offset") && !ParsePoint("layer-offset", args.Get("layer-offset"), workspace.view.layer_offset, error)) {
        return false;
    }
    if (args.Has("layer-offset") && workspace.view.window != PF_Window_COMP) {
        error = "--layer-offset places the layer in the composition: use it with --window comp";
        return false;
    }
    if (args.Has("scroll") && !ParsePoint("scroll", args.Get("scroll"), workspace.view.scroll, error)) return false;
    unsigned threads = 0;
    if (!ParseRenderSettings(args, workspace.settings, threads, error)) return false;
    A_long width = 0, height = 0;
    if (args.Has("size")) {
        if (!ParseFrameSize(args.Get("size"), width, height, error)) return false;
        if (width > 8192 || height > 8192) {
            error = "--size: at most 8192x8192 for an overlay picture";
            return false;
        }
    }

    usage_error = false;
    if (!OpenSession(args, workspace.session, error)) return false;
    const hostsim::HostApp app = workspace.host().app();
    if (args.Has("size")) {
        workspace.layer = std::make_unique<World>(LayerFormat(app), width, height);
        // A blank layer: opaque mid grey, so that the vignette shows on it.
        for (A_long y = 0; y < height; ++y) {
            for (A_long x = 0; x < width; ++x) {
                std::uint8_t* p = workspace.layer->Pixel(x, y);
                p[0] = p[1] = p[2] = p[3] = 128;
                p[app == hostsim::HostApp::kPremierePro ? 3 : 0] = 255;
            }
        }
    } else {
        workspace.layer = ReadImage(layer_argument, LayerFormat(app), error);
        if (!workspace.layer) return false;
    }
    const PF_Point layer_size{workspace.layer->width(), workspace.layer->height()};

    hostsim::PlacePointDefaults(workspace.host().params(), layer_size.h, layer_size.v);
    workspace.events = std::make_unique<hostsim::EventSession>(workspace.host(), workspace.view, layer_size);
    workspace.events->SetInput(workspace.layer->def());
    workspace.host().in_data().pixel_aspect_ratio = workspace.settings.pixel_aspect_ratio;
    return true;
}

std::unique_ptr<World> RenderLayer(const char* command, OverlayWorkspace& workspace, std::string& error) {
    auto frame = std::make_unique<World>(workspace.layer->format(), workspace.layer->width(), workspace.layer->height());
    hostsim::Host& host = workspace.host();
    const PF_Err err = hostsim::RenderFrame(host, *workspace.layer, *frame, workspace.settings);
    WarnViolations(command, host);
    // The render set the host up for a frame; events see the layer again.
    host.in_data().width = workspace.layer->width();
    host.in_data().height = workspace.layer->height();
    host.in_data().pixel_aspect_ratio = workspace.settings.pixel_aspect_ratio;
    if (err) {
        error = "the plug-in answered PF_Cmd_RENDER with " + ErrorText(err);
        const std::string message = DisplayedMessage(host.out_data());
        if (!message.empty()) error += ": \"" + message + "\"";
        return nullptr;
    }
    return frame;
}

hostsim::RgbaPicture WindowPicture(OverlayWorkspace& workspace, const World& frame) {
    const hostsim::OverlayView& view = workspace.view;
    const PF_Point layer_size{frame.width(), frame.height()};
    const PF_Point canvas = hostsim::CanvasSize(view, layer_size);
    hostsim::RgbaPicture picture(canvas.h, canvas.v);
    Fill(picture, 0, 0, canvas.h, canvas.v, kPasteboard);

    const double zoom = view.zoom.value();
    const bool comp = view.window == PF_Window_COMP;
    const PF_Point offset = comp ? view.layer_offset : PF_Point{0, 0};
    if (comp) {
        const PF_Point content = hostsim::ContentSize(view, layer_size);
        Fill(picture, view.scroll.h, view.scroll.v, view.scroll.h + static_cast<int>(std::ceil(content.h * zoom)),
             view.scroll.v + static_cast<int>(std::ceil(content.v * zoom)), kComposition);
    }
    // Each window pixel shows the average of the layer pixels it covers (one, when zoomed in).
    for (int y = 0; y < canvas.v; ++y) {
        const double ly0 = (y - view.scroll.v) / zoom - offset.v, ly1 = (y + 1 - view.scroll.v) / zoom - offset.v;
        const int row0 = static_cast<int>(std::floor(ly0)), row1 = std::max(row0 + 1, static_cast<int>(std::ceil(ly1)));
        if (row1 <= 0 || row0 >= layer_size.v) continue;
        for (int x = 0; x < canvas.h; ++x) {
            const double lx0 = (x - view.scroll.h) / zoom - offset.h, lx1 = (x + 1 - view.scroll.h) / zoom - offset.h;
            const int col0 = static_cast<int>(std::floor(lx0));
            const int col1 = std::max(col0 + 1, static_cast<int>(std::ceil(lx1)));
            if (col1 <= 0 || col0 >= layer_size.h) continue;
            float sum[4] = {0, 0, 0, 0};
            int count = 0;
            for (int r = std::max(0, row0); r < std::min<int>(row1, layer_size.v); ++r) {
                for (int c = std::max(0, col0); c < std::min<int>(col1, layer_size.h); ++c) {
                    float rgba[4];
                    ReadPixel(frame, c, r, rgba);
                    for (int k = 0; k < 3; ++k) sum[k] += rgba[k] * rgba[3];
                    sum[3] += rgba[3];
                    ++count;
                }
            }
            // The layer's own transparency shows what lies under it.
            float* px = picture.At(x, y);
            const float alpha = sum[3] / count;
            for (int k = 0; k < 3; ++k) px[k] = sum[k] / count + px[k] * (1 - alpha);
        }
    }
    hostsim::DrawStrokes(workspace.events->drawbot().strokes(), workspace.events->drawbot().theme, picture);
    return picture;
}

bool WriteOverlayPicture(OverlayWorkspace& workspace, const World& frame, const std::string& path,
                         std::string& error) {
    const PF_Err err = workspace.events->Draw();
    WarnViolations("overlay", workspace.host());
    if (err) {
        error = "the plug-in answered the draw event with " + ErrorText(err);
        return false;
    }
    return WritePicture(WindowPicture(workspace, frame), path, error);
}

bool WritePicture(const hostsim::RgbaPicture& picture, const std::string& path, std::string& error) {
    World world(WorldFormat::kArgb8, picture.width, picture.height);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const float* px = picture.At(x, y);
            std::uint8_t* p = world.Pixel(x, y);
            const auto byte = [](float v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
            p[0] = byte(px[3]);
            p[1] = byte(px[0]);
            p[2] = byte(px[1]);
            p[3] = byte(px[2]);
        }
    }
    PendingFile pending(path);
    return WriteImage(world, pending.temp_path(), path, error) && pending.Commit(error);
}

bool WriteFrame(const World& frame, const std::string& path, std::string& error) {
    PendingFile pending(path);
    return WriteImage(frame, pending.temp_path(), path, error) && pending.Commit(error);
}

void WarnViolations(const std::string& command, hostsim::Host& host) {
    for (const std::string& violation : host.CommandViolations()) {
        std::cerr << "qxv " << command << ": warning: the host noticed: " << violation << "\n";
    }
}

}  // namespace qxv::cli
