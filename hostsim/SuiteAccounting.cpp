#include "hostsim/SuiteAccounting.h"

namespace qxv::hostsim {

namespace {

SuiteCount Lookup(const std::map<SuiteKey, SuiteCount>& counts, const SuiteKey& key) {
    auto it = counts.find(key);
    return it == counts.end() ? SuiteCount{} : it->second;
}

}  // namespace

void SuiteAccounting::BeginCommand() { command_.clear(); }

void SuiteAccounting::Acquired(const SuiteKey& key) {
    ++command_[key].acquired;
    ++total_[key].acquired;
}

void SuiteAccounting::Released(const SuiteKey& key) {
    ++command_[key].released;
    ++total_[key].released;
}

SuiteCount SuiteAccounting::ThisCommand(const SuiteKey& key) const { return Lookup(command_, key); }
SuiteCount SuiteAccounting::Total(const SuiteKey& key) const { return Lookup(total_, key); }

int SuiteAccounting::AcquiredThisCommand() const {
    int n = 0;
    for (const auto& entry : command_) n += entry.second.acquired;
    return n;
}

std::vector<std::string> SuiteAccounting::Imbalances() const {
    std::vector<std::string> messages;
    for (const auto& [key, count] : command_) {
        if (count.acquired != count.released) {
            messages.push_back(key.ToString() + ": acquired " + std::to_string(count.acquired) + ", released " +
                               std::to_string(count.released));
        }
    }
    return messages;
}

}  // namespace qxv::hostsim
