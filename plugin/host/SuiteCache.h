// The one way the plug-in holds host suites. A handler makes one SuiteCache at the start of
// its host command and hands it down to everything that needs a suite; each suite is
// acquired the first time it is asked for, kept for the rest of the command, and released
// once when the cache goes out of scope, however the command ends.
//
// Two kinds of access, matching the two ways a missing suite is answered:
// - the named accessors throw PF_Err_BAD_CALLBACK_PARAM, which ends the command: only
//   EntryPointFunc catches it, and returns it to the host without a message;
// - the reported acquisitions (Premiere Pro's pixel-format suite, the Drawbot suites) tell
//   the user "Not able to acquire AEFX Suite." and return the code, and the handler decides
//   whether the command goes on.
#pragma once

#include "AE_EffectPixelFormat.h"
#include "AE_EffectSuites.h"
#include "DrawbotSuite.h"
#include "SPBasic.h"

namespace qxv {

class SuiteCache {
public:
    enum Slot {
        kANSI,
        kParamUtils,
        kIterate8,
        kIterate16,
        kWorldTransform,
        kCustomUI,
        kOverlayTheme,
        kPixelFormat,
        kDrawbotDraw,
        kDrawbotSupplier,
        kDrawbotSurface,
        kDrawbotPath,
        kSlotCount
    };

    // Throws PF_Err_BAD_CALLBACK_PARAM when the host gave no basic suite.
    SuiteCache(PF_InData* in_data, PF_OutData* out_data);
    // Releases every suite acquired, once. A release cannot fail in a way the plug-in could
    // act on: the host's answer is not looked at.
    ~SuiteCache();
    SuiteCache(const SuiteCache&) = delete;
    SuiteCache& operator=(const SuiteCache&) = delete;

    const PF_ANSICallbacksSuite1* ANSISuite() { return static_cast<const PF_ANSICallbacksSuite1*>(Acquire(kANSI)); }
    const PF_ParamUtilsSuite3* ParamUtilsSuite() {
        return static_cast<const PF_ParamUtilsSuite3*>(Acquire(kParamUtils));
    }
    const PF_Iterate8Suite1* Iterate8Suite() { return static_cast<const PF_Iterate8Suite1*>(Acquire(kIterate8)); }
    const PF_iterate16Suite1* Iterate16Suite() { return static_cast<const PF_iterate16Suite1*>(Acquire(kIterate16)); }
    const PF_WorldTransformSuite1* WorldTransformSuite() {
        return static_cast<const PF_WorldTransformSuite1*>(Acquire(kWorldTransform));
    }
    const PF_EffectCustomUISuite1* EffectCustomUISuite() {
        return static_cast<const PF_EffectCustomUISuite1*>(Acquire(kCustomUI));
    }
    const PF_EffectCustomUIOverlayThemeSuite1* OverlayThemeSuite() {
        return static_cast<const PF_EffectCustomUIOverlayThemeSuite1*>(Acquire(kOverlayTheme));
    }

    // Sets *suite, null when the host cannot supply it; then the user is told and
    // PF_Err_BAD_CALLBACK_PARAM comes back.
    template <typename Suite>
    PF_Err AcquireReported(Slot slot, const Suite** suite) {
        const void* held = nullptr;
        const PF_Err err = AcquireReported(slot, &held);
        *suite = static_cast<const Suite*>(held);
        return err;
    }

    // Shows a message through the host's error display.
    void ReportError(const char* message);

private:
    const void* Acquire(Slot slot);
    PF_Err AcquireReported(Slot slot, const void** suite);
    const void* TryAcquire(Slot slot);

    PF_InData* in_data_;
    PF_OutData* out_data_;
    const void* suites_[kSlotCount];
};

// What a reported acquisition shows when the host cannot supply a suite.
inline constexpr char kSuiteNotAcquiredMessage[] = "Not able to acquire AEFX Suite.";

// Shows a message through the host's error display (PF_OutFlag_DISPLAY_ERROR_MESSAGE and
// return_msg), for a handler that has no cache because the host gave no basic suite.
void ReportError(PF_InData* in_data, PF_OutData* out_data, const char* message);

// The four Drawbot suites the overlay draws with, taken as one set from the command's
// SuiteCache, which also gives them back.
struct DrawbotSuites {
    const DRAWBOT_DrawbotSuite1* draw;
    const DRAWBOT_SupplierSuite1* supplier;
    const DRAWBOT_SurfaceSuite1* surface;
    const DRAWBOT_PathSuite1* path;
};

// Acquires draw, supplier, surface and path in that order and stops at the first that
// cannot be had (PF_Err_BAD_CALLBACK_PARAM, reported to the user); the ones obtained before
// it stay in the record, and the cache releases them with the rest of the command's suites.
// A null record gives PF_Err_UNRECOGNIZED_PARAM_TYPE, also reported.
PF_Err AEFX_AcquireDrawbotSuites(SuiteCache& cache, DrawbotSuites* suites);

}  // namespace qxv
