#include "render/PixelFormats.h"

#include <algorithm>
#include <cstddef>

namespace qxv {
namespace {

PF_PixelFloat* RowStart(const PF_EffectWorld* world, A_long row) {
    // rowbytes may be negative for bottom-up worlds, so the offset is signed.
    return reinterpret_cast<PF_PixelFloat*>(reinterpret_cast<char*>(world->data) +
                                            static_cast<std::ptrdiff_t>(row) * world->rowbytes);
}

}  // namespace

PF_Err IterateBgraFloat(A_long first_row, A_long end_row, PF_EffectWorld* src, void* refcon,
                        PF_IteratePixelFloatFunc pixel_fn, PF_EffectWorld* dst) {
    if (!src->data || !dst->data) return PF_Err_NONE;
    const A_long columns = std::min(src->width, dst->width);
    const A_long begin = std::max<A_long>(first_row, 0);
    const A_long end = std::min({end_row, src->height, dst->height});
    for (A_long y = begin; y < end; ++y) {
        PF_PixelFloat* in = RowStart(src, y);
        PF_PixelFloat* out = RowStart(dst, y);
        for (A_long x = 0; x < columns; ++x) {
            pixel_fn(refcon, x, y, in + x, out + x);
        }
    }
    return PF_Err_NONE;
}

}  // namespace qxv
