#include "render/ShadingJob.h"

#include <cstring>
#include <new>

#include "render/BlendModes.h"
#include "render/PixelConversion.h"
#include "render/ShadeWithMask.h"

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

void PrepareOutsidePairs(ShadingJob* job, const int (&table_of_byte)[4]) {
    job->outside_pairs.clear();
    if (!job->has_byte_tables || !job->span_rows) return;
    const auto& tables = job->byte_tables[ClassifyFlatMask(job->outside_mask)];
    try {
        job->outside_pairs.resize(2 * 65536);
    } catch (const std::bad_alloc&) {
        return;  // only a shortcut is lost: outside pixels take the per-byte tables
    }
    for (int half = 0; half < 2; ++half) {
        const A_u_char* first = tables[table_of_byte[2 * half]];
        const A_u_char* second = tables[table_of_byte[2 * half + 1]];
        std::uint16_t* pairs = job->outside_pairs.data() + half * 65536;
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b) {
                // Keys and entries in memory order, whatever the machine's byte order.
                const A_u_char key_bytes[2] = {static_cast<A_u_char>(a), static_cast<A_u_char>(b)};
                const A_u_char out_bytes[2] = {first[a], second[b]};
                std::uint16_t key;
                std::memcpy(&key, key_bytes, sizeof key);
                std::memcpy(&pairs[key], out_bytes, sizeof key);
            }
        }
    }
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
