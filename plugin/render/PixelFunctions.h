// The pixel functions in the host iteration's callback shape, one per pixel layout: convert
// the pixel to a working float pixel, shade it, convert it back. refcon is the RenderContext.
// These are the plain forms; Render runs the specialised equivalents of FastPixelFunctions.h.
#pragma once

#include "AE_Effect.h"
#include "AE_EffectSuites.h"

namespace qxv {

PF_Err PixelArgb8(void* refcon, A_long x, A_long y, PF_Pixel* in, PF_Pixel* out);
PF_Err PixelArgb16(void* refcon, A_long x, A_long y, PF_Pixel16* in, PF_Pixel16* out);
// Premiere Pro's 8-bit BGRA, handed over in PF_Pixel records.
PF_Err PixelBgra8(void* refcon, A_long x, A_long y, PF_Pixel* in, PF_Pixel* out);
// Premiere Pro's 32-bit float BGRA, handed over in PF_PixelFloat records.
PF_Err PixelBgraFloat(void* refcon, A_long x, A_long y, PF_PixelFloat* in, PF_PixelFloat* out);

}  // namespace qxv
