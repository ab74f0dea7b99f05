// qxv overlay: the picture of a window with the plug-in's overlay drawn over the rendered frame.
#include <fstream>
#include <iostream>

#include "Commands.h"
#include "hostsim/Json.h"
#include "OverlayCommands.h"
#include "OverlayWorkspace.h"
#include "PendingFile.h"
#include "Report.h"

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

}  // namespace

int RunOverlay(const std::vector<std::string>& args) {
    CommandLine command_line(kCommand, "qxv overlay " + OverlayOptionsSynopsis() + " OUTPUT.png [--strokes-json FILE]",
                             kDescription);
    AddOverlayOptions(command_line).Option("strokes-json", "FILE", "also write the recorded strokes as JSON");
    ParsedArgs parsed;
    if (const auto done = command_line.Parse(args, parsed)) return *done;
    std::string error;
    const auto& positional = parsed.positional();
    const std::size_t wanted = parsed.Has("size") ? 1 : 2;
    if (positional.size() != wanted) {
        return Fail(kCommand, parsed.Has("size") ? "with --size give only OUTPUT.png" : "give INPUT and OUTPUT.png",
                    kExitUsage);
    }
    const std::string output = positional.back();
    std::string can_write_error;
    if (!CanCreateFileBeside(output, can_write_error)) return Fail(kCommand, can_write_error, kExitFailure);
    // Checked before the picture is written, so that a bad JSON path leaves no picture behind.
    if (parsed.Has("strokes-json") && !CanCreateFileBeside(parsed.Get("strokes-json"), can_write_error)) {
        return Fail(kCommand, can_write_error, kExitFailure);
    }

    OverlayWorkspace workspace;
    bool usage_error = false;
    if (!OpenOverlayWorkspace(parsed, wanted == 2 ? positional[0] : "", workspace, error, usage_error)) {
        return Fail(kCommand, error, usage_error ? kExitUsage : kExitFailure);
    }
    const auto frame = RenderLayer(kCommand, workspace, error);
    if (!frame) return Fail(kCommand, error, kExitFailure);
    const bool ok = WriteOverlayPicture(workspace, *frame, output, error);
    if (parsed.Has("trace")) PrintTrace(std::cerr, workspace.host());
    if (!ok) return Fail(kCommand, error, kExitFailure);
    if (parsed.Has("strokes-json")) {
        const Json json = {{"host", hostsim::HostAppName(workspace.host().app())},
                           {"window", workspace.view.window == PF_Window_COMP ? "comp" : "layer"},
                           {"strokes", StrokesJson(workspace.events->drawbot().strokes())}};
        if (!WriteText(parsed.Get("strokes-json"), hostsim::DumpJson(json, 2) + "\n", error)) {
            return Fail(kCommand, error, kExitFailure);
        }
    }
    return kExitOk;
}

}  // namespace qxv::cli
