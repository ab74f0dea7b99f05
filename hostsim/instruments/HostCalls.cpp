#include "hostsim/instruments/HostCalls.h"

#include <string>

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

void FailureInjection::FailSuite(const std::string& name, std::int32_t version, SuiteFailure mode) {
    std::lock_guard<std::mutex> lock(mutex_);
    suites_.push_back(SuiteRule{name, version, mode});
}

bool FailureInjection::SuiteFails(const std::string& name, std::int32_t version, SuiteFailure& mode) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& rule : suites_) {
        if (rule.name == name && (rule.version == 0 || rule.version == version)) {
            mode = rule.mode;
            return true;
        }
    }
    return false;
}

void FailureInjection::FailCall(const std::string& call, int occurrence, PF_Err code) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.emplace(call, CallRule{occurrence, code});
    // Occurrences count from the moment the rule is armed.
    seen_[call] = 0;
}

PF_Err FailureInjection::Check(const std::string& call) {
    std::lock_guard<std::mutex> lock(mutex_);
    int occurrence = ++seen_[call];
    auto [first, last] = calls_.equal_range(call);
    for (auto it = first; it != last; ++it) {
        if (it->second.occurrence == 0 || it->second.occurrence == occurrence) return it->second.code;
    }
    return PF_Err_NONE;
}

std::map<std::string, int> FailureInjection::Seen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

void FailureInjection::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    suites_.clear();
    calls_.clear();
    seen_.clear();
}

void HostTrace::Add(int command, std::string name, std::string detail, PF_Err result) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(HostCall{command, std::move(name), std::move(detail), result});
}

void HostTrace::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
}

std::vector<HostCall> HostTrace::Calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

std::vector<HostCall> HostTrace::Calls(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<HostCall> matching;
    for (const auto& call : calls_) {
        if (call.name == name) matching.push_back(call);
    }
    return matching;
}

std::size_t HostTrace::size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_.size();
}

}  // namespace qxv::hostsim
