// The specialised pixel functions against the plain ones, and the plain mask against the
// mask arithmetic exactly as documented (without the band-position limit), over many random
// parameter sets and pixels. Equality is bitwise.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iterator>
#include <random>
#include <vector>

#include "ParamSet.h"
#include "PlainPixelFunctions.h"
#include "render/FalloffCurves.h"
#include "render/Mask.h"
#include "render/PixelFunctions.h"
#include "render/RenderSetup.h"

namespace qxv {
namespace {

using test::ParamSet;

constexpr A_long kWidth = 96, kHeight = 64;

struct RandomFrame {
    ParamSet params;
    PF_InData in_data = test::FullResolutionInData();
};

// Shapes around the small test frame, with bands wide and narrow, including degenerate ones.
RandomFrame MakeRandomFrame(std::mt19937& rng, bool allow_degenerate) {
    RandomFrame frame;
    ParamSet& p = frame.params;
    auto uniform = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto integer = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    p[kParamVignetteType].u.pd.value = integer(1, 2);
    p.SetOrigin(uniform(-20, kWidth + 20), uniform(-20, kHeight + 20));
    p[kParamWidth].u.fs_d.value = uniform(2, 200);
    p[kParamHeight].u.fs_d.value = uniform(2, 200);
    p[kParamFeather].u.fs_d.value = integer(0, 5) == 0 ? 0.0 : uniform(0, 120);
    p.SetAngleDegrees(integer(0, 3) == 0 ? 0.0 : uniform(-360, 360));  // unturned: v the same along a row
    p[kParamFillWith].u.pd.value = integer(1, 4) == 1 ? kFillTransparent : kFillColor;
    p.SetColor(static_cast<A_u_char>(integer(0, 255)), static_cast<A_u_char>(integer(0, 255)),
               static_cast<A_u_char>(integer(0, 255)));
    p.SetOpacityPercent(integer(0, 3) == 0 ? 100.0 : uniform(0.1, 100));
    p[kParamBlendingMode].u.pd.value = integer(0, 26);
    p[kParamInvert].u.bd.value = integer(0, 1);
    p[kParamMaskOnly].u.bd.value = integer(0, 6) == 0;
    p[kParamAlphaFalloff].u.pd.value = integer(1, 6);
    if (integer(0, 3) == 0) {
        frame.in_data.downsample_x = {1, static_cast<A_u_long>(integer(1, 4))};
        frame.in_data.downsample_y = {1, static_cast<A_u_long>(integer(1, 4))};
    }
    if (allow_degenerate && integer(0, 2) == 0) {
        const double sizes[] = {0, 0.5, 1, 1.5, 2.5, 1e-3};
        const int which = integer(0, 2);
        if (which == 0) p[kParamWidth].u.fs_d.value = sizes[integer(0, 5)];
        if (which == 1) p[kParamHeight].u.fs_d.value = sizes[integer(0, 5)];
        if (which == 2) p[kParamFeather].u.fs_d.value = p[kParamWidth].u.fs_d.value * uniform(0.5, 3);
    }
    return frame;
}

RenderContext Resolve(RandomFrame& frame) {
    RenderContext ctx{};
    SetUpMask(&frame.in_data, frame.params.list, &ctx);
    SetUpCompositing(frame.params.list, &ctx);
    return ctx;
}

template <class Pixel, class Func>
void RunOverFrame(Func fn, void* refcon, std::vector<Pixel>& src, std::vector<Pixel>& dst) {
    for (A_long y = 0; y < kHeight; ++y) {
        for (A_long x = 0; x < kWidth; ++x) {
            const size_t i = static_cast<size_t>(y) * kWidth + x;
            ASSERT_EQ(fn(refcon, x, y, &src[i], &dst[i]), PF_Err_NONE);
        }
    }
}

// How the pixel functions find the pixels outside the shape: as the spans decide (a frame as
// small as this one never builds the 8-bit pair tables), with the pair tables, or not at all.
enum class OutsideChoice { kAsDecided, kPairTables, kUntested };

template <class Pixel, class Func>
void ExpectSameBits(Func plain, Func (*choose)(ShadingJob*), std::vector<Pixel> src, RandomFrame& frame, int set,
                    OutsideChoice outside) {
    ShadingJob job{};
    job.context = Resolve(frame);
    PrepareOutsideSpans(&job, kWidth, kHeight);
    if (outside == OutsideChoice::kPairTables) job.outside_pairs_pay = job.outside_test_pays = true;
    if (outside == OutsideChoice::kUntested) job.outside_test_pays = false;
    const Func specialised = choose(&job);
    std::vector<Pixel> expected(src.size()), actual(src.size());
    RunOverFrame<Pixel>(plain, &job.context, src, expected);
    RunOverFrame<Pixel>(specialised, &job, src, actual);
    // The host may iterate in place: each pixel's input is read whole before it is written.
    std::vector<Pixel> in_place = src;
    RunOverFrame<Pixel>(specialised, &job, in_place, in_place);
    for (size_t i = 0; i < src.size(); ++i) {
        ASSERT_EQ(std::memcmp(&expected[i], &actual[i], sizeof(Pixel)), 0)
            << "parameter set " << set << ", pixel " << i % kWidth << ", " << i / kWidth;
        ASSERT_EQ(std::memcmp(&expected[i], &in_place[i], sizeof(Pixel)), 0)
            << "in place: parameter set " << set << ", pixel " << i % kWidth << ", " << i / kWidth;
    }
}

// Modes whose pixel functions lean on what the fill colour alone decides: Soft light's branch
// per channel (all below the middle, all above, mixed) and the fill's hue sector of "Hue"
// and "Color" (each sector, and a grey without hue), at full opacity.
struct FillCase {
    std::int32_t mode_popup;
    A_u_char red, green, blue;
};
constexpr FillCase kFillCases[] = {
    {6, 26, 42, 108}, {6, 200, 220, 250}, {6, 30, 200, 128}, {6, 128, 128, 128},
    {11, 255, 40, 0}, {11, 200, 255, 0}, {11, 0, 255, 90}, {11, 0, 120, 255}, {11, 90, 0, 255}, {11, 255, 0, 120},
    {11, 128, 128, 128}, {13, 255, 40, 0}, {13, 0, 120, 255}, {13, 255, 0, 120}, {13, 60, 60, 60},
};

TEST(PixelFunctionsTest, SameBitsAsThePlainPixelFunctions) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> short16(0, 32768);
    std::uniform_real_distribution<float> unit(-0.25f, 1.25f);
    const size_t count = static_cast<size_t>(kWidth) * kHeight;
    constexpr int kRandomSets = 300;
    for (int set = 0; set < kRandomSets + static_cast<int>(std::size(kFillCases)); ++set) {
        RandomFrame frame = MakeRandomFrame(rng, true);
        if (set >= kRandomSets) {
            const FillCase& fill = kFillCases[set - kRandomSets];
            frame.params[kParamBlendingMode].u.pd.value = fill.mode_popup;
            frame.params[kParamFillWith].u.pd.value = kFillColor;
            frame.params[kParamMaskOnly].u.bd.value = 0;
            frame.params.SetColor(fill.red, fill.green, fill.blue);
            frame.params.SetOpacityPercent(100);
        }
        std::vector<PF_Pixel> bytes(count);
        for (auto& p : bytes) {
            p = {static_cast<A_u_char>(byte(rng)), static_cast<A_u_char>(byte(rng)), static_cast<A_u_char>(byte(rng)),
                 static_cast<A_u_char>(byte(rng))};
        }
        std::vector<PF_Pixel16> shorts(count);
        for (auto& p : shorts) {
            p = {static_cast<A_u_short>(short16(rng)), static_cast<A_u_short>(short16(rng)),
                 static_cast<A_u_short>(short16(rng)), static_cast<A_u_short>(short16(rng))};
        }
        std::vector<PF_PixelFloat> floats(count);
        for (auto& p : floats) p = {unit(rng), unit(rng), unit(rng), unit(rng)};

        for (const OutsideChoice outside :
             {OutsideChoice::kAsDecided, OutsideChoice::kPairTables, OutsideChoice::kUntested}) {
            ExpectSameBits<PF_Pixel, PF_IteratePixel8Func>(test::PlainPixelArgb8, PixelArgb8, bytes, frame, set,
                                                           outside);
            ExpectSameBits<PF_Pixel, PF_IteratePixel8Func>(test::PlainPixelBgra8, PixelBgra8, bytes, frame, set,
                                                           outside);
            if (outside == OutsideChoice::kPairTables) continue;  // 8-bit only
            ExpectSameBits<PF_Pixel16, PF_IteratePixel16Func>(test::PlainPixelArgb16, PixelArgb16, shorts, frame,
                                                              set, outside);
            ExpectSameBits<PF_PixelFloat, PF_IteratePixelFloatFunc>(test::PlainPixelBgraFloat, PixelBgraFloat,
                                                                    floats, frame, set, outside);
        }
        if (HasFatalFailure()) return;
    }
}

// The mask as documented, step by step, with nothing limited.
float DocumentedMask(const RenderContext& c, A_long x, A_long y) {
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    const float u = c.pixel_to_shape[0][0] * fx + c.pixel_to_shape[0][1] * fy + c.pixel_to_shape[0][2];
    const float v = c.pixel_to_shape[1][0] * fx + c.pixel_to_shape[1][1] * fy + c.pixel_to_shape[1][2];
    float m = 0.0f;
    if (c.is_ellipse) {
        const float u2 = u * u, v2 = v * v;
        if (v2 * c.coef_v + u2 * c.coef_u >= 1.0f) {
            m = 1.0f;
        } else if (c.feather != 0.0f && v2 * c.inv_inner_height_sq + u2 * c.inv_inner_width_sq > 1.0f) {
            const float r = sqrtf(v2 + u2);
            const float du = u / r, dv = v / r;
            const float r_in = c.inner_ab / sqrtf(du * c.inner_height_sq * du + dv * c.inner_width_sq * dv);
            const float r_out = c.outer_ab / sqrtf(dv * c.width_sq * dv + du * c.height_sq * du);
            const float t = (r - r_in) / (r_out - r_in);
            m = static_cast<float>(FalloffCurve(&c, t));
        }
    } else {
        const float au = fabsf(u), av = fabsf(v);
        if (au >= c.half_width || av >= c.half_height) {
            m = 1.0f;
        } else if (c.feather != 0.0f) {
            if (au >= c.inner_half_width && av >= c.inner_half_height) {
                const float p = (au - c.inner_half_width) * c.coef_u;
                const float q = (av - c.inner_half_height) * c.coef_v;
                const double g = std::sqrt(FalloffCurve(&c, p) * FalloffCurve(&c, p) +
                                           FalloffCurve(&c, q) * FalloffCurve(&c, q));
                m = static_cast<float>(g > 1.0 ? 1.0 : g);
            } else if (au >= c.inner_half_width) {
                m = static_cast<float>(FalloffCurve(&c, (au - c.inner_half_width) * c.coef_u));
            } else if (av >= c.inner_half_height) {
                m = static_cast<float>(FalloffCurve(&c, (av - c.inner_half_height) * c.coef_v));
            }
        }
    }
    return c.invert ? 1.0f - m : m;
}

// The limit on the band position must never touch a shape with a real band.
TEST(PixelFunctionsTest, MaskMatchesTheDocumentedArithmeticForRealShapes) {
    std::mt19937 rng(5);
    for (int set = 0; set < 300; ++set) {
        RandomFrame frame = MakeRandomFrame(rng, false);
        const RenderContext ctx = Resolve(frame);
        for (A_long y = 0; y < kHeight; ++y) {
            for (A_long x = 0; x < kWidth; ++x) {
                float m;
                if (ctx.is_ellipse) {
                    EllipseMask(&ctx, x, y, &m);
                } else {
                    RectangleMask(&ctx, x, y, &m);
                }
                const float documented = DocumentedMask(ctx, x, y);
                ASSERT_EQ(std::memcmp(&m, &documented, sizeof m), 0)
                    << "parameter set " << set << " at (" << x << ", " << y << "): " << m << " vs " << documented;
            }
        }
    }
}

}  // namespace
}  // namespace qxv
