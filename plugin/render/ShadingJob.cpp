#include "render/ShadingJob.h"

#include <new>

#include "render/BlendModes.h"
#include "render/PixelConversion.h"
#include "render/ShadePixel.h"

namespace qxv {

void PrepareByteTables(ShadingJob* job) {
    const RenderContext* ctx = &job->context;
    job->has_byte_tables = !IsHueBlend(ctx->blend_code);
    job->outside_bytes = nullptr;
    if (!job->has_byte_tables) return;
    const float masks[kFlatMaskCount] = {0.0f, 1.0f};
    for (int flat = 0; flat < kFlatMaskCount; ++flat) {
        for (int n = 0; n < 256; ++n) {
            const float v = ByteToFloat(static_cast<A_u_char>(n));
            const PF_PixelFloat src = {v, v, v, v};
            PF_PixelFloat result;
            ShadeWithMask(ctx, masks[flat], &src, &result);
            job->byte_tables[flat][0][n] = FloatToByte(result.alpha);
            job->byte_tables[flat][1][n] = FloatToByte(result.red);
            job->byte_tables[flat][2][n] = FloatToByte(result.green);
            job->byte_tables[flat][3][n] = FloatToByte(result.blue);
        }
    }
    if (job->span_rows) job->outside_bytes = &job->byte_tables[ClassifyFlatMask(job->outside_mask)];
}

void PrepareOutsideSpans(ShadingJob* job, A_long columns, A_long rows) {
    job->span_columns = columns;
    job->outside_mask = job->context.invert ? 0.0f : 1.0f;  // 1 - 1 is +0, as the inverted mask gives
    try {
        job->outside_spans = ComputeOutsideSpans(job->context, columns, rows);
    } catch (const std::bad_alloc&) {
        job->outside_spans.clear();  // only a shortcut is lost: every pixel takes the exact test
    }
    job->span_rows = job->outside_spans.size();
}

}  // namespace qxv
