#include "PlainPixelFunctions.h"

#include "render/Blending.h"
#include "render/Mask.h"
#include "render/PixelFormats.h"

namespace qxv::test {
namespace {

// The mask of the pixel, then everything after it, each as written down.
PF_Err PlainShadePixel(const RenderContext* ctx, A_long x, A_long y, const PF_PixelFloat* src, PF_PixelFloat* out) {
    float m;
    const PF_Err err = ctx->is_ellipse ? EllipseMask(ctx, x, y, &m) : RectangleMask(ctx, x, y, &m);
    ShadeWithMask(ctx, m, src, out);
    return err;
}

template <class Format>
PF_Err ShadeHostPixel(void* refcon, A_long x, A_long y, const typename Format::Pixel* in,
                      typename Format::Pixel* out) {
    const PF_PixelFloat src = Format::Load(in);
    PF_PixelFloat result;
    const PF_Err err = PlainShadePixel(static_cast<const RenderContext*>(refcon), x, y, &src, &result);
    Format::Store(result, out);
    return err;
}

}  // namespace

PF_Err PlainPixelArgb8(void* refcon, A_long x, A_long y, PF_Pixel* in, PF_Pixel* out) {
    return ShadeHostPixel<Argb8Format>(refcon, x, y, in, out);
}
PF_Err PlainPixelArgb16(void* refcon, A_long x, A_long y, PF_Pixel16* in, PF_Pixel16* out) {
    return ShadeHostPixel<Argb16Format>(refcon, x, y, in, out);
}
PF_Err PlainPixelBgra8(void* refcon, A_long x, A_long y, PF_Pixel* in, PF_Pixel* out) {
    return ShadeHostPixel<Bgra8Format>(refcon, x, y, in, out);
}
PF_Err PlainPixelBgraFloat(void* refcon, A_long x, A_long y, PF_PixelFloat* in, PF_PixelFloat* out) {
    return ShadeHostPixel<BgraFloatFormat>(refcon, x, y, in, out);
}

}  // namespace qxv::test
