// Makes the simulated host misbehave on purpose, so that a plug-in's error paths can be
// driven: a suite that cannot be had, or any host call answering with a chosen error on
// its Nth occurrence. Rules are generic over call names, so a callback added later only has
// to ask `Check("its name")` to become injectable.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "AE_Effect.h"

namespace qxv::hostsim {

// What AcquireSuite answers for a suite made unavailable.
enum class SuiteFailure {
    kError,          // an error code and a null pointer, as for a suite the host lacks
    kNullWithSuccess // success, but a null pointer: a host bug the plug-in must survive
};

// The basic suite's answer for a suite it does not have ('S!Fd').
constexpr PF_Err kSPSuiteNotFoundError = 0x53214664;

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

}  // namespace qxv::hostsim
