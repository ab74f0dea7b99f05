// The effect's own row loop for Premiere Pro's float BGRA frames, which the host's 8- and
// 16-bit iterate suites do not cover. Runs on the calling thread, without progress or abort
// checks.
#pragma once

#include "AE_Effect.h"
#include "AE_EffectSuites.h"

namespace qxv {

// Calls pixel_fn for rows first_row..end_row-1 and every column, passing each pixel's
// column and row in the output world. Only rows and columns that exist in both worlds are
// visited, so a source smaller than the output, or a row range beyond either world, never
// leads outside a buffer. Pixel results are ignored; returns PF_Err_NONE.
PF_Err IterateBgraFloat(A_long first_row, A_long end_row, PF_EffectWorld* src, void* refcon,
                        PF_IteratePixelFloatFunc pixel_fn, PF_EffectWorld* dst);

}  // namespace qxv
