// The simulated host the tests, qxv's diagnostics and the benches drive: a session
// (hostsim/Session.h) that watches itself. It keeps the trace of every host call, the
// acquire/release accounting of suites, the rules that make host calls fail on purpose and
// the host's findings; what the plug-in told the host beyond its parameters (register_ui,
// PF_UpdateParamUI, the pixel formats it supports, the last iteration); and it offers the
// overlay's suites (Drawbot, custom UI), recording what the plug-in draws.
//
// Typical use:
//     Host host(HostApp::kAfterEffects, library->entry());
//     host.failures().FailSuite("PF ANSI Suite");
//     PF_Err err = host.About();                 // or host.Send(cmd, params, output, extra)
//     host.CommandViolations();                  // e.g. an unreleased suite
//     host.trace().Calls("AcquireSuite");
#pragma once

#include <string>
#include <vector>

#include "hostsim/Session.h"
#include "hostsim/SessionObserver.h"
#include "hostsim/instruments/Drawbot.h"
#include "hostsim/instruments/HostCalls.h"

namespace qxv::hostsim {

class Host : private SessionObserver, public Session {
public:
    Host(HostApp app, PF_EntryPointFunc entry);

    SuiteAccounting& accounting() { return accounting_; }
    FailureInjection& failures() { return failures_; }
    HostTrace& trace() { return trace_; }

    // ParamsSetup also forgets the custom UI registered before.
    PF_Err ParamsSetup();
    // pica_basicP present (default) or null, for a host that hands out no basic suite.
    void SetBasicSuiteAvailable(bool available) { in_data().pica_basicP = available ? basic_suite_ : nullptr; }

    // Host-side findings of the last command: suite imbalances, exceptions across the entry,
    // calls with a foreign effect_ref, overlong strings copied into a fixed field...
    const std::vector<std::string>& CommandViolations() const { return command_violations_; }
    const std::vector<std::string>& AllViolations() const { return all_violations_; }
    void AddViolation(std::string what);

    // ---- What the plug-in told the host ----
    const std::vector<PF_CustomUIInfo>& registered_ui() const { return registered_ui_; }
    const std::vector<ParamUIUpdate>& param_ui_updates() const { return param_ui_updates_; }
    const std::vector<PixelFormatCall>& pixel_format_calls() const { return pixel_format_calls_; }
    std::vector<PrPixelFormat> SupportedPixelFormats() const;  // after the last Clear, in order
    const IterationReport& last_iteration() const { return last_iteration_; }

    // What the plug-in drew in the overlay event in progress or last sent.
    DrawbotRecorder& drawbot() { return drawbot_; }

    // ---- For host callbacks ----
    // The host of the command in progress on this thread; null outside Send() or when the
    // session there is not an instrumented one.
    static Host* Current();
    // Counts the occurrence for failure injection and returns the injected error or PF_Err_NONE.
    PF_Err CheckFailure(const std::string& call) { return failures_.Check(call); }
    // Appends to the trace, tagged with the current command.
    void Trace(std::string call, std::string detail, PF_Err result = PF_Err_NONE);

private:
    void CommandStarts(PF_Cmd cmd) override;
    void CommandEnded(PF_Cmd cmd) override;
    PF_Err Intercept(const std::string& call) override { return failures_.Check(call); }
    bool WithholdsSuite(const std::string& name, std::int32_t version, SuiteFailure& mode) override {
        return failures_.SuiteFails(name, version, mode);
    }
    void SuiteAcquired(const SuiteKey& key) override { accounting_.Acquired(key); }
    void SuiteReleased(const SuiteKey& key) override { accounting_.Released(key); }
    void Called(PF_Cmd command, std::string call, std::string detail, PF_Err result) override {
        trace_.Add(command, std::move(call), std::move(detail), result);
    }
    void Violation(std::string what) override { AddViolation(std::move(what)); }
    void UIRegistered(const PF_CustomUIInfo& info) override { registered_ui_.push_back(info); }
    void ParamUIUpdated(ParamUIUpdate update) override { param_ui_updates_.push_back(std::move(update)); }
    void PixelFormatCalled(PixelFormatCall call) override { pixel_format_calls_.push_back(std::move(call)); }
    void Iterated(const IterationReport& report) override { last_iteration_ = report; }

    SuiteAccounting accounting_;
    FailureInjection failures_;
    HostTrace trace_;
    std::vector<std::string> command_violations_;
    std::vector<std::string> all_violations_;
    std::vector<PF_CustomUIInfo> registered_ui_;
    std::vector<ParamUIUpdate> param_ui_updates_;
    std::vector<PixelFormatCall> pixel_format_calls_;
    IterationReport last_iteration_;
    DrawbotRecorder drawbot_;
    SPBasicSuite* basic_suite_ = in_data().pica_basicP;
};

// What the last iteration of this host did.
inline IterationReport LastIteration(const Host& host) { return host.last_iteration(); }

}  // namespace qxv::hostsim
