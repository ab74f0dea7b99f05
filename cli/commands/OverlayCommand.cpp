// qxv overlay: the picture of a window with the plug-in's overlay drawn over the rendered frame.
#include <fstream>
#include <iostream>
#include <optional>

#include "cli/Commands.h"
#include "hostsim/instruments/Json.h"
#include "cli/overlay/OverlayWorkspace.h"
#include "cli/PendingFile.h"
#include "cli/HostReport.h"

namespace qxv::cli {

namespace {

using hostsim::Json;

const char kCommand[] = "overlay";
const char kDescription[] =
    "Renders the frame, shows it in the composition or layer window at the given zoom, scroll\n"
    "and layer place, sends the plug-in a draw event and writes the window with the overlay\n"
    "drawn over it: in After Effects in the host's overlay colour with its drop shadow, in\n"
    "Premiere Pro in the plug-in's own 1-pixel colours. Window coordinates are whole pixels of\n"
    "OUTPUT; the picture is the zoomed layer (or composition) with --scroll as a margin.\n"
    "--strokes-json FILE writes every recorded stroke with its path operations.";

Json StrokesJson(const std::vector<hostsim::RecordedStroke>& strokes) {
    using hostsim::JsonNumber;
    Json list = Json::array();
    for (const auto& stroke : strokes) {
        Json path = Json::array();
        for (const auto& op : stroke.path) {
            Json item = {{"op", hostsim::PathOpName(op.kind)}};
            if (op.kind != hostsim::PathOpKind::kClose) {
                item["x"] = JsonNumber(op.x);
                item["y"] = JsonNumber(op.y);
            }
            if (op.kind == hostsim::PathOpKind::kAddArc) {
                item["radius"] = JsonNumber(op.radius);
                item["start"] = JsonNumber(op.start);
                item["sweep"] = JsonNumber(op.sweep);
            }
            path.push_back(std::move(item));
        }
        const DRAWBOT_ColorRGBA& c = stroke.colour;
        list.push_back({{"by", stroke.by == hostsim::StrokeBy::kOverlayTheme ? "overlay theme" : "pen"},
                        {"colour", {JsonNumber(c.red), JsonNumber(c.green), JsonNumber(c.blue), JsonNumber(c.alpha)}},
                        {"width", JsonNumber(stroke.width)},
                        {"shadow", stroke.shadow},
                        {"path", std::move(path)}});
    }
    return list;
}

bool WriteText(const std::string& path, const std::string& text, std::string& error) {
    PendingFile pending(path);
    {
        std::ofstream file(pending.temp_path());
        file << text;
        if (!file.flush()) {
            error = "cannot write " + path + " (choose a writable directory)";
            return false;
        }
    }
    return pending.Commit(error);
}

// The picture, and the strokes as JSON when asked (checked before the picture is written, so
// that a bad JSON path leaves no picture behind).
int WriteOverlay(const OverlayOptions& options, const std::string& output, const std::optional<std::string>& strokes_path) {
    std::string error;
    if (!CanCreateFileBeside(output, error)) return Fail(kCommand, error, kExitFailure);
    if (strokes_path && !CanCreateFileBeside(*strokes_path, error)) return Fail(kCommand, error, kExitFailure);
    OverlayWorkspace workspace;
    if (!OpenOverlayWorkspace(options, workspace, error)) return Fail(kCommand, error, kExitFailure);
    const auto frame = RenderLayer(kCommand, workspace, error);
    if (!frame) return Fail(kCommand, error, kExitFailure);
    const bool ok = WriteOverlayPicture(workspace, *frame, output, error);
    if (options.trace) PrintTrace(std::cerr, workspace.host());
    if (!ok) return Fail(kCommand, error, kExitFailure);
    if (!strokes_path) return kExitOk;
    const Json json = {{"host", hostsim::HostAppName(workspace.host().app())},
                       {"window", workspace.view.window == PF_Window_COMP ? "comp" : "layer"},
                       {"strokes", StrokesJson(workspace.events->drawbot().strokes())}};
    if (!WriteText(*strokes_path, hostsim::DumpJson(json, 2) + "\n", error)) return Fail(kCommand, error, kExitFailure);
    return kExitOk;
}

}  // namespace

int RunOverlay(const std::vector<std::string>& args) {
    OverlayOptions options;
    std::optional<std::string> strokes_path;
    CommandLine command_line(kCommand, "[INPUT] OUTPUT.png", kDescription);
    AddOverlayOptions(command_line, options)
        .Option("strokes-json", "FILE", "also write the recorded strokes as JSON", strokes_path);
    if (const auto done = command_line.Parse(args)) return *done;
    const std::vector<std::string>& arguments = command_line.arguments();
    const bool size = options.size.has_value();
    if (arguments.size() != (size ? 1u : 2u)) {
        return Fail(kCommand, size ? "with --size give only OUTPUT.png" : "give INPUT and OUTPUT.png", kExitUsage);
    }
    std::string error;
    if (!FinishOverlayOptions(size ? "" : arguments[0], options, error)) return Fail(kCommand, error, kExitUsage);
    return WriteOverlay(options, arguments.back(), strokes_path);
}

}  // namespace qxv::cli
