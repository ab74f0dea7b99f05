// qxv handles: where the plug-in's hit test puts its ten overlay handles in the window.
#include <algorithm>
#include <iostream>
#include <set>
#include <string>

#include "cli/Commands.h"
#include "hostsim/instruments/Json.h"
#include "hostsim/instruments/OverlayEvents.h"
#include "cli/overlay/OverlayWorkspace.h"
#include "cli/PendingFile.h"

namespace qxv::cli {

namespace {

const char kCommand[] = "handles";
const char kDescription[] =
    "Prints the ten overlay handles in whole window pixels, as the plug-in's hit test places\n"
    "them. The host finds them as a user would: it draws once to see roughly where each handle\n"
    "is, then clicks around it and keeps the point whose reach (city-block distance below 16,\n"
    "lower handle numbers winning) matches the clicks the plug-in took. A handle hidden under\n"
    "lower-numbered ones cannot be told apart by clicking; it is given where it is drawn and\n"
    "marked \"probed\": false. The text names the parameters each handle drives, as the plug-in\n"
    "marks them changed on a short drag of it (the values are put back).";

// What a handle drives, as the plug-in reports it: the parameters it marks changed on a
// click at the handle and a short drag from it ("Width, Height"), under the names the effect
// controls show. The values are put back afterwards. Empty when the click takes another
// handle (one hidden under it) or none.
std::string DrivenParams(OverlayWorkspace& workspace, const hostsim::ProbedHandle& handle) {
    hostsim::Host& host = workspace.host();
    hostsim::EventSession& events = *workspace.events;
    const hostsim::ParamStore saved = host.params();
    std::set<int> changed;
    const auto collect = [&] { changed.insert(host.changed_params().begin(), host.changed_params().end()); };
    if (events.Click(handle.point) == PF_Err_NONE && events.drag_requested() &&
        events.click_data().continue_refcon[0] == handle.number) {
        collect();
        if (events.Drag({handle.point.h + 7, handle.point.v - 5}, true) == PF_Err_NONE) collect();
    }
    host.params() = saved;
    std::string names;
    for (int index : changed) names += (names.empty() ? "" : ", ") + saved.Param(index).shown_name;
    return names;
}

void PrintHandlesJson(const std::vector<hostsim::ProbedHandle>& handles) {
    hostsim::Json list = hostsim::Json::array();
    for (const auto& handle : handles) {
        hostsim::Json item = {{"number", handle.number}, {"x", handle.point.h}, {"y", handle.point.v}};
        if (!handle.probed) item["probed"] = false;
        list.push_back(std::move(item));
    }
    const hostsim::Json json = {{"handles", std::move(list)}};
    std::cout << hostsim::DumpJson(json, 2) << "\n";
}

void PrintHandlesText(OverlayWorkspace& workspace, const std::vector<hostsim::ProbedHandle>& handles) {
    for (const auto& handle : handles) {
        std::string driven = handle.probed ? DrivenParams(workspace, handle) : "";
        if (driven.empty()) driven = "-";
        driven.resize(std::max<std::size_t>(driven.size() + 2, 22), ' ');
        std::cout << (handle.number < 10 ? " " : "") << handle.number << "  " << driven << handle.point.h << ", "
                  << handle.point.v << (handle.probed ? "" : "  (hidden; where it is drawn)") << "\n";
    }
}

}  // namespace

int RunHandles(const std::vector<std::string>& args) {
    OverlayOptions options;
    CommandLine command_line(kCommand, "[INPUT]", kDescription);
    AddOverlayOptions(command_line, options);
    if (const auto done = ParseLayerCommandLine(command_line, args, options)) return *done;
    std::string error;
    OverlayWorkspace workspace;
    if (!OpenOverlayWorkspace(options, workspace, error)) return Fail(kCommand, error, kExitFailure);
    const auto handles = hostsim::ProbeHandles(*workspace.events, workspace.host());
    if (handles.empty()) {
        WarnViolations(kCommand, workspace.host());
        return Fail(kCommand, "the plug-in drew no complete overlay, so there is nothing to probe", kExitFailure);
    }
    if (options.json) {
        PrintHandlesJson(handles);
    } else {
        PrintHandlesText(workspace, handles);
    }
    return kExitOk;
}

}  // namespace qxv::cli
