// Every call the plug-in made into the host, in order: suite acquisitions and releases,
// add_param, register_ui, PF_UpdateParamUI, pixel-format calls, sprintf and the rest. Host
// callbacks append here; whoever adds a callback appends its own entries the same way.
// Appending is safe from several threads (an iteration may run on a pool).
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "AE_Effect.h"

namespace qxv::hostsim {

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

// Text for a trace detail: in double quotes, with control characters escaped ("a\rb").
std::string QuoteText(const char* text);

// "PF_Cmd_ABOUT" for 0, ..., "command 100" for codes the host does not name.
std::string CommandName(PF_Cmd cmd);

}  // namespace qxv::hostsim
