#include "hostsim/Suites.h"

#include <cstdlib>
#include <cstring>

#include "hostsim/Session.h"

namespace qxv::hostsim {

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

std::string SuiteText(const char* name, int32_t version) {
    return (name ? QuoteText(name) : std::string("(null name)")) + " v" + std::to_string(version);
}

SPErr AcquireSuite(const char* name, int32_t version, const void** suite) {
    if (suite) *suite = nullptr;
    Session* session = Session::Current();
    if (!session) return kSPSuiteNotFoundError;
    SessionObserver* observer = session->observer();
    if (!name || !suite) {
        session->Report("AcquireSuite", SuiteText(name, version) + ": null argument", PF_Err_BAD_CALLBACK_PARAM);
        session->Violation("AcquireSuite called with a null name or out pointer");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (observer) {
        const std::string what = SuiteText(name, version);
        SuiteFailure mode{};
        if (observer->WithholdsSuite(name, version, mode)) {
            if (mode == SuiteFailure::kNullWithSuccess) {
                session->Report("AcquireSuite", what + " -> success with a null suite (injected)", kSPNoError);
                return kSPNoError;
            }
            session->Report("AcquireSuite", what + " -> unavailable (injected)", kSPSuiteNotFoundError);
            return kSPSuiteNotFoundError;
        }
        if (PF_Err injected = observer->Intercept("AcquireSuite")) {
            session->Report("AcquireSuite", what + " -> error (injected)", injected);
            return injected;
        }
    }
    const void* table = session->suites().Find(name, version);
    if (!table) {
        if (observer) session->Report("AcquireSuite", SuiteText(name, version) + " -> not offered by this host", kSPSuiteNotFoundError);
        return kSPSuiteNotFoundError;
    }
    *suite = table;
    if (observer) {
        observer->SuiteAcquired(SuiteKey{name, version});
        session->Report("AcquireSuite", SuiteText(name, version), kSPNoError);
    }
    return kSPNoError;
}

SPErr ReleaseSuite(const char* name, int32_t version) {
    Session* session = Session::Current();
    if (!session) return kSPSuiteNotFoundError;
    if (!name) {
        session->Report("ReleaseSuite", SuiteText(name, version), PF_Err_BAD_CALLBACK_PARAM);
        session->Violation("ReleaseSuite called with a null name");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    SessionObserver* observer = session->observer();
    if (!observer) return kSPNoError;
    // The plug-in did its part whatever the host answers, so the release is counted even
    // when an error is injected.
    observer->SuiteReleased(SuiteKey{name, version});
    PF_Err err = observer->Intercept("ReleaseSuite");
    session->Report("ReleaseSuite", SuiteText(name, version) + (err ? " -> error (injected)" : ""), err);
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

}  // namespace qxv::hostsim
