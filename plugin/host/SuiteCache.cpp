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
    {kDRAWBOT_DrawSuite, kDRAWBOT_DrawSuite_Version1},
};

}  // namespace

SuiteCache::SuiteCache(SPBasicSuite* pica_basicP) : pica_basicP_(pica_basicP), suites_{} {
    if (!pica_basicP_) throw static_cast<PF_Err>(PF_Err_BAD_CALLBACK_PARAM);
}

SuiteCache::~SuiteCache() {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (suites_[slot]) pica_basicP_->ReleaseSuite(kSuiteNames[slot].name, kSuiteNames[slot].version);
    }
}

const void* SuiteCache::Acquire(Slot slot) {
    if (suites_[slot]) return suites_[slot];
    const void* suite = nullptr;
    if (pica_basicP_->AcquireSuite(kSuiteNames[slot].name, kSuiteNames[slot].version, &suite) != kSPNoError ||
        !suite) {
        throw static_cast<PF_Err>(PF_Err_BAD_CALLBACK_PARAM);
    }
    suites_[slot] = suite;
    return suite;
}

const PF_ANSICallbacksSuite1* SuiteCache::ANSISuite() {
    return static_cast<const PF_ANSICallbacksSuite1*>(Acquire(kANSI));
}
const PF_ParamUtilsSuite3* SuiteCache::ParamUtilsSuite() {
    return static_cast<const PF_ParamUtilsSuite3*>(Acquire(kParamUtils));
}
const PF_Iterate8Suite1* SuiteCache::Iterate8Suite() {
    return static_cast<const PF_Iterate8Suite1*>(Acquire(kIterate8));
}
const PF_iterate16Suite1* SuiteCache::Iterate16Suite() {
    return static_cast<const PF_iterate16Suite1*>(Acquire(kIterate16));
}
const PF_WorldTransformSuite1* SuiteCache::WorldTransformSuite() {
    return static_cast<const PF_WorldTransformSuite1*>(Acquire(kWorldTransform));
}
const PF_EffectCustomUISuite1* SuiteCache::EffectCustomUISuite() {
    return static_cast<const PF_EffectCustomUISuite1*>(Acquire(kCustomUI));
}
const PF_EffectCustomUIOverlayThemeSuite1* SuiteCache::OverlayThemeSuite() {
    return static_cast<const PF_EffectCustomUIOverlayThemeSuite1*>(Acquire(kOverlayTheme));
}
const DRAWBOT_DrawbotSuite1* SuiteCache::DrawbotDrawSuite() {
    return static_cast<const DRAWBOT_DrawbotSuite1*>(Acquire(kDrawbotDraw));
}

}  // namespace qxv
