#include "render/FastPixelFunctions.h"

#include "render/PixelFormats.h"
#include "render/ShadePixel.h"

namespace qxv {
namespace {

enum class Shape { kEllipse, kRectangle };

template <Shape kShape>
inline float MaskAt(const RenderContext* ctx, A_long x, A_long y) {
    float m;
    if constexpr (kShape == Shape::kEllipse) {
        EllipseMask(ctx, x, y, &m);
    } else {
        RectangleMask(ctx, x, y, &m);
    }
    return m;
}

// The input bytes are all read before any output byte is written: the host may iterate in
// place.
template <class Format>
inline void ApplyByteTables(const A_u_char (&tables)[4][256], const PF_Pixel* in, PF_Pixel* out) {
    const A_u_char* src = reinterpret_cast<const A_u_char*>(in);
    A_u_char* dst = reinterpret_cast<A_u_char*>(out);
    const A_u_char alpha = src[Format::kAlpha], red = src[Format::kRed], green = src[Format::kGreen],
                   blue = src[Format::kBlue];
    dst[Format::kAlpha] = tables[0][alpha];
    dst[Format::kRed] = tables[1][red];
    dst[Format::kGreen] = tables[2][green];
    dst[Format::kBlue] = tables[3][blue];
}

// Everything but the outside shortcut: out of line so that the shortcut stays a leaf, and
// with the mask, conversions and blend inlined into it.
template <class Format, Shape kShape, std::int32_t kCode>
[[gnu::noinline, gnu::flatten]] PF_Err ShadeWithShapeTest(const ShadingJob* job, A_long x, A_long y, typename Format::Pixel* in,
                                            typename Format::Pixel* out) {
    const RenderContext* ctx = &job->context;
    const float m = CertainlyOutside(job, x, y) ? job->outside_mask : MaskAt<kShape>(ctx, x, y);
    if constexpr (Format::kEightBit) {
        const FlatMask flat = ClassifyFlatMask(m);
        if (flat != kNotFlatMask && job->has_byte_tables) {
            ApplyByteTables<Format>(job->byte_tables[flat], in, out);
            return PF_Err_NONE;
        }
    }
    const PF_PixelFloat src = Format::Load(in);
    PF_PixelFloat result;
    ShadeWithMaskFor<kCode>(ctx, m, &src, &result);
    Format::Store(result, out);
    return PF_Err_NONE;
}

template <class Format, Shape kShape, std::int32_t kCode>
PF_Err ShadeSpecialised(void* refcon, A_long x, A_long y, typename Format::Pixel* in, typename Format::Pixel* out) {
    const ShadingJob* job = static_cast<const ShadingJob*>(refcon);
    // Most 8-bit pixels of a vignette: outside the shape, four table look-ups.
    if constexpr (Format::kEightBit) {
        if (job->outside_bytes && CertainlyOutside(job, x, y)) {
            ApplyByteTables<Format>(*job->outside_bytes, in, out);
            return PF_Err_NONE;
        }
    }
    return ShadeWithShapeTest<Format, kShape, kCode>(job, x, y, in, out);
}

template <class Format>
auto ChooseForShapeAndMode(const ShadingJob* job) {
    return WithBlendCode(job->context.blend_code, [job](auto mode) {
        constexpr std::int32_t kCode = decltype(mode)::value;
        return job->context.is_ellipse ? &ShadeSpecialised<Format, Shape::kEllipse, kCode>
                                       : &ShadeSpecialised<Format, Shape::kRectangle, kCode>;
    });
}

}  // namespace

PF_IteratePixel8Func ChoosePixelArgb8(ShadingJob* job) {
    PrepareByteTables(job);
    return ChooseForShapeAndMode<Argb8Format>(job);
}
PF_IteratePixel16Func ChoosePixelArgb16(ShadingJob* job) { return ChooseForShapeAndMode<Argb16Format>(job); }
PF_IteratePixel8Func ChoosePixelBgra8(ShadingJob* job) {
    PrepareByteTables(job);
    return ChooseForShapeAndMode<Bgra8Format>(job);
}
PF_IteratePixelFloatFunc ChoosePixelBgraFloat(ShadingJob* job) { return ChooseForShapeAndMode<BgraFloatFormat>(job); }

}  // namespace qxv
