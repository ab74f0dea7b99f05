#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "ParamSet.h"
#include "render/Mask.h"
#include "render/RenderSetup.h"

namespace qxv {
namespace {

using test::ParamSet;

float MaskAt(ParamSet& params, const PF_InData& in_data, A_long x, A_long y) {
    RenderContext ctx{};
    SetUpMask(&in_data, params.list, &ctx);
    float m = -1.0f;
    const PF_Err err = ctx.is_ellipse ? EllipseMask(&ctx, x, y, &m) : RectangleMask(&ctx, x, y, &m);
    EXPECT_EQ(err, PF_Err_NONE);
    return m;
}

struct MaskCase {
    const char* what;
    A_long vignette_type;
    double feather;
    A_long x, y;
    float expected;
    float tolerance;  // 0: exact
};

// Width 300, Height 200, origin (0, 0), full resolution: a = 150, b = 100, ai = 50, bi = 33.33.
TEST(MaskTest, DefaultGeometryValues) {
    const MaskCase cases[] = {
        {"ellipse centre", 1, 100, 0, 0, 0.0f, 0},
        {"ellipse inner outline", 1, 100, 50, 0, 0.0f, 0},
        {"ellipse mid band", 1, 100, 100, 0, 0.5f, 1e-6f},
        {"ellipse near outer", 1, 100, 149, 0, 0.99f, 1e-5f},
        {"ellipse outer outline is outside", 1, 100, 150, 0, 1.0f, 0},
        {"ellipse height axis", 1, 100, 0, 66, 0.49f, 1e-5f},
        {"ellipse outer on height axis", 1, 100, 0, 100, 1.0f, 0},
        {"ellipse off axis", 1, 100, 60, 40, 0.3485f, 1e-4f},
        {"rectangle mid band", 2, 100, 100, 0, 0.5f, 1e-6f},
        {"rectangle inner edge of height band", 2, 100, 0, 33, 0.0f, 0},
        {"rectangle height band", 2, 100, 0, 34, 0.01f, 1e-5f},
        {"rectangle corner arc", 2, 100, 120, 80, 0.98995f, 1e-5f},
        {"rectangle corner beyond arc", 2, 100, 140, 90, 1.0f, 0},
        {"rectangle outer width", 2, 100, 150, 0, 1.0f, 0},
        {"rectangle outer height", 2, 100, 0, 100, 1.0f, 0},
        {"hard edge inside", 1, 0, 149, 0, 0.0f, 0},
        {"hard edge outside", 1, 0, 150, 0, 1.0f, 0},
        {"feather limited to a - 1", 1, 500, 75, 0, 0.4966f, 1e-4f},
        {"unknown type is the ellipse", 3, 100, 60, 40, 0.3485f, 1e-4f},
    };
    const PF_InData in_data = test::FullResolutionInData();
    for (const MaskCase& c : cases) {
        ParamSet params;
        params.SetOrigin(0, 0);
        params[kParamVignetteType].u.pd.value = c.vignette_type;
        params[kParamFeather].u.fs_d.value = c.feather;
        const float m = MaskAt(params, in_data, c.x, c.y);
        if (c.tolerance == 0) {
            EXPECT_EQ(m, c.expected) << c.what;
        } else {
            EXPECT_NEAR(m, c.expected, c.tolerance) << c.what;
        }
    }
}

TEST(MaskTest, SetUpResolvesTheLimitedFeather) {
    ParamSet params;
    params[kParamFeather].u.fs_d.value = 500;
    RenderContext ctx{};
    const PF_InData in_data = test::FullResolutionInData();
    SetUpMask(&in_data, params.list, &ctx);
    EXPECT_EQ(ctx.feather, 149.0f);
    EXPECT_EQ(ctx.inner_half_width, 1.0f);
    EXPECT_NEAR(ctx.inner_half_height, 0.6667f, 1e-4f);
}

TEST(MaskTest, AngleNinetyTurnsTheWidthAxisDown) {
    ParamSet params;
    params.SetOrigin(0, 0);
    params.SetAngleDegrees(90);
    const PF_InData in_data = test::FullResolutionInData();
    EXPECT_NEAR(MaskAt(params, in_data, 0, 100), 0.5f, 1e-6f);
    EXPECT_EQ(MaskAt(params, in_data, 100, 0), 1.0f);
}

TEST(MaskTest, DownsamplingAndPixelAspectScaleOffsets) {
    ParamSet params;
    params.SetOrigin(0, 0);
    const PF_InData full = test::FullResolutionInData();
    const float at_full = MaskAt(params, full, 100, 0);

    PF_InData half = full;
    half.downsample_x = {1, 2};
    half.downsample_y = {1, 2};
    EXPECT_EQ(MaskAt(params, half, 50, 0), at_full);

    PF_InData wide_pixels = full;
    wide_pixels.pixel_aspect_ratio = {2, 1};
    EXPECT_EQ(MaskAt(params, wide_pixels, 50, 0), at_full);
}

TEST(MaskTest, InvertSwapsSidesAfterTheCurve) {
    ParamSet params;
    params.SetOrigin(0, 0);
    params[kParamInvert].u.bd.value = 1;
    params[kParamAlphaFalloff].u.pd.value = 2;  // Quadratic: invert acts on the curved value
    const PF_InData in_data = test::FullResolutionInData();
    EXPECT_NEAR(MaskAt(params, in_data, 100, 0), 0.75f, 1e-6f);
    EXPECT_EQ(MaskAt(params, in_data, 0, 0), 1.0f);
    EXPECT_EQ(MaskAt(params, in_data, 300, 0), 0.0f);
    // Only the lowest byte of the checkbox counts.
    params[kParamInvert].u.bd.value = 0x100;
    EXPECT_EQ(MaskAt(params, in_data, 0, 0), 0.0f);
}

TEST(MaskTest, CurvesAtMidBand) {
    struct {
        A_long falloff;
        float expected;
    } const cases[] = {{1, 0.5f}, {2, 0.25f}, {3, 0.125f}, {4, 0.730016f}, {5, 0.646731f}, {6, 0.612574f},
                       {0, 0.5f}, {7, 0.5f}};
    const PF_InData in_data = test::FullResolutionInData();
    for (const auto& c : cases) {
        for (A_long type : {1, 2}) {
            ParamSet params;
            params.SetOrigin(0, 0);
            params[kParamVignetteType].u.pd.value = type;
            params[kParamAlphaFalloff].u.pd.value = c.falloff;
            EXPECT_NEAR(MaskAt(params, in_data, 100, 0), c.expected, 2e-6f) << "falloff " << c.falloff;
        }
    }
}

TEST(MaskTest, GaussianStepsToOneAtTheOuterOutline) {
    ParamSet params;
    params.SetOrigin(0, 0);
    params[kParamAlphaFalloff].u.pd.value = 5;
    const PF_InData in_data = test::FullResolutionInData();
    EXPECT_NEAR(MaskAt(params, in_data, 149, 0), 0.996785f, 1e-5f);
    EXPECT_EQ(MaskAt(params, in_data, 150, 0), 1.0f);
}

// Degenerate shapes, and values no slider can produce, still give every pixel a finite mask
// value in 0..1, so a float frame never receives not-a-number from the mask.
TEST(MaskTest, DegenerateGeometryGivesFiniteValuesInRange) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double sizes[] = {0, 0.5, 1, 1.5, 2, 3, 300, 1e-30, 1e30, 1e300, -10, inf, -inf, nan};
    const double feathers[] = {0, 0.25, 0.5, 1, 1.5, 2, 100, 149.99999, 150, 15000, 1e-6, -5, inf, nan};
    const PF_InData in_data = test::FullResolutionInData();
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coordinate(-4, 4);
    int checked = 0;
    for (A_long type : {1, 2}) {
        for (A_long falloff = 1; falloff <= 6; ++falloff) {
            for (double width : sizes) {
                for (double height : sizes) {
                    for (double feather : feathers) {
                        ParamSet params;
                        params.SetOrigin(0, 0);
                        params[kParamVignetteType].u.pd.value = type;
                        params[kParamAlphaFalloff].u.pd.value = falloff;
                        params[kParamWidth].u.fs_d.value = width;
                        params[kParamHeight].u.fs_d.value = height;
                        params[kParamFeather].u.fs_d.value = feather;
                        RenderContext ctx{};
                        SetUpMask(&in_data, params.list, &ctx);
                        for (int i = 0; i < 12; ++i) {
                            const A_long x = coordinate(rng), y = coordinate(rng);
                            float m = -1;
                            if (ctx.is_ellipse) {
                                EllipseMask(&ctx, x, y, &m);
                            } else {
                                RectangleMask(&ctx, x, y, &m);
                            }
                            ASSERT_TRUE(m >= 0.0f && m <= 1.0f)
                                << "type " << type << " falloff " << falloff << " width " << width << " height "
                                << height << " feather " << feather << " at (" << x << ", " << y << "): " << m;
                            ++checked;
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(checked, 0);
}

}  // namespace
}  // namespace qxv
