// Resolves "Fill with", "Color", "Opacity", "Blending mode" and "Mask Only" into the
// compositing fields of the RenderContext, once per frame.
#pragma once

#include "AE_Effect.h"
#include "render/RenderContext.h"

namespace qxv {

void SetUpCompositing(PF_ParamDef* const params[], RenderContext* ctx);

}  // namespace qxv
