#include "hostsim/BasicSuite.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "hostsim/Host.h"

namespace qxv::hostsim {

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

}  // namespace qxv::hostsim
