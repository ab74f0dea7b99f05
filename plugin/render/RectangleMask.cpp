#include "render/RectangleMask.h"

#include <cmath>

#include "render/fastpath/BandCurve.h"
#include "render/BandPosition.h"

namespace qxv {

float RectangleBandValue(const RenderContext* ctx, float au, float av) {
    const bool beyond_inner_u = au >= ctx->inner_half_width;
    const bool beyond_inner_v = av >= ctx->inner_half_height;
    if (beyond_inner_u && beyond_inner_v) {
        // Corner: curve each axis first, then combine as a distance, limited to 1.
        const float pu = BandPosition((au - ctx->inner_half_width) * ctx->coef_u);
        const float qv = BandPosition((av - ctx->inner_half_height) * ctx->coef_v);
        return CornerCurve(ctx, pu, qv);
    }
    // A band at one end of the width axis, else at one end of the height axis.
    const float t = beyond_inner_u ? BandPosition((au - ctx->inner_half_width) * ctx->coef_u)
                                   : BandPosition((av - ctx->inner_half_height) * ctx->coef_v);
    return BandCurve(ctx, t);
}

}  // namespace qxv
