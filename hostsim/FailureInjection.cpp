#include "hostsim/FailureInjection.h"

namespace qxv::hostsim {

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

}  // namespace qxv::hostsim
