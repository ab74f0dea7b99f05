// What a session tells whoever watches it: every host call as it comes in and is answered,
// the suites handed out and given back, the rules of the host the plug-in broke, and what the
// plug-in told the host beyond its parameters. A session calls its observer through one
// pointer, null in the products (the frei0r module, qxv render), so that watching costs them
// nothing; the simulator's instrumented host (instruments/Host.h) is the observer of the
// tests, of qxv's diagnostics and of the benches, and may also make host calls fail on
// purpose through Intercept and WithholdsSuite.
#pragma once

#include <cstdint>
#include <string>

#include "AE_Effect.h"
#include "AE_EffectPixelFormat.h"
#include "AE_EffectUI.h"

namespace qxv::hostsim {

struct SuiteKey {
    std::string name;
    std::int32_t version = 0;

    bool operator<(const SuiteKey& other) const {
        return name != other.name ? name < other.name : version < other.version;
    }
    bool operator==(const SuiteKey& other) const { return name == other.name && version == other.version; }
    std::string ToString() const;  // "PF ANSI Suite v1"
};

// What AcquireSuite answers for a suite withheld.
enum class SuiteFailure {
    kError,          // an error code and a null pointer, as for a suite the host lacks
    kNullWithSuccess // success, but a null pointer: a host bug the plug-in must survive
};

struct ParamUIUpdate {
    PF_ParamIndex index = 0;
    PF_ParamDef def{};  // the copy the plug-in handed over (its pointers are not followed later)
    std::string name;   // def.name as text
};

struct PixelFormatCall {
    std::string call;  // "ClearSupportedPixelFormats" or "AddSupportedPixelFormat"
    PrPixelFormat format = 0;
};

// What one iteration (the iterate suites) did.
struct IterationReport {
    A_long rows_done = 0;         // rows whose every pixel was shaded
    A_long progress_current = 0;  // the last progress reported ...
    A_long progress_final = 0;    // ... out of this
    unsigned threads = 0;         // the rows were handed to (small frames stay on one)
    PF_Err result = PF_Err_NONE;
};

class SessionObserver {
public:
    // Around every command the session sends.
    virtual void CommandStarts(PF_Cmd cmd) = 0;
    virtual void CommandEnded(PF_Cmd cmd) = 0;

    // Asked by a host call named `call` ("add_param", "AcquireSuite", "abort"...) before it
    // does its work: the error it is to answer instead, PF_Err_NONE to work normally. Also
    // asked from the iteration's threads.
    virtual PF_Err Intercept(const std::string& call) = 0;
    // Whether AcquireSuite(name, version) is to fail, and how.
    virtual bool WithholdsSuite(const std::string& name, std::int32_t version, SuiteFailure& mode) = 0;
    virtual void SuiteAcquired(const SuiteKey& key) = 0;
    virtual void SuiteReleased(const SuiteKey& key) = 0;

    // A host call as it was answered, with its arguments and outcome in readable form, during
    // `command` (-1 outside any). Also called from the iteration's threads.
    virtual void Called(PF_Cmd command, std::string call, std::string detail, PF_Err result) = 0;
    // A rule of the host the plug-in broke (a suite taken and not given back, an exception
    // across the entry, a record that makes no sense...).
    virtual void Violation(std::string what) = 0;

    virtual void UIRegistered(const PF_CustomUIInfo& info) = 0;
    virtual void ParamUIUpdated(ParamUIUpdate update) = 0;
    virtual void PixelFormatCalled(PixelFormatCall call) = 0;
    virtual void Iterated(const IterationReport& report) = 0;

protected:
    ~SessionObserver() = default;
};

// Text for a call's detail: in double quotes, with control characters escaped ("a\rb").
std::string QuoteText(const char* text);

// "PF_Cmd_ABOUT" for 0, ..., "command 100" for codes the host does not name.
std::string CommandName(PF_Cmd cmd);

}  // namespace qxv::hostsim
