// qxv handles: where the plug-in's hit test puts its ten overlay handles in the window.
#include <iostream>

#include "Commands.h"
#include "hostsim/HandleProbe.h"
#include "hostsim/Json.h"
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
    CommandLine command_line(kCommand, "qxv handles " + OverlayOptionsSynopsis() + " [--json]", kDescription);
    AddOverlayOptions(command_line);
    ParsedArgs parsed;
    if (const auto done = ParseLayerCommandLine(command_line, args, parsed)) return *done;
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
        hostsim::Json list = hostsim::Json::array();
        for (const auto& handle : handles) {
            hostsim::Json item = {{"number", handle.number}, {"x", handle.point.h}, {"y", handle.point.v}};
            if (!handle.probed) item["probed"] = false;
            list.push_back(std::move(item));
        }
        const hostsim::Json json = {{"handles", std::move(list)}};
        std::cout << hostsim::DumpJson(json, 2) << "\n";
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
