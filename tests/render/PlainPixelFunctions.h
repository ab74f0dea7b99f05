// The plain pixel functions, in the host iteration's callback shape, one per pixel layout:
// convert the pixel to a working float pixel, shade it (mask, then ShadeWithMask), convert
// it back; refcon is the RenderContext. They are the formulas written straight, the reference that the specialised
// functions Render hands to the host (render/PixelFunctions.h) must match bit for bit.
// The plug-in never runs them, so they live with the tests and the benchmark.
#pragma once

#include "AE_Effect.h"
#include "AE_EffectSuites.h"

namespace qxv::test {

PF_Err PlainPixelArgb8(void* refcon, A_long x, A_long y, PF_Pixel* in, PF_Pixel* out);
PF_Err PlainPixelArgb16(void* refcon, A_long x, A_long y, PF_Pixel16* in, PF_Pixel16* out);
// Premiere Pro's 8-bit BGRA, handed over in PF_Pixel records.
PF_Err PlainPixelBgra8(void* refcon, A_long x, A_long y, PF_Pixel* in, PF_Pixel* out);
// Premiere Pro's 32-bit float BGRA, handed over in PF_PixelFloat records.
PF_Err PlainPixelBgraFloat(void* refcon, A_long x, A_long y, PF_PixelFloat* in, PF_PixelFloat* out);

}  // namespace qxv::test
