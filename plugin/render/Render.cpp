#include "entry/Commands.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "AE_EffectCB.h"
#include "AE_EffectPixelFormat.h"
#include "AE_EffectSuites.h"
#include "host/HostApp.h"
#include "host/SuiteCache.h"
#include "params/ParamIndex.h"
#include "render/PixelFormats.h"
#include "render/PixelFunctions.h"
#include "render/RenderSetup.h"

namespace qxv {
namespace {

// Opacity 0 leaves the frame as it was; the host copies it faster than any shading would.
PF_Err CopyInput(PF_InData* in_data, SuiteCache& suites, PF_EffectWorld* input, PF_EffectWorld* output) {
    if (IsPremierePro(in_data)) {
        return in_data->utils->copy(in_data->effect_ref, input, output, nullptr, nullptr);
    }
    const PF_WorldTransformSuite1* transform = suites.WorldTransformSuite();
    if (in_data->quality == PF_Quality_HI) {
        return transform->copy_hq(in_data->effect_ref, input, output, nullptr, nullptr);
    }
    return transform->copy(in_data->effect_ref, input, output, nullptr, nullptr);
}

// Premiere Pro hands over BGRA worlds; which one it is comes from its pixel-format suite.
PF_Err ShadeInPixelFormat(PF_InData* in_data, SuiteCache& suites, const PF_PixelFormatSuite1* formats,
                          ShadingJob* job, A_long rows, PF_EffectWorld* input, PF_EffectWorld* output) {
    PrPixelFormat format = PrPixelFormat_BGRA_4444_8u;
    formats->GetPixelFormat(output, &format);  // its result says no more than the format does
    switch (format) {
        case PrPixelFormat_BGRA_4444_32f:
            return IterateBgraFloat(0, rows, input, job, PixelBgraFloat(job), output);
        case PrPixelFormat_BGRA_4444_8u:
            return suites.Iterate8Suite()->iterate(in_data, 0, rows, input, nullptr, job, PixelBgra8(job),
                                                   output);
        default:
            return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    }
}

// Without the pixel-format suite the user is told and the frame fails; an error of the
// iteration, such as the user's abort, reaches the host as it is.
PF_Err RenderPremierePro(PF_InData* in_data, SuiteCache& suites, ShadingJob* job, A_long rows,
                         PF_EffectWorld* input, PF_EffectWorld* output) {
    const PF_PixelFormatSuite1* formats = nullptr;
    if (const PF_Err err = suites.AcquireReported(SuiteCache::kPixelFormat, &formats)) return err;
    return ShadeInPixelFormat(in_data, suites, formats, job, rows, input, output);
}

}  // namespace

PF_Err Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output) {
    SuiteCache suites(in_data, out_data);
    ShadingJob job{};
    // The rows the host's progress counts; a nonsensical extent hint must not overflow them.
    const A_long rows = static_cast<A_long>(std::clamp<std::int64_t>(
        std::int64_t{output->extent_hint.bottom} - output->extent_hint.top, std::numeric_limits<A_long>::min(),
        std::numeric_limits<A_long>::max()));
    SetUpMask(in_data, params, &job.context);
    SetUpCompositing(params, &job.context);

    PF_EffectWorld* input = &params[kParamInputLayer]->u.ld;
    if (job.context.opacity == 0.0f) return CopyInput(in_data, suites, input, output);
    PrepareOutsideSpans(&job, output->width, output->height);
    job.stored_masks = StoredMasks::For(job.context, output->width, output->height);
    job.source = SourceRowsOf(*input);

    if (IsPremierePro(in_data)) return RenderPremierePro(in_data, suites, &job, rows, input, output);

    // After Effects hands over 8- or 16-bit frames only: the effect does not claim float support.
    if (output->world_flags & PF_WorldFlag_DEEP) {
        return suites.Iterate16Suite()->iterate(in_data, 0, rows, input, nullptr, &job, PixelArgb16(&job),
                                                output);
    }
    return suites.Iterate8Suite()->iterate(in_data, 0, rows, input, nullptr, &job, PixelArgb8(&job), output);
}

}  // namespace qxv
