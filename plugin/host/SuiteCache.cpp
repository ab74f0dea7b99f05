#include "host/SuiteCache.h"

#include "DrawbotSuite.h"

namespace qxv {
namespace {

struct SuiteName {
    const char* name;
    int32_t version;
};

// Indexed by SuiteCache::Slot.
constexpr SuiteName kSuiteNames[] = {
    {kPFANSISuite, kPFANSISuiteVersion1},
    {kPFParamUtilsSuite, kPFParamUtilsSuiteVersion3},
    {kPFIterate8Suite, kPFIterate8SuiteVersion1},
    {kPFIterate16Suite, kPFIterate16SuiteVersion1},
    {kPFWorldTransformSuite, kPFWorldTransformSuiteVersion1},
    {kPFEffectCustomUISuite, kPFEffectCustomUISuiteVersion1},
    {kPFEffectCustomUIOverlayThemeSuite, kPFEffectCustomUIOverlayThemeSuiteVersion1},
    {kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1},
    {kDRAWBOT_DrawSuite, kDRAWBOT_DrawSuite_Version1},
    {kDRAWBOT_SupplierSuite, kDRAWBOT_SupplierSuite_Version1},
    {kDRAWBOT_SurfaceSuite, kDRAWBOT_SurfaceSuite_Version1},
    {kDRAWBOT_PathSuite, kDRAWBOT_PathSuite_Version1},
};
static_assert(sizeof(kSuiteNames) / sizeof(kSuiteNames[0]) == SuiteCache::kSlotCount);

// The only place the plug-in throws a host error code. It ends the command: EntryPointFunc
// is the one catch, and the cache releases on the way what was acquired before.
[[noreturn]] void ThrowSuiteMissing() { throw static_cast<PF_Err>(PF_Err_BAD_CALLBACK_PARAM); }

}  // namespace

void ReportError(PF_InData* in_data, PF_OutData* out_data, const char* message) {
    out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
    // The message goes through the host's own sprintf, as "%s" so that no character of it is
    // taken for a format directive.
    if (in_data->utils && in_data->utils->ansi.sprintf) {
        in_data->utils->ansi.sprintf(out_data->return_msg, "%s", message);
    }
}

SuiteCache::SuiteCache(PF_InData* in_data, PF_OutData* out_data)
    : in_data_(in_data), out_data_(out_data), suites_{} {
    if (!in_data_->pica_basicP) ThrowSuiteMissing();
}

SuiteCache::~SuiteCache() {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (suites_[slot]) in_data_->pica_basicP->ReleaseSuite(kSuiteNames[slot].name, kSuiteNames[slot].version);
    }
}

void SuiteCache::ReportError(const char* message) { qxv::ReportError(in_data_, out_data_, message); }

const void* SuiteCache::TryAcquire(Slot slot) {
    if (suites_[slot]) return suites_[slot];
    const void* suite = nullptr;
    // Only the pointer is trusted: some hosts answer a missing suite with success and null.
    // Nothing is held after a failed call, so nothing is released for it.
    if (in_data_->pica_basicP->AcquireSuite(kSuiteNames[slot].name, kSuiteNames[slot].version, &suite) !=
        kSPNoError) {
        return nullptr;
    }
    suites_[slot] = suite;
    return suite;
}

const void* SuiteCache::Acquire(Slot slot) {
    const void* suite = TryAcquire(slot);
    if (!suite) ThrowSuiteMissing();
    return suite;
}

PF_Err SuiteCache::AcquireReported(Slot slot, const void** suite) {
    *suite = TryAcquire(slot);
    if (*suite) return PF_Err_NONE;
    ReportError(kSuiteNotAcquiredMessage);
    return PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err AEFX_AcquireDrawbotSuites(SuiteCache& cache, DrawbotSuites* suites) {
    if (!suites) {
        cache.ReportError("NULL suite pointer passed to AEFX_AcquireDrawbotSuites");
        return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    }
    PF_Err err = cache.AcquireReported(SuiteCache::kDrawbotDraw, &suites->draw);
    if (!err) err = cache.AcquireReported(SuiteCache::kDrawbotSupplier, &suites->supplier);
    if (!err) err = cache.AcquireReported(SuiteCache::kDrawbotSurface, &suites->surface);
    if (!err) err = cache.AcquireReported(SuiteCache::kDrawbotPath, &suites->path);
    return err;
}

}  // namespace qxv
