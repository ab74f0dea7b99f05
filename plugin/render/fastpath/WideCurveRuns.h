// The pow curves over a run of band positions four at a time, in the AVX2 unit's 256-bit
// double lanes, for processors that have it: every lane takes the very steps of
// PowCurveBounds.h, each rounded as the SSE unit rounds it, so the bits are those of
// BandCurveRun and CornerCurveRun's two-lane loops.
#pragma once

#include <cstdint>

#include "render/RenderContext.h"

namespace qxv {

// Whether this processor (and its operating system) runs the functions below. Never on
// Windows: mingw-w64's compiler does not align the stack for 32-byte spills there.
bool HasWideCurveLanes();

// As BandCurveRun and CornerCurveRun, for the three pow curves only, with `t`, `p`, `q` and
// `values` holding the run's length rounded up to a multiple of four.
void BandCurveRunWide(const RenderContext* ctx, std::uint64_t wanted, const float* t, float* values);
void CornerCurveRunWide(const RenderContext* ctx, std::uint64_t wanted, const float* p, const float* q,
                        bool q_constant, float* values);

}  // namespace qxv
