// Where each row of a frame certainly lies outside the shape's outer outline. Most pixels of
// a vignette are outside it; knowing that per row lets them skip the shape test without any
// chance of a different result: a pixel is left to the exact test unless the rounding of
// its single-precision arithmetic provably cannot bring it inside.
#pragma once

#include <vector>

#include "AE_Effect.h"
#include "render/RenderSetup.h"

namespace qxv {

// Columns first..last of a row may lie inside the outer outline; every other column of the
// row lies outside it. An empty span (first > last) puts the whole row outside.
struct RowSpan {
    A_long first;
    A_long last;
};

// One span per row for a frame of `columns` by `rows` pixels (column and row as the
// iteration passes them). Returns no spans when the geometry is not one the bound covers
// (non-finite or degenerate values); every pixel then takes the exact test.
std::vector<RowSpan> ComputeOutsideSpans(const RenderContext& ctx, A_long columns, A_long rows);

}  // namespace qxv
