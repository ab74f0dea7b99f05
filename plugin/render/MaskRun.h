// The ellipse's masks of a run of neighbouring pixels in one row, bit for bit what
// EllipseMask gives pixel by pixel. A band pixel's mask is a chain of square roots and
// divisions, each waiting for the one before; four pixels at a time through the SSE unit,
// whose single-precision arithmetic rounds exactly as the scalar one, do four chains in the
// time of one. Only the falloff curve runs pixel by pixel, and there the processor overlaps
// the independent pixels of the run. (The rectangle's mask is a few subtractions and
// products; runs did not make it faster.)
#pragma once

#include "AE_Effect.h"
#include "render/RenderContext.h"

namespace qxv {

// The longest run one call computes; runs are whole groups of four pixels.
constexpr int kMaskRunLength = 64;

// masks[i] = the mask of pixel (x + i, y) for i in 0..count-1, count in 1..kMaskRunLength;
// `masks` has room for count rounded up to a multiple of four (the extra entries are
// written with masks of the pixels beyond). x + that rounded count must not overflow.
void EllipseMaskRun(const RenderContext* ctx, A_long x, A_long y, int count, float* masks);

}  // namespace qxv
