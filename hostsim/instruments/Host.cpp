#include "hostsim/instruments/Host.h"

namespace qxv::hostsim {

Host::Host(HostApp app, PF_EntryPointFunc entry) : Session(app, entry, this) {
    RegisterCustomUISuites(*this);
    RegisterDrawbotSuites(*this);
}

PF_Err Host::ParamsSetup() {
    registered_ui_.clear();
    return Session::ParamsSetup();
}

void Host::CommandStarts(PF_Cmd cmd) {
    command_violations_.clear();
    accounting_.BeginCommand();
    trace_.Add(cmd, "EntryPointFunc", CommandName(cmd), PF_Err_NONE);
}

void Host::CommandEnded(PF_Cmd cmd) {
    for (const std::string& imbalance : accounting_.Imbalances()) AddViolation(CommandName(cmd) + ": " + imbalance);
}

void Host::AddViolation(std::string what) {
    all_violations_.push_back(what);
    command_violations_.push_back(std::move(what));
}

std::vector<PrPixelFormat> Host::SupportedPixelFormats() const {
    std::vector<PrPixelFormat> formats;
    for (const auto& call : pixel_format_calls_) {
        if (call.call == "ClearSupportedPixelFormats") {
            formats.clear();
        } else {
            formats.push_back(call.format);
        }
    }
    return formats;
}

Host* Host::Current() { return dynamic_cast<Host*>(Session::Current()); }

void Host::Trace(std::string call, std::string detail, PF_Err result) {
    trace_.Add(current_command(), std::move(call), std::move(detail), result);
}

}  // namespace qxv::hostsim
