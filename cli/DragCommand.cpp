// qxv drag: a click on the overlay and a drag to another point, with the parameter values the
// plug-in hands back after each event.
#include <cmath>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "Commands.h"
#include "hostsim/Json.h"
#include "OverlayCommands.h"
#include "OverlayWorkspace.h"
#include "PendingFile.h"
#include "hostsim/ParamJson.h"
#include "hostsim/ParamParse.h"
#include "Report.h"

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

}  // namespace

int RunDrag(const std::vector<std::string>& args) {
    CommandLine command_line(kCommand,
                             "qxv drag " + OverlayOptionsSynopsis() +
                                 " --from X,Y --to X,Y [--steps N] [--render OUT.png] [--overlay OUT.png] [--json]",
                             kDescription);
    AddOverlayOptions(command_line)
        .Option("from", "X,Y", "where the mouse goes down (window pixels)")
        .Option("to", "X,Y", "where it is released")
        .Option("steps", "N", "drag events from --from to --to (default 4, at most 10000)")
        .Option("render", "OUT.png", "write the frame rendered with the final values")
        .Option("overlay", "OUT.png", "write the window with the overlay after the drag");
    ParsedArgs parsed;
    if (const auto done = ParseLayerCommandLine(command_line, args, parsed)) return *done;
    const auto& positional = parsed.positional();
    std::string error;
    if (!parsed.Has("from") || !parsed.Has("to")) return Fail(kCommand, "give both --from X,Y and --to X,Y", kExitUsage);
    PF_Point from{}, to{};
    if (!ParsePoint("from", parsed.Get("from"), from, error) || !ParsePoint("to", parsed.Get("to"), to, error)) {
        return Fail(kCommand, error, kExitUsage);
    }
    int steps = 4;
    if (parsed.Has("steps")) {
        const std::string text = parsed.Get("steps");
        if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 5 ||
            (steps = std::stoi(text)) < 1 || steps > 10000) {
            return Fail(kCommand, "--steps must be a whole number from 1 to 10000, not \"" + text + "\"", kExitUsage);
        }
    }
    for (const char* option : {"render", "overlay"}) {
        if (parsed.Has(option) && !CanCreateFileBeside(parsed.Get(option), error)) return Fail(kCommand, error, kExitFailure);
    }

    OverlayWorkspace workspace;
    bool usage_error = false;
    if (!OpenOverlayWorkspace(parsed, positional.empty() ? "" : positional[0], workspace, error, usage_error)) {
        return Fail(kCommand, error, usage_error ? kExitUsage : kExitFailure);
    }
    hostsim::EventSession& events = *workspace.events;
    hostsim::ParamStore& store = workspace.host().params();

    Json event_list = Json::array();
    std::vector<EventLine> lines;
    std::set<int> changed;
    const auto record = [&](const std::string& what, PF_Err err) {
        WarnViolations(kCommand, workspace.host());
        if (err) {
            error = "the plug-in answered the " + what + " with " + ErrorText(err);
            return false;
        }
        event_list.push_back({{"params", hostsim::ParamValuesJson(store)}});
        lines.push_back({what, ValueTexts(store)});
        changed.insert(workspace.host().changed_params().begin(), workspace.host().changed_params().end());
        return true;
    };

    bool ok = record("click at " + parsed.Get("from"), events.Click(from));
    const int handle = ok && events.drag_requested() ? static_cast<int>(events.click_data().continue_refcon[0]) : 0;
    for (int step = 1; ok && handle && step <= steps; ++step) {
        const PF_Point at{static_cast<A_long>(std::lround(from.h + (to.h - from.h) * double(step) / steps)),
                          static_cast<A_long>(std::lround(from.v + (to.v - from.v) * double(step) / steps))};
        ok = record("drag " + std::to_string(step) + " to " + std::to_string(at.h) + "," + std::to_string(at.v) +
                        (step == steps ? " (release)" : ""),
                    events.Drag(at, step == steps));
    }

    std::unique_ptr<hostsim::World> frame;
    if (ok && (parsed.Has("render") || parsed.Has("overlay"))) {
        frame = RenderLayer(kCommand, workspace, error);
        ok = frame != nullptr;
    }
    if (ok && parsed.Has("render")) ok = WriteFrame(*frame, parsed.Get("render"), error);
    if (ok && parsed.Has("overlay")) ok = WriteOverlayPicture(workspace, *frame, parsed.Get("overlay"), error);
    if (parsed.Has("trace")) PrintTrace(std::cerr, workspace.host());
    if (!ok) return Fail(kCommand, error, kExitFailure);

    if (parsed.Has("json")) {
        const Json json = {{"handle", handle}, {"events", std::move(event_list)}};
        std::cout << hostsim::DumpJson(json, 2) << "\n";
    } else {
        std::cout << "handle " << handle << (handle ? "" : " (the click took no handle)") << "\n";
        for (const EventLine& line : lines) std::cout << EventText(line, store, changed) << "\n";
    }
    return kExitOk;
}

}  // namespace qxv::cli
