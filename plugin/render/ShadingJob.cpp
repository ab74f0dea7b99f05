#include "render/ShadingJob.h"

#include "render/BlendModes.h"
#include "render/PixelConversion.h"
#include "render/ShadePixel.h"

namespace qxv {

void PrepareByteTables(ShadingJob* job) {
    const RenderContext* ctx = &job->context;
    job->has_byte_tables = !IsHueBlend(ctx->blend_code);
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
}

}  // namespace qxv
