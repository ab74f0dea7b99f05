// Resolves the shape parameters and the host's scale factors into the mask fields of the
// RenderContext, once per frame.
#pragma once

#include "AE_Effect.h"
#include "render/RenderContext.h"

namespace qxv {

// Reads "Vignette Type", "Point of origin", "Width", "Height", "Angle", "Feather", "Invert"
// and "Alpha falloff" from params, and downsample_x/_y and pixel_aspect_ratio from in_data.
void SetUpMask(const PF_InData* in_data, PF_ParamDef* const params[], RenderContext* ctx);

}  // namespace qxv
