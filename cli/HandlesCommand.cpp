// qxv handles: where the plug-in's hit test puts its ten overlay handles in the window.
#include <iostream>

#include "Commands.h"
#include "HandleProbe.h"
#include "Json.h"
#include "OverlayCommands.h"
#include "OverlayWorkspace.h"
#include "PendingFile.h"

namespace qxv::cli {

namespace {

const char kCommand[] = "handles";
const char kDescription[] =
    "Prints the ten overlay handles in whole window pixels, as the plug-in's hit test places\n"
    "them. The host finds them as a user would: it draws once to see roughly where each handle\n"
    "is, then clicks around it and keeps the point whose reach (city-block distance below 16,\n"
    "lower handle numbers winning) matches the clicks the plug-in took. A handle hidden under\n"
    "lower-numbered ones cannot be told apart by clicking; it is given where it is drawn and\n"
    "marked \"probed\": false.";

const char* const kHandleNames[] = {
    "corner, top-left", "corner, top-right", "corner, bottom-left", "corner, bottom-right", "angle",
    "feather, left",    "feather, right",    "feather, top",        "feather, bottom",      "opacity"};

}  // namespace

int RunHandles(const std::vector<std::string>& args) {
    const auto option_table = OverlayOptions({});
    const std::string synopsis = "qxv handles " + OverlayOptionsSynopsis() + " [--json]";
    ParsedArgs parsed;
    if (const auto done = ParseLayerCommandLine(kCommand, args, synopsis, kDescription, option_table, parsed)) {
        return *done;
    }
    const auto& positional = parsed.positional();
    std::string error;
    OverlayWorkspace workspace;
    bool usage_error = false;
    if (!OpenOverlayWorkspace(parsed, positional.empty() ? "" : positional[0], workspace, error, usage_error)) {
        return Fail(kCommand, error, usage_error ? kExitUsage : kExitFailure);
    }
    const auto handles = hostsim::ProbeHandles(*workspace.events, workspace.host());
    if (handles.empty()) {
        WarnViolations(kCommand, workspace.host());
        return Fail(kCommand, "the plug-in drew no complete overlay, so there is nothing to probe", kExitFailure);
    }
    if (parsed.Has("json")) {
        hostsim::Json list = hostsim::Json::Array();
        for (const auto& handle : handles) {
            hostsim::Json item = hostsim::Json::Object();
            item.Set("number", handle.number);
            item.Set("x", static_cast<int>(handle.point.h));
            item.Set("y", static_cast<int>(handle.point.v));
            if (!handle.probed) item.Set("probed", false);
            list.Append(std::move(item));
        }
        hostsim::Json json = hostsim::Json::Object();
        json.Set("handles", std::move(list));
        std::cout << json.Dump(2) << "\n";
    } else {
        for (const auto& handle : handles) {
            std::cout << (handle.number < 10 ? " " : "") << handle.number << "  " << kHandleNames[handle.number - 1]
                      << std::string(22 - std::string(kHandleNames[handle.number - 1]).size(), ' ') << handle.point.h
                      << ", " << handle.point.v << (handle.probed ? "" : "  (hidden; where it is drawn)") << "\n";
        }
    }
    return kExitOk;
}

}  // namespace qxv::cli
