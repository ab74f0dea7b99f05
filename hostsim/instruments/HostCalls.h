// What the instrumented host keeps of the calls a plug-in makes into it: the acquire/release
// accounting per suite, the failures injected on purpose and the trace of every call, in
// order.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "hostsim/SessionObserver.h"
#include "hostsim/Suites.h"

namespace qxv::hostsim {

// Acquire/release bookkeeping per suite: the host's proof that a plug-in gives back every
// suite it took, exactly once, within the command that took it.
struct SuiteCount {
    int acquired = 0;  // successful acquisitions only: a refused one handed nothing out
    int released = 0;
};

class SuiteAccounting {
public:
    void BeginCommand();  // clears the per-command counts
    void Acquired(const SuiteKey& key);
    void Released(const SuiteKey& key);

    const std::map<SuiteKey, SuiteCount>& ThisCommand() const { return command_; }
    const std::map<SuiteKey, SuiteCount>& Total() const { return total_; }
    SuiteCount ThisCommand(const SuiteKey& key) const;
    SuiteCount Total(const SuiteKey& key) const;
    int AcquiredThisCommand() const;  // over every suite

    // One message per suite whose acquisitions and releases differ in this command, e.g.
    // "PF ANSI Suite v1: acquired 1, released 0". Empty when balanced.
    std::vector<std::string> Imbalances() const;

private:
    std::map<SuiteKey, SuiteCount> command_;
    std::map<SuiteKey, SuiteCount> total_;
};

// Makes the simulated host misbehave on purpose, so that a plug-in's error paths can be
// driven: a suite that cannot be had, or any host call answering with a chosen error on
// its Nth occurrence. Rules are generic over call names, so a callback added later only has
// to ask `Check("its name")` to become injectable.

class FailureInjection {
public:
    // AcquireSuite of that name (any version when `version` is 0) fails from now on.
    void FailSuite(const std::string& name, std::int32_t version = 0, SuiteFailure mode = SuiteFailure::kError);
    // Whether, and how, AcquireSuite(name, version) is to fail.
    bool SuiteFails(const std::string& name, std::int32_t version, SuiteFailure& mode) const;

    // The host call named `call` (as in the trace: "add_param", "register_ui",
    // "PF_UpdateParamUI", "AcquireSuite"...) returns `code` on its Nth occurrence from now on
    // (1-based), or on every occurrence when `occurrence` is 0.
    void FailCall(const std::string& call, int occurrence, PF_Err code);

    // Called by every host callback as it starts: counts this occurrence of `call` and returns
    // the error it is to answer with, PF_Err_NONE when it should work normally.
    PF_Err Check(const std::string& call);

    void Clear();  // removes every rule and occurrence count

    // How often each call that answers to the rules has come in (since Clear, or since a rule
    // for it was armed): run a command once on a healthy host and this lists every failure
    // point it has, to be failed one at a time with FailCall(name, nth, code).
    std::map<std::string, int> Seen() const;

private:
    struct SuiteRule {
        std::string name;
        std::int32_t version;
        SuiteFailure mode;
    };
    struct CallRule {
        int occurrence;
        PF_Err code;
    };
    mutable std::mutex mutex_;
    std::vector<SuiteRule> suites_;
    std::multimap<std::string, CallRule> calls_;
    std::map<std::string, int> seen_;
};

// Every call the plug-in made into the host, in order: suite acquisitions and releases,
// add_param, register_ui, PF_UpdateParamUI, pixel-format calls, sprintf and the rest. Host
// callbacks append here; whoever adds a callback appends its own entries the same way.
// Appending is safe from several threads (an iteration may run on a pool).
struct HostCall {
    int command = -1;    // the command being sent when the call came in; -1 outside any
    std::string name;    // the host's name of the call: "AcquireSuite", "add_param", "sprintf"...
    std::string detail;  // arguments and outcome in readable form
    PF_Err result = PF_Err_NONE;
};

class HostTrace {
public:
    void Add(int command, std::string name, std::string detail, PF_Err result);
    void Clear();
    std::vector<HostCall> Calls() const;
    std::vector<HostCall> Calls(const std::string& name) const;  // only calls of that name
    std::size_t size() const;

private:
    mutable std::mutex mutex_;
    std::vector<HostCall> calls_;
};

}  // namespace qxv::hostsim
