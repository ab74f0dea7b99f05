#include "hostsim/SuiteRegistry.h"

namespace qxv::hostsim {

std::string SuiteKey::ToString() const { return name + " v" + std::to_string(version); }

void SuiteRegistry::Register(const std::string& name, std::int32_t version, const void* table) {
    tables_[SuiteKey{name, version}] = table;
}

void SuiteRegistry::Unregister(const std::string& name, std::int32_t version) {
    tables_.erase(SuiteKey{name, version});
}

const void* SuiteRegistry::Find(const std::string& name, std::int32_t version) const {
    auto it = tables_.find(SuiteKey{name, version});
    return it == tables_.end() ? nullptr : it->second;
}

std::vector<SuiteKey> SuiteRegistry::Keys() const {
    std::vector<SuiteKey> keys;
    for (const auto& entry : tables_) keys.push_back(entry.first);
    return keys;
}

}  // namespace qxv::hostsim
