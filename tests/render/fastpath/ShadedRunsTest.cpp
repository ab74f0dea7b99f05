// A run's pixels shaded together, four or eight at a time, against each pixel shaded alone
// by the plain formulas, in every mode shaded from the amount and both 8-bit layouts.
// Equality is bitwise.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "render/Blending.h"
#include "render/PixelFormats.h"
#include "render/fastpath/ShadedRuns.h"

namespace qxv {
namespace {

// The plain path: bytes to floats, ShadeWithMask at mask m (opacity 1, so the amount is m),
// floats to bytes.
template <class Format>
std::uint32_t ShadeAlone(const RenderContext& ctx, const Hsv& fill_hsv, float m, std::uint32_t pixel) {
    PF_Pixel in, out;
    std::memcpy(&in, &pixel, sizeof in);
    const PF_PixelFloat src = Format::Load(&in);
    PF_PixelFloat result;
    ShadeWithMask(&ctx, m, &src, &result, &fill_hsv);
    Format::Store(result, &out);
    std::memcpy(&pixel, &out, sizeof pixel);
    return pixel;
}

template <class Format>
void ExpectRunsShadeAsAlone(std::mt19937& rng, std::int32_t code) {
    std::uniform_int_distribution<std::uint32_t> pixel;
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    ShadingJob job{};
    RenderContext& ctx = job.context;
    ctx.blend_code = code;
    ctx.opacity = 1.0f;
    ctx.fill_alpha = 1.0f;
    // Soft light's branch per channel and the fill's hue sector vary with the colour.
    ctx.fill_red = unit(rng), ctx.fill_green = unit(rng), ctx.fill_blue = unit(rng);
    job.fill_hsv = FillHsv(&ctx);
    job.fill_sector = SectorOfHue(job.fill_hsv.h);

    alignas(32) float amounts[kMaskRunLength];
    std::uint32_t pixels[kMaskRunLength];
    for (int i = 0; i < kMaskRunLength; ++i) {
        const int kind = i % 8;
        amounts[i] = kind == 0 ? 0.0f : kind == 1 ? 1.0f : unit(rng);
        pixels[i] = pixel(rng);
        if (kind == 2) pixels[i] = 0x01010101u * (pixels[i] & 0xFF);  // grey: no saturation
    }
    for (const int count : {kMaskRunLength, 61, 5, 1}) {
        alignas(32) std::uint32_t inputs[kMaskRunLength], four[kMaskRunLength], eight[kMaskRunLength];
        const auto shade_four = [&](auto mode) {
            ShadeRunFourLanes<Format, decltype(mode)::value>(job, count, amounts, pixels, inputs, four);
        };
        switch (code) {
            case kBlendHue: shade_four(std::integral_constant<std::int32_t, kBlendHue>{}); break;
            case kBlendColor: shade_four(std::integral_constant<std::int32_t, kBlendColor>{}); break;
            default:
                WithBlendCode(code, [&](auto mode) {
                    if constexpr (ShadesFromAmount(decltype(mode)::value)) shade_four(mode);
                });
        }
        if (HasWideLanes()) {
            ShadeRunEightLanes(job, std::is_same_v<Format, Bgra8Format>, count, amounts, pixels, inputs, eight);
        }
        for (int i = 0; i < count; ++i) {
            const std::uint32_t alone = ShadeAlone<Format>(ctx, job.fill_hsv, amounts[i], pixels[i]);
            ASSERT_EQ(inputs[i], pixels[i]);
            ASSERT_EQ(four[i], alone) << "four lanes, mode " << code << ", pixel " << i << " of " << count;
            if (HasWideLanes()) {
                ASSERT_EQ(eight[i], alone) << "eight lanes, mode " << code << ", pixel " << i;
            }
        }
    }
}

TEST(ShadedRunsTest, EveryPixelAsShadedAlone) {
    std::mt19937 rng(5);
    const std::int32_t codes[] = {kBlendNormal, kBlendAdd,       kBlendLinearDodge, kBlendMultiply, kBlendScreen,
                                  kBlendLinearBurn, kBlendSubtract, kBlendSoftLight,  kBlendHue,      kBlendColor};
    for (int round = 0; round < 40; ++round) {
        for (const std::int32_t code : codes) {
            ExpectRunsShadeAsAlone<Argb8Format>(rng, code);
            ExpectRunsShadeAsAlone<Bgra8Format>(rng, code);
        }
    }
}

}  // namespace
}  // namespace qxv
