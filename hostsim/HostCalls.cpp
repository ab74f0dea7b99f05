#include "hostsim/HostCalls.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hostsim/Host.h"

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

namespace {

std::string SuiteText(const char* name, int32_t version) {
    return (name ? QuoteText(name) : std::string("(null name)")) + " v" + std::to_string(version);
}

SPErr AcquireSuite(const char* name, int32_t version, const void** suite) {
    if (suite) *suite = nullptr;
    Host* host = Host::Current();
    if (!host) return kSPSuiteNotFoundError;
    const std::string what = SuiteText(name, version);
    if (!name || !suite) {
        host->Trace("AcquireSuite", what + ": null argument", PF_Err_BAD_CALLBACK_PARAM);
        host->AddViolation("AcquireSuite called with a null name or out pointer");
        return PF_Err_BAD_CALLBACK_PARAM;
    }

    SuiteFailure mode{};
    if (host->failures().SuiteFails(name, version, mode)) {
        if (mode == SuiteFailure::kNullWithSuccess) {
            host->Trace("AcquireSuite", what + " -> success with a null suite (injected)", kSPNoError);
            return kSPNoError;
        }
        host->Trace("AcquireSuite", what + " -> unavailable (injected)", kSPSuiteNotFoundError);
        return kSPSuiteNotFoundError;
    }
    if (PF_Err injected = host->CheckFailure("AcquireSuite")) {
        host->Trace("AcquireSuite", what + " -> error (injected)", injected);
        return injected;
    }
    const void* table = host->suites().Find(name, version);
    if (!table) {
        host->Trace("AcquireSuite", what + " -> not offered by this host", kSPSuiteNotFoundError);
        return kSPSuiteNotFoundError;
    }
    *suite = table;
    host->accounting().Acquired(SuiteKey{name, version});
    host->Trace("AcquireSuite", what, kSPNoError);
    return kSPNoError;
}

SPErr ReleaseSuite(const char* name, int32_t version) {
    Host* host = Host::Current();
    if (!host) return kSPSuiteNotFoundError;
    const std::string what = SuiteText(name, version);
    if (!name) {
        host->Trace("ReleaseSuite", what, PF_Err_BAD_CALLBACK_PARAM);
        host->AddViolation("ReleaseSuite called with a null name");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    // The plug-in did its part whatever the host answers, so the release is counted even
    // when an error is injected.
    host->accounting().Released(SuiteKey{name, version});
    PF_Err err = host->CheckFailure("ReleaseSuite");
    host->Trace("ReleaseSuite", what + (err ? " -> error (injected)" : ""), err);
    return err;
}

SPBoolean IsEqual(const char* token1, const char* token2) {
    return token1 && token2 && std::strcmp(token1, token2) == 0;
}

SPErr AllocateBlock(size_t size, void** block) {
    if (!block) return PF_Err_BAD_CALLBACK_PARAM;
    *block = std::malloc(size);
    return *block ? SPErr{kSPNoError} : SPErr{PF_Err_OUT_OF_MEMORY};
}

SPErr FreeBlock(void* block) {
    std::free(block);
    return kSPNoError;
}

SPErr ReallocateBlock(void* block, size_t new_size, void** new_block) {
    if (!new_block) return PF_Err_BAD_CALLBACK_PARAM;
    *new_block = std::realloc(block, new_size);
    return *new_block ? SPErr{kSPNoError} : SPErr{PF_Err_OUT_OF_MEMORY};
}

SPErr Undefined() { return PF_Err_INVALID_CALLBACK; }

}  // namespace

SPBasicSuite MakeBasicSuite() {
    return SPBasicSuite{AcquireSuite, ReleaseSuite, IsEqual, AllocateBlock, FreeBlock, ReallocateBlock, Undefined};
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

std::string QuoteText(const char* text) {
    if (!text) return "(null)";
    std::string quoted = "\"";
    for (const char* c = text; *c; ++c) {
        switch (*c) {
            case '\r': quoted += "\\r"; break;
            case '\n': quoted += "\\n"; break;
            case '\t': quoted += "\\t"; break;
            case '"': quoted += "\\\""; break;
            case '\\': quoted += "\\\\"; break;
            default:
                if (static_cast<unsigned char>(*c) < 0x20) {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(*c));
                    quoted += hex;
                } else {
                    quoted += *c;
                }
        }
    }
    return quoted + "\"";
}

std::string CommandName(PF_Cmd cmd) {
    static const char* const kNames[] = {
        "PF_Cmd_ABOUT", "PF_Cmd_GLOBAL_SETUP", "PF_Cmd_UNUSED_0", "PF_Cmd_GLOBAL_SETDOWN", "PF_Cmd_PARAMS_SETUP",
        "PF_Cmd_SEQUENCE_SETUP", "PF_Cmd_SEQUENCE_RESETUP", "PF_Cmd_SEQUENCE_FLATTEN", "PF_Cmd_SEQUENCE_SETDOWN",
        "PF_Cmd_DO_DIALOG", "PF_Cmd_FRAME_SETUP", "PF_Cmd_RENDER", "PF_Cmd_FRAME_SETDOWN",
        "PF_Cmd_USER_CHANGED_PARAM", "PF_Cmd_UPDATE_PARAMS_UI", "PF_Cmd_EVENT", "PF_Cmd_GET_EXTERNAL_DEPENDENCIES",
        "PF_Cmd_COMPLETELY_GENERAL", "PF_Cmd_QUERY_DYNAMIC_FLAGS", "PF_Cmd_AUDIO_RENDER", "PF_Cmd_AUDIO_SETUP",
        "PF_Cmd_AUDIO_SETDOWN", "PF_Cmd_ARBITRARY_CALLBACK", "PF_Cmd_SMART_PRE_RENDER", "PF_Cmd_SMART_RENDER"};
    auto code = static_cast<std::uint32_t>(cmd);
    if (code < sizeof(kNames) / sizeof(kNames[0])) return kNames[code];
    return "command " + std::to_string(code);
}

}  // namespace qxv::hostsim
