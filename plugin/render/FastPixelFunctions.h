// Pixel functions specialised per pixel layout, shape and per-channel blend mode, giving the
// same bits as the plain ones of PixelFunctions.h: shape and mode are decided once per frame
// instead of per pixel, bytes become floats through a table, and on 8-bit frames pixels in
// the core or outside the shape are answered from the job's byte tables. Each Choose
// function picks the function for the job (and prepares the tables where they serve); the
// function must then be given the job as refcon.
#pragma once

#include "AE_Effect.h"
#include "AE_EffectSuites.h"
#include "render/ShadingJob.h"

namespace qxv {

PF_IteratePixel8Func ChoosePixelArgb8(ShadingJob* job);
PF_IteratePixel16Func ChoosePixelArgb16(ShadingJob* job);
PF_IteratePixel8Func ChoosePixelBgra8(ShadingJob* job);
PF_IteratePixelFloatFunc ChoosePixelBgraFloat(ShadingJob* job);

}  // namespace qxv
