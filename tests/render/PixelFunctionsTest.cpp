// The specialised pixel functions against the plain ones over many random parameter sets and
// pixels, bit for bit; and the mask against what any correct mask must be: the shapes'
// geometry, its symmetries, a falloff that never falls, invert as 1 minus the mask, and each
// curve at hand-computed points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
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
    // A quarter centred on a pixel or between two, where an unturned shape's columns mirror.
    if (integer(0, 3) == 0) {
        const double half = integer(0, 1) ? 0.0 : 0.5;
        p.SetOrigin(kWidth / 2 - half, kHeight / 2 - half);
    } else {
        p.SetOrigin(uniform(-20, kWidth + 20), uniform(-20, kHeight + 20));
    }
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
    // Where the pixels lie, so that the runs that may read theirs ahead do.
    const auto rows_of = [](const std::vector<Pixel>& frame) {
        return SourceRows{reinterpret_cast<const A_u_char*>(frame.data()), kWidth * static_cast<A_long>(sizeof(Pixel)),
                          kWidth, kHeight};
    };
    std::vector<Pixel> expected(src.size()), actual(src.size());
    RunOverFrame<Pixel>(plain, &job.context, src, expected);
    job.source = rows_of(src);
    RunOverFrame<Pixel>(specialised, &job, src, actual);
    // The host may iterate in place: each pixel's input is read whole before it is written.
    std::vector<Pixel> in_place = src;
    job.source = rows_of(in_place);
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

// ---- The mask by its properties -----------------------------------------------------------
// Unturned shapes centred on a pixel of the frame, measured in pixels from the origin: what
// the mask must be whatever arithmetic computes it.

constexpr A_long kOriginX = 48, kOriginY = 32;

struct MaskShape {
    const char* name;
    VignetteType type;
    double width, height, feather;
};
constexpr MaskShape kMaskShapes[] = {
    {"wide ellipse", kVignetteEllipse, 80, 40, 20},
    {"tall ellipse", kVignetteEllipse, 50, 90, 15},
    {"thin-band ellipse", kVignetteEllipse, 70, 50, 3},
    {"wide rectangle", kVignetteRectangle, 80, 40, 20},
    {"tall rectangle", kVignetteRectangle, 50, 90, 15},
    {"thin-band rectangle", kVignetteRectangle, 70, 50, 3},
};

RenderContext MaskContext(const MaskShape& shape, int falloff, bool invert) {
    ParamSet params;
    params[kParamVignetteType].u.pd.value = shape.type;
    params.SetOrigin(kOriginX, kOriginY);
    params[kParamWidth].u.fs_d.value = shape.width;
    params[kParamHeight].u.fs_d.value = shape.height;
    params[kParamFeather].u.fs_d.value = shape.feather;
    params[kParamAlphaFalloff].u.pd.value = falloff;
    params[kParamInvert].u.bd.value = invert;
    PF_InData in_data = test::FullResolutionInData();
    RenderContext ctx{};
    SetUpMask(&in_data, params.list, &ctx);
    return ctx;
}

float MaskAt(const RenderContext& ctx, A_long x, A_long y) {
    float m;
    if (ctx.is_ellipse) {
        EllipseMask(&ctx, x, y, &m);
    } else {
        RectangleMask(&ctx, x, y, &m);
    }
    return m;
}

// The linear mask from the shape's geometry alone. The inner outline is the outer one drawn
// the feather in from the ends of the width axis, and the height axis in proportion, so the
// ellipse's band position is the radius in units of the outer ellipse, rescaled between the
// two; the rectangle's is each side's distance into its band, combined in the corners as a
// distance. near_outline: too close to an outline for the side it falls on to be certain.
double LinearMask(const MaskShape& shape, double dx, double dy, bool* near_outline) {
    const double a = shape.width / 2, b = shape.height / 2, f = shape.feather;
    const double inner = (a - f) / a;  // the inner outline's scale
    constexpr double kNear = 1e-4;
    if (shape.type == kVignetteEllipse) {
        const double rho = std::sqrt(dx * dx / (a * a) + dy * dy / (b * b));
        *near_outline = std::fabs(rho - 1) < kNear || std::fabs(rho - inner) < kNear;
        if (rho >= 1) return 1;
        return rho <= inner ? 0 : (rho - inner) / (1 - inner);
    }
    const double ax = std::fabs(dx), ay = std::fabs(dy), fb = f * b / a;
    *near_outline = std::fabs(ax - a) < kNear || std::fabs(ay - b) < kNear || std::fabs(ax - inner * a) < kNear ||
                    std::fabs(ay - inner * b) < kNear;
    if (ax >= a || ay >= b) return 1;
    const double tu = std::max(0.0, (ax - inner * a) / f), tv = std::max(0.0, (ay - inner * b) / fb);
    return std::min(1.0, std::sqrt(tu * tu + tv * tv));
}

TEST(PixelFunctionsTest, LinearMaskFollowsTheShapesGeometry) {
    for (const MaskShape& shape : kMaskShapes) {
        const RenderContext ctx = MaskContext(shape, kFalloffLinear, false);
        for (A_long y = 0; y < kHeight; ++y) {
            for (A_long x = 0; x < kWidth; ++x) {
                bool near_outline;
                const double expected = LinearMask(shape, x - kOriginX, y - kOriginY, &near_outline);
                const float m = MaskAt(ctx, x, y);
                if (near_outline) {
                    ASSERT_NEAR(m, expected, 1e-3) << shape.name << " at (" << x << ", " << y << ")";
                } else if (expected == 0.0 || expected == 1.0) {
                    ASSERT_EQ(m, expected) << shape.name << " at (" << x << ", " << y << ")";
                } else {
                    ASSERT_NEAR(m, expected, 1e-5) << shape.name << " at (" << x << ", " << y << ")";
                }
            }
        }
    }
}

// Every curve: the mask lies in 0..1, is mirror-symmetric about both axes of an unturned
// shape, never falls from the origin outwards along a row or a column, and is exactly
// 1 minus itself where inverted.
TEST(PixelFunctionsTest, MaskIsSymmetricMonotonicAndInvertedExactly) {
    for (const MaskShape& shape : kMaskShapes) {
        for (int falloff = kFalloffLinear; falloff <= kFalloffExponential; ++falloff) {
            SCOPED_TRACE(std::string(shape.name) + ", falloff " + std::to_string(falloff));
            const RenderContext ctx = MaskContext(shape, falloff, false);
            const RenderContext inverted = MaskContext(shape, falloff, true);
            const A_long reach = kOriginY;  // the frame holds the origin's mirror images up to here
            for (A_long dy = 0; dy < reach; ++dy) {
                float previous_in_row = 0.0f;
                for (A_long dx = 0; dx < reach; ++dx) {
                    const float m = MaskAt(ctx, kOriginX + dx, kOriginY + dy);
                    ASSERT_TRUE(m >= 0.0f && m <= 1.0f) << m << " at " << dx << ", " << dy;
                    ASSERT_EQ(MaskAt(ctx, kOriginX - dx, kOriginY + dy), m) << dx << ", " << dy;
                    ASSERT_EQ(MaskAt(ctx, kOriginX + dx, kOriginY - dy), m) << dx << ", " << dy;
                    ASSERT_EQ(MaskAt(ctx, kOriginX - dx, kOriginY - dy), m) << dx << ", " << dy;
                    ASSERT_GE(m, previous_in_row) << "along the row, at " << dx << ", " << dy;
                    if (dy > 0) {
                        ASSERT_GE(m, MaskAt(ctx, kOriginX + dx, kOriginY + dy - 1)) << "down the column, at " << dx
                                                                                    << ", " << dy;
                    }
                    ASSERT_EQ(MaskAt(inverted, kOriginX + dx, kOriginY + dy), 1.0f - m) << dx << ", " << dy;
                    previous_in_row = m;
                }
            }
            EXPECT_EQ(MaskAt(ctx, kOriginX, kOriginY), 0.0f) << "the origin is inside";
            EXPECT_EQ(MaskAt(ctx, 0, 0), 1.0f) << "the frame's corner is outside";
        }
    }
}

// Each curve halfway across the band, worked out by hand: the band's middle on the width
// axis, on the height axis, and (rectangle) both at once in a corner.
TEST(PixelFunctionsTest, CurvesHalfwayAcrossTheBand) {
    struct Point {
        int falloff;
        double middle, corner;
    };
    const Point points[] = {
        {kFalloffLinear, 0.5, 0.7071067811865476},
        {kFalloffQuadratic, 0.25, 0.3535533905932738},
        {kFalloffCubic, 0.125, 0.1767766952966369},
        {kFalloffGamma22, 0.7300160053272607, 1.0},
        {kFalloffGaussian, 0.6467311929761015, 0.9146160243165341},
        {kFalloffExponential, 0.6125741132772068, 0.8663106189552985},
    };
    // 80 x 40 with a feather of 20: the band runs 20..40 across and 10..20 down.
    const MaskShape ellipse{"ellipse", kVignetteEllipse, 80, 40, 20};
    const MaskShape rectangle{"rectangle", kVignetteRectangle, 80, 40, 20};
    for (const Point& point : points) {
        SCOPED_TRACE("falloff " + std::to_string(point.falloff));
        for (const MaskShape& shape : {ellipse, rectangle}) {
            const RenderContext ctx = MaskContext(shape, point.falloff, false);
            EXPECT_NEAR(MaskAt(ctx, kOriginX + 30, kOriginY), point.middle, 1e-6) << shape.name;
            EXPECT_NEAR(MaskAt(ctx, kOriginX, kOriginY + 15), point.middle, 1e-6) << shape.name;
        }
        EXPECT_NEAR(MaskAt(MaskContext(rectangle, point.falloff, false), kOriginX + 30, kOriginY + 15), point.corner,
                    1e-6);
    }
}

}  // namespace
}  // namespace qxv
