#include "cli/overlay/OverlayWorkspace.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "cli/Commands.h"
#include "cli/images/ImageFiles.h"
#include "cli/PendingFile.h"
#include "cli/OptionValues.h"
#include "hostsim/Params.h"

namespace qxv::cli {

namespace {

using hostsim::World;
using hostsim::WorldFormat;

constexpr float kPasteboard = 0.23f;   // the window's grey around what it shows
constexpr float kComposition = 0.05f;  // an empty composition is near black

// The 8-bit layout the host hands frames in.
WorldFormat LayerFormat(hostsim::HostApp app) { return *hostsim::HostFormat(app, hostsim::FrameDepth::k8); }

// Straight RGBA of one 8-bit pixel, whichever host's layout.
void ReadPixel(const World& world, A_long x, A_long y, float rgba[4]) {
    const std::uint8_t* p = world.Pixel(x, y);
    const hostsim::ChannelOrder order = hostsim::ChannelOrderOf(world.format());
    rgba[0] = p[order.red] / 255.0f;
    rgba[1] = p[order.green] / 255.0f;
    rgba[2] = p[order.blue] / 255.0f;
    rgba[3] = p[order.alpha] / 255.0f;
}

// A blank layer: opaque mid grey, so that the vignette shows on it.
std::unique_ptr<World> BlankLayer(hostsim::HostApp app, PF_Point size) {
    auto layer = std::make_unique<World>(LayerFormat(app), size.h, size.v);
    const int alpha = hostsim::ChannelOrderOf(layer->format()).alpha;
    for (A_long y = 0; y < size.v; ++y) {
        for (A_long x = 0; x < size.h; ++x) {
            std::uint8_t* p = layer->Pixel(x, y);
            p[0] = p[1] = p[2] = p[3] = 128;
            p[alpha] = 255;
        }
    }
    return layer;
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
                                         OverlayOptions& options) {
    if (const auto done = command_line.Parse(args)) return done;
    const bool size = options.size.has_value();
    const std::vector<std::string>& arguments = command_line.arguments();
    if (arguments.size() != (size ? 0u : 1u)) {
        return Fail(command_line.command(), size ? "with --size give no INPUT" : "give one INPUT image or --size",
                    kExitUsage);
    }
    std::string error;
    if (!FinishOverlayOptions(size ? "" : arguments[0], options, error)) {
        return Fail(command_line.command(), error, kExitUsage);
    }
    return std::nullopt;
}

namespace {

bool ParseWindow(const std::string& text, PF_WindowType& window, std::string& error) {
    if (text != "comp" && text != "layer") {
        error = "--window must be comp or layer, not \"" + text + "\"";
        return false;
    }
    window = text == "comp" ? PF_Window_COMP : PF_Window_LAYER;
    return true;
}

bool ParseOverlaySize(const std::string& text, PF_Point& size, std::string& error) {
    if (!ParseFrameSize(text, size)) {
        error = "--size needs WIDTHxHEIGHT such as 1920x1080, not \"" + text + "\"";
        return false;
    }
    if (size.h > 8192 || size.v > 8192) {
        error = "--size: at most 8192x8192 for an overlay picture";
        return false;
    }
    return true;
}

}  // namespace

CommandLine& AddOverlayOptions(CommandLine& command_line, OverlayOptions& options) {
    hostsim::OverlayView& view = options.view;
    return command_line.HostOptions(options.session, options.trace, options.json)
        .ParamOptions(options.session)
        .FailureOptions(options.session)
        .Option("size", "WIDTHxHEIGHT", "a blank layer of this size instead of an INPUT image", options.size,
                Converter<PF_Point>(ParseOverlaySize))
        .Option("window", "comp|layer", "the window the overlay is shown in (default: layer)", view.window,
                Converter<PF_WindowType>(ParseWindow))
        .Option("zoom", "Z", "the window's zoom: 0.5, 2, 1/3, ... (default 1)", view.zoom,
                Converter<hostsim::Zoom>([&options](const std::string& text, hostsim::Zoom& zoom, std::string& error) {
                    options.zoom_given = true;
                    return ParseZoom(text, zoom, error);
                }))
        .Option("layer-offset", "X,Y", "composition window: the layer's top-left corner in the composition",
                view.layer_offset,
                Converter<PF_Point>([&options](const std::string& text, PF_Point& point, std::string& error) {
                    options.layer_offset_given = true;
                    return ParsePoint("layer-offset", text, point, error);
                }))
        .Option("scroll", "X,Y",
                "window pixels added after the zoom; a positive scroll leaves that margin on every side of the "
                "picture",
                view.scroll, PointOf("scroll"))
        .Option("pixel-aspect", "N/D", "pixel aspect ratio (default 1/1)", options.settings.pixel_aspect_ratio,
                Converter<PF_RationalScale>(ParsePixelAspect))
        .Option("quality", "high|low", "render quality (default high)", options.settings.quality,
                Converter<PF_Quality>(ParseQuality));
}

bool FinishOverlayOptions(const std::string& input, OverlayOptions& options, std::string& error) {
    options.input = input;
    if (options.layer_offset_given && options.view.window != PF_Window_COMP) {
        error = "--layer-offset places the layer in the composition: use it with --window comp";
        return false;
    }
    return true;
}

bool OpenOverlayWorkspace(const OverlayOptions& options, OverlayWorkspace& workspace, std::string& error) {
    workspace.view = options.view;
    workspace.settings = options.settings;
    if (!OpenSession(options.session, workspace.session, error)) return false;
    const hostsim::HostApp app = workspace.host().app();
    workspace.layer = options.input.empty() ? BlankLayer(app, *options.size) : ReadImage(options.input, LayerFormat(app), error);
    if (!workspace.layer) return false;
    const PF_Point layer_size{workspace.layer->width(), workspace.layer->height()};
    hostsim::PlacePointDefaults(workspace.host().params(), layer_size.h, layer_size.v);
    OpenEvents(workspace);
    return true;
}

void OpenEvents(OverlayWorkspace& workspace) {
    workspace.events = std::make_unique<hostsim::EventSession>(
        workspace.host(), workspace.view, PF_Point{workspace.layer->width(), workspace.layer->height()},
        workspace.settings.pixel_aspect_ratio);
    workspace.events->SetInput(workspace.layer->def());
}

std::unique_ptr<World> RenderLayer(const char* command, OverlayWorkspace& workspace, std::string& error) {
    auto frame = std::make_unique<World>(workspace.layer->format(), workspace.layer->width(), workspace.layer->height());
    hostsim::Host& host = workspace.host();
    const PF_Err err = hostsim::RenderFrame(host, *workspace.layer, *frame, workspace.settings);
    WarnViolations(command, host);
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
