// The suites a host offers, by exact name and version, and the basic suite (pica_basicP)
// that hands them out. Lookups are case-sensitive: the host matches "PF iterate16 Suite"
// exactly as spelled.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "SPBasic.h"
#include "hostsim/SessionObserver.h"

namespace qxv::hostsim {

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

// The basic suite's answer for a suite it does not have ('S!Fd').
constexpr PF_Err kSPSuiteNotFoundError = 0x53214664;

// AcquireSuite and ReleaseSuite against the current session's registry, the C library's
// memory for the block entries.
SPBasicSuite MakeBasicSuite();

}  // namespace qxv::hostsim
