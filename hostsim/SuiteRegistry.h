// The suites a host offers, by exact name and version, as the basic suite hands them out.
// Lookups are case-sensitive: the host matches "PF iterate16 Suite" exactly as spelled.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

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

class SuiteRegistry {
public:
    // Replaces any table registered under the same name and version. The table must outlive
    // the registry (suite tables are static data).
    void Register(const std::string& name, std::int32_t version, const void* table);
    void Unregister(const std::string& name, std::int32_t version);
    const void* Find(const std::string& name, std::int32_t version) const;  // null when absent
    std::vector<SuiteKey> Keys() const;                                      // sorted

private:
    std::map<SuiteKey, const void*> tables_;
};

}  // namespace qxv::hostsim
