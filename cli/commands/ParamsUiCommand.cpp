// qxv params-ui: sets the checkbox the plug-in supervises ("Mask Only") as asked, sends
// PF_Cmd_UPDATE_PARAMS_UI as a host does after such a change, and shows how the effect
// controls change: names, disabled state and the out flags.
#include <iostream>

#include "cli/Commands.h"
#include "hostsim/instruments/Json.h"
#include "cli/HostReport.h"
#include "cli/Options.h"
#include "cli/Session.h"

namespace qxv::cli {

namespace {

using hostsim::Json;

const char kCommand[] = "params-ui";
const char kDescription[] =
    "Sets the checkbox the plug-in registered with PF_ParamFlag_SUPERVISE (the effect's\n"
    "\"Mask Only\"), sends the parameter-UI update and shows the names and disabled state the\n"
    "effect controls take, the PF_UpdateParamUI calls and the out flags.";

bool IsDisabled(A_long ui_flags) { return ui_flags & PF_PUI_DISABLED; }

// The first checkbox whose changes the plug-in asked to hear of, or 0.
int SupervisedCheckbox(const hostsim::ParamStore& store) {
    for (int i = 1; i <= store.count(); ++i) {
        const PF_ParamDef& def = store.Param(i).def;
        if (def.param_type == PF_Param_CHECKBOX && (def.flags & PF_ParamFlag_SUPERVISE)) return i;
    }
    return 0;
}

void PrintJson(hostsim::Host& host, const std::string& mask_only, PF_Err result, bool trace) {
    const PF_OutData& out = host.out_data();
    Json updates = Json::array();
    for (const auto& update : host.param_ui_updates()) {
        updates.push_back({{"index", update.index},
                           {"name", update.name},
                           {"ui_flags", update.def.ui_flags},
                           {"disabled", IsDisabled(update.def.ui_flags)}});
    }
    Json params = Json::array();
    for (int i = 1; i <= host.params().count(); ++i) {
        const auto& param = host.params().Param(i);
        params.push_back({{"index", i},
                          {"name", param.registered_name},
                          {"shown_name", param.shown_name},
                          {"ui_flags", param.def.ui_flags},
                          {"disabled", IsDisabled(param.def.ui_flags)}});
    }
    Json json = {{"host", host.is_premiere() ? "premiere" : "ae"},
                 {"mask_only", mask_only},
                 {"result", result},
                 {"out_flags", static_cast<std::uint32_t>(out.out_flags)},
                 {"message", DisplayedMessage(out)},
                 {"updates", std::move(updates)},
                 {"params", std::move(params)},
                 {"values", hostsim::ParamValuesJson(host.params())},
                 {"violations", ViolationsJson(host)}};
    if (trace) json["trace"] = TraceJson(host);
    std::cout << hostsim::DumpJson(json, 2) << "\n";
}

void PrintText(hostsim::Host& host, const std::string& supervised_name, const std::string& mask_only, PF_Err result,
               bool trace) {
    const PF_OutData& out = host.out_data();
    std::cout << "PF_Cmd_UPDATE_PARAMS_UI in " << hostsim::HostAppName(host.app()) << " with " << supervised_name << " "
              << mask_only << ": " << ErrorText(result) << "\n";
    std::cout << "out_flags " << Hex32(out.out_flags) << " " << OutFlagNames(out.out_flags) << "\n";
    if (std::string message = DisplayedMessage(out); !message.empty()) std::cout << "Message " << message << "\n";
    std::cout << "PF_UpdateParamUI calls:\n";
    if (host.param_ui_updates().empty()) std::cout << "  none\n";
    for (const auto& update : host.param_ui_updates()) {
        std::cout << "  index " << update.index << ": \"" << update.name << "\", ui_flags " << update.def.ui_flags
                  << (IsDisabled(update.def.ui_flags) ? " (disabled)" : "") << "\n";
    }
    std::cout << "Effect controls:\n";
    for (int i = 1; i <= host.params().count(); ++i) {
        const auto& param = host.params().Param(i);
        std::cout << "  " << i << ". " << param.shown_name << (IsDisabled(param.def.ui_flags) ? "  [disabled]" : "")
                  << "\n";
    }
    PrintViolations(std::cout, host);
    if (trace) {
        std::cout << "\n";
        PrintTrace(std::cout, host);
    }
}

}  // namespace

int RunParamsUI(const std::vector<std::string>& args) {
    SessionOptions options;
    bool trace = false, json = false;
    std::optional<std::string> mask_only_given;
    CommandLine command_line(kCommand, "", kDescription);
    command_line
        .Option("mask-only", "on|off", "value of the supervised checkbox for the update", mask_only_given,
                Converter<std::string>([](const std::string& text, std::string& value, std::string& error) {
                    value = text;
                    if (text == "on" || text == "off") return true;
                    error = "--mask-only must be on or off, not \"" + text + "\"";
                    return false;
                }),
                Occurs::kRequired)
        .HostOptions(options, trace, json)
        .ParamOptions(options)
        .FailureOptions(options);
    if (const auto done = command_line.Parse(args)) return *done;
    std::string error;
    if (!command_line.arguments().empty()) {
        return Fail(kCommand, "unexpected argument " + command_line.arguments()[0], kExitUsage);
    }
    if (!mask_only_given) return Fail(kCommand, "--mask-only on|off is required", kExitUsage);
    const std::string mask_only = *mask_only_given;

    Session session;
    if (!OpenSession(options, session, error)) return Fail(kCommand, error, kExitFailure);
    hostsim::Host& host = *session.instruments;
    const int supervised = SupervisedCheckbox(host.params());
    if (!supervised) return Fail(kCommand, "the plug-in registered no supervised checkbox", kExitFailure);
    if (!host.params().Set(supervised, mask_only, error)) return Fail(kCommand, error, kExitFailure);
    const PF_Err result = host.UpdateParamsUI();
    if (json) {
        PrintJson(host, mask_only, result, trace);
    } else {
        PrintText(host, host.params().Param(supervised).registered_name, mask_only, result, trace);
    }
    return result ? kExitFailure : kExitOk;
}

}  // namespace qxv::cli
