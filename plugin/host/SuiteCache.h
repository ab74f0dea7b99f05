// Per-command access to host suites: each suite is acquired on first use and released when
// the command's cache goes out of scope, however the command ends.
#pragma once

#include "AE_EffectSuites.h"
#include "SPBasic.h"

namespace qxv {

class SuiteCache {
public:
    // Throws PF_Err_BAD_CALLBACK_PARAM when the host gave no basic suite.
    explicit SuiteCache(SPBasicSuite* pica_basicP);
    ~SuiteCache();
    SuiteCache(const SuiteCache&) = delete;
    SuiteCache& operator=(const SuiteCache&) = delete;

    // Each throws PF_Err_BAD_CALLBACK_PARAM when the host cannot supply the suite.
    const PF_ANSICallbacksSuite1* ANSISuite();
    const PF_ParamUtilsSuite3* ParamUtilsSuite();
    const PF_Iterate8Suite1* Iterate8Suite();
    const PF_iterate16Suite1* Iterate16Suite();
    const PF_WorldTransformSuite1* WorldTransformSuite();
    const PF_EffectCustomUISuite1* EffectCustomUISuite();
    const PF_EffectCustomUIOverlayThemeSuite1* OverlayThemeSuite();
    const DRAWBOT_DrawbotSuite1* DrawbotDrawSuite();

private:
    enum Slot { kANSI, kParamUtils, kIterate8, kIterate16, kWorldTransform, kCustomUI, kOverlayTheme, kDrawbotDraw,
                kSlotCount };
    const void* Acquire(Slot slot);

    SPBasicSuite* pica_basicP_;
    const void* suites_[kSlotCount];
};

}  // namespace qxv
