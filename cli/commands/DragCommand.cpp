// qxv drag: a click on the overlay and a drag to another point, with the parameter values the
// plug-in hands back after each event.
#include <cmath>
#include <iostream>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "hostsim/instruments/Json.h"
#include "cli/overlay/OverlayWorkspace.h"
#include "cli/PendingFile.h"
#include "hostsim/Params.h"
#include "cli/OptionValues.h"
#include "cli/HostReport.h"

namespace qxv::cli {

namespace {

using hostsim::Json;

const char kCommand[] = "drag";
const char kDescription[] =
    "Clicks at --from and, when the plug-in takes a handle there, sends --steps drag events\n"
    "along the straight line to --to (window pixels), the last one marked as the release\n"
    "(last_time). Prints the handle taken (0: none) and, after every event, the values of the\n"
    "parameters the plug-in marked changed during the drag;\n"
    "with --json: {\"handle\": N, \"events\": [{\"params\": {...}}, ...]}, the values raw as the\n"
    "host stores them. --render writes the frame rendered with the final values, --overlay the\n"
    "window with the overlay drawn after the drag.";

// One event of the text report: what it was and every parameter's value after it, as the
// effect controls show it.
struct EventLine {
    std::string what;
    std::vector<std::string> values;  // index 1 first
};

std::vector<std::string> ValueTexts(const hostsim::ParamStore& store) {
    std::vector<std::string> values;
    for (int i = 1; i <= store.count(); ++i) values.push_back(hostsim::FormatParamValue(store.Param(i)));
    return values;
}

// Each event with the parameters the plug-in reported changed during the drag (by
// PF_ChangeFlag_CHANGED_VALUE), under the names the effect controls show.
std::string EventText(const EventLine& line, const hostsim::ParamStore& store, const std::set<int>& changed) {
    std::string text;
    for (int index : changed) {
        text += (text.empty() ? ": " : ", ") + store.Param(index).shown_name + " " + line.values.at(index - 1);
    }
    return line.what + (text.empty() ? ": no parameter changed" : text);
}

struct DragOptions {
    OverlayOptions overlay;
    std::optional<PF_Point> from, to;
    int steps = 4;
    std::optional<std::string> render_path, overlay_path;  // --render, --overlay
};

std::string PointText(PF_Point point) { return std::to_string(point.h) + "," + std::to_string(point.v); }

// What the drag did: the handle the click took (0: none) and the parameters after each event.
struct DragRecord {
    int handle = 0;
    Json events = Json::array();
    std::vector<EventLine> lines;
    std::set<int> changed;  // every parameter marked changed during the drag
};

// The click at `from` and, when it took a handle, the drag events to `to`.
bool SendDragEvents(OverlayWorkspace& workspace, const DragOptions& options, DragRecord& record, std::string& error) {
    hostsim::EventSession& events = *workspace.events;
    const hostsim::ParamStore& store = workspace.host().params();
    const auto keep = [&](const std::string& what, PF_Err err) {
        WarnViolations(kCommand, workspace.host());
        if (err) {
            error = "the plug-in answered the " + what + " with " + ErrorText(err);
            return false;
        }
        record.events.push_back({{"params", hostsim::ParamValuesJson(store)}});
        record.lines.push_back({what, ValueTexts(store)});
        record.changed.insert(workspace.host().changed_params().begin(), workspace.host().changed_params().end());
        return true;
    };
    if (!keep("click at " + PointText(*options.from), events.Click(*options.from))) return false;
    record.handle = events.drag_requested() ? static_cast<int>(events.click_data().continue_refcon[0]) : 0;
    const PF_Point from = *options.from, to = *options.to;
    const int steps = options.steps;
    for (int step = 1; record.handle && step <= steps; ++step) {
        const PF_Point at{static_cast<A_long>(std::lround(from.h + (to.h - from.h) * double(step) / steps)),
                          static_cast<A_long>(std::lround(from.v + (to.v - from.v) * double(step) / steps))};
        const std::string what =
            "drag " + std::to_string(step) + " to " + PointText(at) + (step == steps ? " (release)" : "");
        if (!keep(what, events.Drag(at, step == steps))) return false;
    }
    return true;
}

// --render and --overlay: the frame rendered with the values after the drag, the window over it.
bool WriteDragPictures(OverlayWorkspace& workspace, const DragOptions& options, std::string& error) {
    if (!options.render_path && !options.overlay_path) return true;
    const std::unique_ptr<hostsim::World> frame = RenderLayer(kCommand, workspace, error);
    if (!frame) return false;
    if (options.render_path && !WriteFrame(*frame, *options.render_path, error)) return false;
    return !options.overlay_path || WriteOverlayPicture(workspace, *frame, *options.overlay_path, error);
}

void PrintDrag(const DragRecord& record, const hostsim::ParamStore& store, bool json) {
    if (json) {
        const Json report = {{"handle", record.handle}, {"events", record.events}};
        std::cout << hostsim::DumpJson(report, 2) << "\n";
        return;
    }
    std::cout << "handle " << record.handle << (record.handle ? "" : " (the click took no handle)") << "\n";
    for (const EventLine& line : record.lines) std::cout << EventText(line, store, record.changed) << "\n";
}

}  // namespace

int RunDrag(const std::vector<std::string>& args) {
    DragOptions options;
    CommandLine command_line(kCommand, "[INPUT]", kDescription);
    AddOverlayOptions(command_line, options.overlay)
        .Option("from", "X,Y", "where the mouse goes down (window pixels)", options.from, PointOf("from"),
                Occurs::kRequired)
        .Option("to", "X,Y", "where it is released", options.to, PointOf("to"), Occurs::kRequired)
        .Option("steps", "N", "drag events from --from to --to (default 4, at most 10000)", options.steps,
                WholeNumberOf("steps", 1, 10000))
        .Option("render", "OUT.png", "write the frame rendered with the final values", options.render_path)
        .Option("overlay", "OUT.png", "write the window with the overlay after the drag", options.overlay_path);
    if (const auto done = ParseLayerCommandLine(command_line, args, options.overlay)) return *done;
    if (!options.from || !options.to) return Fail(kCommand, "give both --from X,Y and --to X,Y", kExitUsage);
    std::string error;
    for (const auto& path : {options.render_path, options.overlay_path}) {
        if (path && !CanCreateFileBeside(*path, error)) return Fail(kCommand, error, kExitFailure);
    }
    OverlayWorkspace workspace;
    if (!OpenOverlayWorkspace(options.overlay, workspace, error)) return Fail(kCommand, error, kExitFailure);
    DragRecord record;
    const bool ok = SendDragEvents(workspace, options, record, error) && WriteDragPictures(workspace, options, error);
    if (options.overlay.trace) PrintTrace(std::cerr, workspace.host());
    if (!ok) return Fail(kCommand, error, kExitFailure);
    PrintDrag(record, workspace.host().params(), options.overlay.json);
    return kExitOk;
}

}  // namespace qxv::cli
