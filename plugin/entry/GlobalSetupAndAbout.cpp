// The two commands that speak for the effect as a whole rather than for one instance: its
// version and capabilities, and the About text.
#include "entry/Commands.h"

#include "AE_EffectPixelFormat.h"
#include "host/HostApp.h"
#include "host/SuiteCache.h"
#include "params/StringTable.h"
#include "resources/EffectIdentity.h"

namespace qxv {

PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data) {
    out_data->my_version = kEffectVersion;
    out_data->out_flags = static_cast<PF_OutFlags>(kGlobalOutFlags);
    if (!IsPremierePro(in_data)) return PF_Err_NONE;

    // Without the pixel-format suite Premiere Pro still loads the effect; the user is told,
    // and the host falls back to its own format choice.
    if (!in_data->pica_basicP) {
        ReportError(in_data, out_data, kSuiteNotAcquiredMessage);
        return PF_Err_NONE;
    }
    SuiteCache suites(in_data, out_data);
    const PF_PixelFormatSuite1* pixel_formats = nullptr;
    if (suites.AcquireReported(SuiteCache::kPixelFormat, &pixel_formats)) return PF_Err_NONE;
    // Float first: the host prefers the earliest format it can supply.
    pixel_formats->ClearSupportedPixelFormats(in_data->effect_ref);
    pixel_formats->AddSupportedPixelFormat(in_data->effect_ref, PrPixelFormat_BGRA_4444_32f);
    pixel_formats->AddSupportedPixelFormat(in_data->effect_ref, PrPixelFormat_BGRA_4444_8u);
    return PF_Err_NONE;
}

PF_Err About(PF_InData* in_data, PF_OutData* out_data) {
    SuiteCache suites(in_data, out_data);
    // '\r' is the host's line break in this dialog.
    suites.ANSISuite()->sprintf(out_data->return_msg, "%s v%d.%d\r%s", StringTableText(StrID_Name), kMajorVersion,
                                kMinorVersion, StringTableText(StrID_Description));
    return PF_Err_NONE;
}

}  // namespace qxv
