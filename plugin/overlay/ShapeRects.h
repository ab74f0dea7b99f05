// The vignette's outline rectangle and its feather rectangle in layer coordinates.
#pragma once

#include "overlay/OverlayParams.h"
#include "overlay/OverlayRecords.h"

namespace qxv {

// The outline is W x H about the origin, its horizontal half divided by the pixel aspect
// ratio. The feather rectangle is the outline shrunk by F at the sides (square pixels) and
// by F x H / W at the top and bottom, so it keeps the outline's proportions; with F beyond
// W / 2 it turns inside out. Nothing is clamped.
ShapeRects ComputeShapeRects(const PF_InData* in_data, const OverlayParams& params);

}  // namespace qxv
