// The masks of a run of neighbouring pixels in one row, bit for bit what EllipseMask and
// RectangleMask give pixel by pixel. An ellipse band pixel's mask is a chain of square roots
// and divisions, each waiting for the one before; four pixels at a time through the SSE
// unit, whose single-precision arithmetic rounds exactly as the scalar one, do four chains
// in the time of one. The curves other than Linear then run over the whole run's positions
// at once (BandCurve.h): the pow curves' bounds two at a time, or four where the processor
// has AVX2 (WideCurveRuns.h), a rectangle's corners included; what is left pixel by pixel
// (Quadratic, Cubic, the rare exact pow) overlaps across the independent pixels of the run.
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
void RectangleMaskRun(const RenderContext* ctx, A_long x, A_long y, int count, float* masks);

}  // namespace qxv
