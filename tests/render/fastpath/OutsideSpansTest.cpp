// The per-row outside spans are only a shortcut: every pixel they place outside the shape must
// get exactly the outside mask from the full test, for any geometry, however the
// single-precision arithmetic rounds.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "../ParamSet.h"
#include "render/Mask.h"
#include "render/PixelFunctions.h"
#include "render/RenderSetup.h"

namespace qxv {
namespace {

using test::ParamSet;

struct Geometry {
    const char* what;
    double width_range, origin_range, feather;
    A_long columns, rows;
};

// Small shapes whose outline passes close to many pixel positions, huge ones far from the
// origin where the coordinates' rounding is largest, and thin ones.
const Geometry kGeometries[] = {
    {"small shapes in a small frame", 60, 120, 10, 160, 120},
    {"large shapes, distant origins", 15000, 8000, 500, 640, 96},
    {"thin shapes", 4, 200, 0, 256, 256},
};

TEST(OutsideSpans, PixelsPlacedOutsideGetTheOutsideMaskBitForBit) {
    std::mt19937 rng(1234);
    auto uniform = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto integer = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    long skipped_pixels = 0, all_pixels = 0;
    for (const Geometry& g : kGeometries) {
        SCOPED_TRACE(g.what);
        for (int set = 0; set < 120; ++set) {
            ParamSet p;
            PF_InData in_data = test::FullResolutionInData();
            p[kParamVignetteType].u.pd.value = integer(1, 2);
            p.SetOrigin(uniform(-g.origin_range, g.origin_range), uniform(-g.origin_range, g.origin_range));
            p[kParamWidth].u.fs_d.value = uniform(0.5, g.width_range);
            p[kParamHeight].u.fs_d.value = uniform(0.5, g.width_range);
            p[kParamFeather].u.fs_d.value = uniform(0, g.feather);
            p.SetAngleDegrees(integer(0, 3) == 0 ? 90.0 * integer(0, 4) : uniform(-720, 720));
            p[kParamInvert].u.bd.value = integer(0, 1);
            if (integer(0, 2) == 0) {
                in_data.downsample_x = {1, static_cast<A_u_long>(integer(1, 8))};
                in_data.downsample_y = {1, static_cast<A_u_long>(integer(1, 8))};
            }
            if (integer(0, 3) == 0) in_data.pixel_aspect_ratio = {integer(1, 4), static_cast<A_u_long>(integer(1, 4))};

            ShadingJob job{};
            SetUpMask(&in_data, p.list, &job.context);
            PrepareOutsideSpans(&job, g.columns, g.rows);
            for (A_long y = 0; y < g.rows; ++y) {
                for (A_long x = 0; x < g.columns; ++x) {
                    ++all_pixels;
                    if (!CertainlyOutside(&job, x, y)) continue;
                    ++skipped_pixels;
                    float m;
                    if (job.context.is_ellipse) {
                        EllipseMask(&job.context, x, y, &m);
                    } else {
                        RectangleMask(&job.context, x, y, &m);
                    }
                    ASSERT_EQ(std::memcmp(&m, &job.outside_mask, sizeof m), 0)
                        << "set " << set << " pixel " << x << ", " << y << " mask " << m;
                }
            }
        }
    }
    // Random shapes over these frames leave most pixels outside; the shortcut must find them.
    EXPECT_GT(skipped_pixels, all_pixels / 3);
}

TEST(OutsideSpans, DefaultShapeLeavesOnlyItsOwnRowsToTheFullTest) {
    ParamSet p;  // 300 x 200 ellipse at (50, 50)
    PF_InData in_data = test::FullResolutionInData();
    ShadingJob job{};
    SetUpMask(&in_data, p.list, &job.context);
    PrepareOutsideSpans(&job, 3840, 2160);
    ASSERT_EQ(job.outside_spans.size(), 2160u);
    EXPECT_TRUE(CertainlyOutside(&job, 210, 50));
    EXPECT_FALSE(CertainlyOutside(&job, 190, 50));
    EXPECT_TRUE(CertainlyOutside(&job, 0, 160));   // below the ellipse: the whole row
    EXPECT_FALSE(CertainlyOutside(&job, 3840, 2000));  // beyond the frame: never assumed
}

TEST(OutsideSpans, GeometryWithoutAFiniteOutlineTakesTheFullTestEverywhere) {
    const double widths[] = {0.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()};
    for (double width : widths) {
        for (int type : {kVignetteEllipse, kVignetteRectangle}) {
            ParamSet p;
            p[kParamVignetteType].u.pd.value = type;
            p[kParamWidth].u.fs_d.value = width;
            PF_InData in_data = test::FullResolutionInData();
            ShadingJob job{};
            SetUpMask(&in_data, p.list, &job.context);
            PrepareOutsideSpans(&job, 64, 64);
            for (A_long y = 0; y < 64; ++y) {
                for (A_long x = 0; x < 64; ++x) {
                    if (!CertainlyOutside(&job, x, y)) continue;
                    float m;
                    if (job.context.is_ellipse) {
                        EllipseMask(&job.context, x, y, &m);
                    } else {
                        RectangleMask(&job.context, x, y, &m);
                    }
                    ASSERT_EQ(std::memcmp(&m, &job.outside_mask, sizeof m), 0) << "width " << width;
                }
            }
        }
    }
}

}  // namespace
}  // namespace qxv
