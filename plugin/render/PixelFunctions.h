// The pixel functions Render hands to the host, specialised per pixel layout, shape and
// per-channel blend mode: shape and mode are decided once per frame instead of per pixel,
// bytes become floats through a table, and on 8-bit frames pixels in the core or outside
// the shape are answered from the job's byte tables. They give the same bits as the plain
// formulas (convert, mask, ShadeWithMask, convert back), which the tests keep as their reference.
// PixelArgb8 and its siblings pick the function for the job (and prepare the tables where
// they serve); the function must then be given the job as refcon.
#pragma once

#include "AE_Effect.h"
#include "AE_EffectSuites.h"
#include "render/ShadingJob.h"

namespace qxv {

PF_IteratePixel8Func PixelArgb8(ShadingJob* job);
PF_IteratePixel16Func PixelArgb16(ShadingJob* job);
PF_IteratePixel8Func PixelBgra8(ShadingJob* job);
PF_IteratePixelFloatFunc PixelBgraFloat(ShadingJob* job);

}  // namespace qxv
