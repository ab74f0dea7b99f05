// The records the overlay geometry passes around: rectangles in layer coordinates and the
// corner sets they become in the window.
#pragma once

#include "AE_Effect.h"

namespace qxv {

// 16.16 layer coordinates.
struct FixedRect {
    PF_Fixed left, top, right, bottom;
};

// The outline of the vignette and the feather rectangle inside it.
struct ShapeRects {
    FixedRect outline;
    FixedRect feather;
};

// Corners of an unrotated rectangle, named as on the unrotated shape; 16.16 window
// coordinates unless a user reduces them.
struct CornerSet {
    PF_FixedPoint top_left, top_right, bottom_left, bottom_right;
};

// The same four corners reduced to whole window pixels.
struct PixelCorners {
    PF_Point top_left, top_right, bottom_left, bottom_right;
};

}  // namespace qxv
