// Acquire/release bookkeeping per suite: the host's proof that a plug-in gives back every
// suite it took, exactly once, within the command that took it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "hostsim/SuiteRegistry.h"

namespace qxv::hostsim {

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

}  // namespace qxv::hostsim
