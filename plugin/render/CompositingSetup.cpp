#include "render/CompositingSetup.h"

#include "params/ParamIndex.h"
#include "render/BlendModes.h"

namespace qxv {

void SetUpCompositing(PF_ParamDef* const params[], RenderContext* ctx) {
    ctx->opacity = static_cast<float>(params[kParamOpacity]->u.fd.value * (1.0 / 65536.0) / 100.0);

    if (params[kParamFillWith]->u.pd.value == kFillTransparent) {
        ctx->fill_alpha = 0.0f;
    } else {
        // The colour's alpha byte plays no part.
        const PF_Pixel& color = params[kParamColor]->u.cd.value;
        ctx->fill_alpha = 1.0f;
        ctx->fill_red = static_cast<float>(color.red) / 255.0f;
        ctx->fill_green = static_cast<float>(color.green) / 255.0f;
        ctx->fill_blue = static_cast<float>(color.blue) / 255.0f;
    }

    if (params[kParamMaskOnly]->u.bd.value != 0 || ctx->fill_alpha == 0.0f) {
        ctx->blend_code = kBlendNone;
    } else {
        ctx->blend_code = BlendCodeForPopup(params[kParamBlendingMode]->u.pd.value);
    }
}

}  // namespace qxv
