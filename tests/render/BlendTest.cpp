#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "ParamSet.h"
#include "PlainPixelFunctions.h"
#include "render/Blending.h"
#include "render/PixelFormats.h"
#include "render/RenderSetup.h"

namespace qxv {
namespace {

using test::ParamSet;

RenderContext ResolveContext(ParamSet& params) {
    RenderContext ctx{};
    const PF_InData in_data = test::FullResolutionInData();
    SetUpMask(&in_data, params.list, &ctx);
    SetUpCompositing(params.list, &ctx);
    return ctx;
}

// Origin (0, 0), default geometry: (300, 0) is outside (m = 1), (0, 0) the core (m = 0),
// (100, 0) mid-band (m = 0.5).
constexpr A_long kOutside = 300, kCore = 0, kMidBand = 100;

PF_Pixel ShadeArgb8(ParamSet& params, A_long x, PF_Pixel src) {
    params.SetOrigin(0, 0);
    RenderContext ctx = ResolveContext(params);
    PF_Pixel out{1, 2, 3, 4};
    EXPECT_EQ(test::PlainPixelArgb8(&ctx, x, 0, &src, &out), PF_Err_NONE);
    return out;
}

void ExpectPixel(const PF_Pixel& actual, const PF_Pixel& expected, const char* what) {
    EXPECT_EQ(actual.alpha, expected.alpha) << what;
    EXPECT_EQ(actual.red, expected.red) << what;
    EXPECT_EQ(actual.green, expected.green) << what;
    EXPECT_EQ(actual.blue, expected.blue) << what;
}

// The popup's values and the host's transfer-mode codes, which saved projects rely on, pinned
// against the one list they are derived from; only the four HSV modes are mixed through HSV.
TEST(BlendTest, PopupValuesMapToTheHostsTransferModeCodes) {
    const std::int32_t codes[] = {2, 4, 5, 6, 7, 8, 9, 10, 11, 26, 13, 14, 15, 16, 27, 29, 24, 30, 31, 32, 33, 35, 36,
                                  37, 38};
    for (std::int32_t popup = 1; popup <= 25; ++popup) {
        const std::int32_t code = BlendCodeForPopup(popup);
        EXPECT_EQ(code, codes[popup - 1]) << popup;
        EXPECT_EQ(IsHueBlend(code), popup >= 11 && popup <= 14) << popup;
    }
    for (std::int32_t outside : {0, 26, -1}) EXPECT_EQ(BlendCodeForPopup(outside), kBlendMultiply) << outside;
    EXPECT_FALSE(IsHueBlend(kBlendNone));
}

TEST(BlendTest, DefaultMultiplyDarkensOutsideOnly) {
    ParamSet params;
    ExpectPixel(ShadeArgb8(params, kOutside, {255, 201, 101, 51}), {255, 150, 75, 38}, "outside");
    ExpectPixel(ShadeArgb8(params, kCore, {255, 201, 101, 51}), {255, 201, 101, 51}, "core");
}

TEST(BlendTest, TransparentReplacesAlpha) {
    for (A_long mask_only : {0, 1}) {
        ParamSet params;
        params[kParamFillWith].u.pd.value = kFillTransparent;
        params[kParamMaskOnly].u.bd.value = mask_only;
        ExpectPixel(ShadeArgb8(params, kOutside, {255, 201, 101, 51}), {191, 201, 101, 51}, "outside");
        ExpectPixel(ShadeArgb8(params, kMidBand, {255, 201, 101, 51}), {223, 201, 101, 51}, "mid band");
        ExpectPixel(ShadeArgb8(params, kCore, {0, 201, 101, 51}), {255, 201, 101, 51}, "core, source alpha 0");
    }
}

TEST(BlendTest, MaskOnlyOutputsTheBareMaskInTheFillColour) {
    ParamSet params;
    params[kParamMaskOnly].u.bd.value = 1;
    params.SetColor(10, 20, 30);
    ExpectPixel(ShadeArgb8(params, kMidBand, {255, 201, 101, 51}), {127, 10, 20, 30}, "mid band");
}

TEST(BlendTest, NormalHalfwayThroughTheBand) {
    ParamSet params;
    params[kParamBlendingMode].u.pd.value = 1;
    params.SetOpacityPercent(100);
    params.SetColor(0, 0, 255);
    ExpectPixel(ShadeArgb8(params, kMidBand, {255, 255, 0, 0}), {255, 127, 0, 127}, "mid band");
}

TEST(BlendTest, ModesAtFullOpacityOutside) {
    struct {
        const char* mode;
        A_long popup;
        PF_Pixel expected;
    } const cases[] = {
        {"Screen", 4, {255, 213, 177, 255}},      {"Overlay", 5, {255, 100, 100, 255}},
        {"Soft light", 6, {255, 150, 100, 152}},  {"Hard light", 7, {255, 100, 100, 255}},
        {"Darken", 8, {255, 64, 100, 50}},        {"Lighten", 9, {255, 200, 128, 255}},
        {"Luminosity", 14, {255, 255, 127, 63}},  {"Color dodge", 15, {255, 255, 200, 255}},
        {"Lighter color", 22, {255, 200, 128, 255}}, {"Darker color", 23, {255, 64, 100, 50}},
    };
    for (const auto& c : cases) {
        ParamSet params;
        params[kParamBlendingMode].u.pd.value = c.popup;
        params.SetOpacityPercent(100);
        params.SetColor(64, 128, 255);
        ExpectPixel(ShadeArgb8(params, kOutside, {255, 200, 100, 50}), c.expected, c.mode);
    }
}

TEST(BlendTest, SixteenBitMultiplyOutside) {
    ParamSet params;
    params.SetOrigin(0, 0);
    RenderContext ctx = ResolveContext(params);
    PF_Pixel16 src{32768, 16000, 8000, 4000};
    PF_Pixel16 out{};
    EXPECT_EQ(test::PlainPixelArgb16(&ctx, kOutside, 0, &src, &out), PF_Err_NONE);
    EXPECT_EQ(out.alpha, 32768);
    EXPECT_EQ(out.red, 12000);
    EXPECT_EQ(out.green, 6000);
    EXPECT_EQ(out.blue, 3000);
}

TEST(BlendTest, FloatAddIsNotLimited) {
    ParamSet params;
    params.SetOrigin(0, 0);
    params[kParamBlendingMode].u.pd.value = 2;  // Add
    params.SetOpacityPercent(100);
    params.SetColor(255, 255, 255);
    RenderContext ctx = ResolveContext(params);
    // Memory order blue, green, red, alpha.
    float src[4] = {0.25f, -0.5f, 2.5f, 1.0f};
    float out[4] = {};
    EXPECT_EQ(test::PlainPixelBgraFloat(&ctx, kOutside, 0, reinterpret_cast<PF_PixelFloat*>(src),
                             reinterpret_cast<PF_PixelFloat*>(out)),
              PF_Err_NONE);
    EXPECT_EQ(out[0], 1.25f);
    EXPECT_EQ(out[1], 0.5f);
    EXPECT_EQ(out[2], 3.5f);
    EXPECT_EQ(out[3], 1.0f);
}

TEST(BlendTest, BgraByteOrder) {
    ParamSet params;
    params.SetOrigin(0, 0);
    RenderContext ctx = ResolveContext(params);
    const A_u_char src[4] = {51, 101, 201, 255};  // blue, green, red, alpha
    A_u_char out[4] = {};
    test::PlainPixelBgra8(&ctx, kOutside, 0, reinterpret_cast<PF_Pixel*>(const_cast<A_u_char*>(src)),
               reinterpret_cast<PF_Pixel*>(out));
    EXPECT_EQ(out[0], 38);
    EXPECT_EQ(out[1], 75);
    EXPECT_EQ(out[2], 150);
    EXPECT_EQ(out[3], 255);
}

TEST(BlendTest, ChannelConversionLimitsAndTruncates) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct {
        float v;
        A_u_char byte;
        A_u_short short16;
    } const cases[] = {{0.5f, 127, 16384},           {127.5f / 255.0f, 127, 16384}, {1.2f, 255, 32768},
                       {1.0f, 255, 32768},           {-0.1f, 0, 0},                 {nan, 0, 0},
                       {std::numeric_limits<float>::infinity(), 255, 32768}};
    for (const auto& c : cases) {
        EXPECT_EQ(FloatToByte(c.v), c.byte) << c.v;
        EXPECT_EQ(FloatToShort16(c.v), c.short16) << c.v;
    }
}

TEST(BlendTest, ConversionsRoundTripExactly) {
    for (int n = 0; n < 256; ++n) {
        EXPECT_EQ(ByteToFloat(static_cast<A_u_char>(n)), static_cast<float>(n) / 255.0f) << n;
        EXPECT_EQ(FloatToByte(ByteToFloat(static_cast<A_u_char>(n))), n);
    }
    for (int n = 0; n <= 32768; ++n) {
        ASSERT_EQ(FloatToShort16(Short16ToFloat(static_cast<A_u_short>(n))), n);
    }
}

TEST(BlendTest, CompositingSetUp) {
    struct {
        const char* what;
        A_long fill_with, mask_only, popup;
        std::int32_t code;
    } const cases[] = {
        {"Multiply by default", kFillColor, 0, 3, kBlendMultiply},
        {"mask only", kFillColor, 1, 3, kBlendNone},
        {"transparent", kFillTransparent, 0, 1, kBlendNone},
        {"Normal", kFillColor, 0, 1, kBlendNormal},
        {"Difference", kFillColor, 0, 10, kBlendDifference},
        {"Linear dodge", kFillColor, 0, 16, kBlendLinearDodge},
        {"Darker color", kFillColor, 0, 23, kBlendDarkerColor},
        {"Subtract, never offered", kFillColor, 0, 24, kBlendSubtract},
        {"Divide, never offered", kFillColor, 0, 25, kBlendDivide},
        {"beyond the list", kFillColor, 0, 26, kBlendMultiply},
        {"zero", kFillColor, 0, 0, kBlendMultiply},
    };
    for (const auto& c : cases) {
        ParamSet params;
        params[kParamFillWith].u.pd.value = c.fill_with;
        params[kParamMaskOnly].u.bd.value = c.mask_only;
        params[kParamBlendingMode].u.pd.value = c.popup;
        params.SetColor(51, 102, 255);
        const RenderContext ctx = ResolveContext(params);
        EXPECT_EQ(ctx.blend_code, c.code) << c.what;
        EXPECT_EQ(ctx.opacity, 0.25f) << c.what;
        if (c.fill_with == kFillTransparent) {
            EXPECT_EQ(ctx.fill_alpha, 0.0f);
            EXPECT_EQ(ctx.fill_red, 0.0f);
        } else {
            EXPECT_EQ(ctx.fill_alpha, 1.0f);
            EXPECT_EQ(ctx.fill_red, 51.0f / 255.0f);
            EXPECT_EQ(ctx.fill_blue, 1.0f);
        }
    }
}

// Edge branches of the channel formulas: the middle grey takes the lower branch, and the
// divisions by zero are answered by their own branches.
TEST(BlendTest, ChannelFormulaBranches) {
    struct {
        const char* what;
        std::int32_t code;
        float s, c, k, expected;
    } const cases[] = {
        {"Overlay at c = 0.5 takes the lower branch", kBlendOverlay, 0.5f, 0.5f, 1.0f, 0.5f},
        {"Overlay upper branch", kBlendOverlay, 0.5f, 1.0f, 1.0f, 1.0f},
        {"Hard light upper branch", kBlendHardLight, 0.25f, 0.75f, 1.0f, 0.625f},
        {"Soft light lower branch", kBlendSoftLight, 0.5f, 0.0f, 1.0f, 0.25f},
        {"Color dodge c = 1", kBlendColorDodge, 0.25f, 1.0f, 0.5f, 0.625f},
        {"Color burn c = 0", kBlendColorBurn, 0.5f, 0.0f, 0.5f, 0.25f},
        {"Divide c = 0", kBlendDivide, 0.5f, 0.0f, 0.5f, 0.25f},
        {"Divide", kBlendDivide, 0.25f, 0.5f, 1.0f, 0.5f},
        {"Subtract goes below 0", kBlendSubtract, 0.25f, 0.5f, 1.0f, -0.25f},
        {"Linear burn", kBlendLinearBurn, 0.25f, 0.5f, 1.0f, -0.25f},
        {"Linear light upper", kBlendLinearLight, 0.25f, 1.0f, 1.0f, 1.25f},
        {"Vivid light lower", kBlendVividLight, 0.25f, 0.25f, 1.0f, 0.5f},
        {"Vivid light upper", kBlendVividLight, 0.75f, 0.75f, 1.0f, 0.5f},
        {"Pin light lower keeps s when 2c > s", kBlendPinLight, 0.25f, 0.25f, 1.0f, 0.25f},
        {"Pin light lower takes 2c", kBlendPinLight, 0.75f, 0.25f, 1.0f, 0.5f},
        {"Pin light upper keeps s when s > t", kBlendPinLight, 0.75f, 0.75f, 1.0f, 0.75f},
        {"Pin light upper takes t", kBlendPinLight, 0.25f, 0.75f, 1.0f, 0.5f},
        {"Difference", kBlendDifference, 0.25f, 0.75f, 1.0f, 0.5f},
        {"Add is unlimited", kBlendAdd, 0.75f, 0.75f, 1.0f, 1.5f},
    };
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(BlendChannel(c.s, c.c, c.k, c.code), c.expected) << c.what;
    }
    // Darken and Lighten return the source bit for bit when their test fails.
    const float s = 0.3f;
    EXPECT_EQ(BlendChannel(s, 0.9f, 0.37f, kBlendDarken), s);
    EXPECT_EQ(BlendChannel(s, 0.1f, 0.37f, kBlendLighten), s);
}

// Pin light's test only chooses t; the mix t*k + (1-k)*s is still evaluated, in single
// precision below the middle grey, and with t = s it does not always give s back. Each
// source is an 8-bit level and each k an opacity; the expected values, computed once from
// the single-precision mix, differ from s in the last place.
TEST(BlendTest, PinLightMixesTheSourceWhenItKeepsIt) {
    struct {
        float s, c, k, expected;
    } const cases[] = {
        {0x1.010102p-8f, 0.5f, 0x1.1eb852p-2f, 0x1.010104p-8f},   // 1/255, k 0.28
        {0x1.49494ap-3f, 0.25f, 0x1.99999ap-2f, 0x1.49494cp-3f},  // 41/255, k 0.4
        {0x1.e9e9eap-3f, 0.5f, 0x1.19999ap-1f, 0x1.e9e9e8p-3f},   // 61/255, k 0.55
        {0x1.959596p-1f, 0.5f, 0x1.5c28f6p-2f, 0x1.959594p-1f},   // 202/255, k 0.34
        {0x1.e5e5e6p-1f, 0.5f, 0x1.99999ap-2f, 0x1.e5e5e8p-1f},   // 242/255, k 0.4
    };
    for (const auto& c : cases) {
        ASSERT_NE(c.expected, c.s) << "a case that cannot tell the mix from s";
        EXPECT_EQ(BlendChannel(c.s, c.c, c.k, kBlendPinLight), c.expected) << std::hexfloat << "s " << c.s;
    }
}

TEST(BlendTest, RgbToHsvReference) {
    float h, sat, v;
    RgbToHsv(200.0f / 255.0f, 100.0f / 255.0f, 50.0f / 255.0f, &h, &sat, &v);
    EXPECT_NEAR(h, 1.0f / 18.0f, 1e-7f);
    EXPECT_FLOAT_EQ(sat, 0.75f);
    EXPECT_EQ(v, 200.0f / 255.0f);
    RgbToHsv(0.4f, 0.4f, 0.4f, &h, &sat, &v);
    EXPECT_EQ(h, 0.0f);
    EXPECT_EQ(sat, 0.0f);
    EXPECT_EQ(v, 0.4f);
}

// Float frames bring colours with no saturation or hue in single precision; they count as
// grey. Colours that have both keep them exactly, however far outside 0..1.
TEST(BlendTest, RgbToHsvOfFloatColoursOutsideTheUnitRange) {
    struct Case {
        float r, g, b;
        float h, sat, v;
    };
    const Case cases[] = {
        {-0.1f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f},                             // largest channel 0: d / 0
        {-191062880.0f, 0.0f, 6.06912735e-38f, 0.5f, 0.0f, 6.06912735e-38f},  // d / max overflows
        {3e38f, 0.5f, -3e38f, 0.0f, 0.0f, 3e38f},                          // d beyond the float range
        {-0.1f, -0.2f, -0.3f, 1.0f / 12.0f, -2.0f, -0.1f},                 // all negative: finite, kept
        {2.0f, 1.0f, 0.0f, 1.0f / 12.0f, 1.0f, 2.0f},                      // above 1: kept
    };
    for (const Case& c : cases) {
        float h, sat, v;
        RgbToHsv(c.r, c.g, c.b, &h, &sat, &v);
        EXPECT_FLOAT_EQ(h, c.h) << c.r << "," << c.g << "," << c.b;
        EXPECT_FLOAT_EQ(sat, c.sat) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(v, c.v) << c.r << "," << c.g << "," << c.b;
    }
}

TEST(BlendTest, HsvToRgbReference) {
    PF_PixelFloat out{0.5f, 0, 0, 0};
    HsvToRgb(0.3f, 0.0f, 0.6f, &out);
    EXPECT_EQ(out.red, 0.6f);
    EXPECT_EQ(out.green, 0.6f);
    EXPECT_EQ(out.blue, 0.6f);
    EXPECT_EQ(out.alpha, 0.5f);  // left alone
    HsvToRgb(0.5f, 1.0f, 1.0f, &out);
    EXPECT_EQ(out.red, 0.0f);
    EXPECT_EQ(out.green, 1.0f);
    EXPECT_EQ(out.blue, 1.0f);
    // h = 1 falls into sector 6, which takes sector 5's formula with f = 0: magenta, not red.
    HsvToRgb(1.0f, 1.0f, 1.0f, &out);
    EXPECT_EQ(out.red, 1.0f);
    EXPECT_EQ(out.green, 0.0f);
    EXPECT_EQ(out.blue, 1.0f);
}

TEST(BlendTest, HsvRoundTrip) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 0; i < 20000; ++i) {
        const float r = ByteToFloat(static_cast<A_u_char>(byte(rng)));
        const float g = ByteToFloat(static_cast<A_u_char>(byte(rng)));
        const float b = ByteToFloat(static_cast<A_u_char>(byte(rng)));
        float h, sat, v;
        RgbToHsv(r, g, b, &h, &sat, &v);
        ASSERT_TRUE(h >= 0.0f && h <= 1.0f);
        PF_PixelFloat back{};
        HsvToRgb(h, sat, v, &back);
        ASSERT_NEAR(back.red, r, 2e-6f);
        ASSERT_NEAR(back.green, g, 2e-6f);
        ASSERT_NEAR(back.blue, b, 2e-6f);
        // Bytes survive the round trip through the 8-bit conversion.
        ASSERT_NEAR(FloatToByte(back.red), FloatToByte(r), 1);
    }
}

}  // namespace
}  // namespace qxv
