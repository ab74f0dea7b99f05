// Frames and viewing settings that the fuzz driver (tests/fuzz/) found the effect mishandling,
// kept as plain cases here so that every build checks them; the sanitizer build sees the
// undefined behaviour some of them caused.
#include <cmath>
#include <limits>

#include "hostsim/StandardSuites.h"
#include "RenderHost.h"

namespace qxv::render_host_tests {
namespace {

constexpr A_long kMin = std::numeric_limits<A_long>::min();
constexpr A_long kMax = std::numeric_limits<A_long>::max();

// The row count taken from an extent hint spanning more than 2^31 rows overflowed.
class ExtremeExtentHintTest : public testing::TestWithParam<WorldFormat> {};

TEST_P(ExtremeExtentHintTest, RendersWithinTheWorldAndCountsNoNegativeProgress) {
    for (const PF_LRect hint : {PF_LRect{0, kMin, 16, 0}, PF_LRect{kMin, kMin, kMax, kMax}, PF_LRect{0, -1, 16, kMax}}) {
        auto host = ReadyHost(GetParam());
        World input(GetParam(), 16, 8), output(GetParam(), 16, 8);
        FillVaried(input);
        output.SetExtentHint(hint);
        EXPECT_EQ(hostsim::RenderFrame(*host, input, output), PF_Err_NONE);
        EXPECT_TRUE(output.GuardsIntact());
        EXPECT_TRUE(host->CommandViolations().empty());
        if (GetParam() != WorldFormat::kBgraFloat) {
            EXPECT_GE(hostsim::LastIteration(*host).progress_final, 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ExtremeExtentHintTest, kAllFormats, FormatLabel);

// Float frames carry any finite channels. In the hue-based modes a colour whose largest
// channel is 0 (or just above it) with a negative one below, or whose channels lie further
// apart than single precision reaches, gave an infinite saturation or a NaN hue, and the
// frame a NaN. The first colour is what the fuzz driver found, the second one a frame
// from a colour conversion can carry.
TEST(HueModeFloatColourTest, FiniteSourceGivesFiniteOutput) {
    const Argb colours[] = {{0.21f, -191062880.0f, 0.0f, 6.06912735e-38f},
                            {1.0, -0.1, 0.0, 0.0},
                            {1.0, 3e38, 0.5, -3e38},
                            {0.5, -1e-30, -2e-30, 0.0}};
    for (const char* mode : {"Hue", "Saturation", "Color", "Luminosity"}) {
        for (const char* fill : {"#000000", "#ff8000"}) {
            auto host = ReadyHost(WorldFormat::kBgraFloat);
            SetParams(*host, {"Opacity=25", "Width=300", "Height=200", "Point of origin=50,50"});
            const std::string mode_setting = std::string("Blending mode=") + mode;
            const std::string fill_setting = std::string("Color=") + fill;
            SetParams(*host, {mode_setting.c_str(), fill_setting.c_str()});
            World input(WorldFormat::kBgraFloat, 1, 4), output(WorldFormat::kBgraFloat, 1, 4);
            for (A_long y = 0; y < 4; ++y) PutPixel(input, 0, y, colours[y]);
            hostsim::RenderSettings settings;
            settings.downsample_y = {kMax, 1};  // puts every pixel far outside the shape: the mask is 1
            ASSERT_EQ(hostsim::RenderFrame(*host, input, output, settings), PF_Err_NONE);
            for (A_long y = 0; y < 4; ++y) {
                const Argb out = GetPixel(output, 0, y);
                EXPECT_TRUE(std::isfinite(out.alpha) && std::isfinite(out.red) && std::isfinite(out.green) &&
                            std::isfinite(out.blue))
                    << mode << ", fill " << fill << ", source " << colours[y] << " gave " << out;
            }
        }
    }
}

}  // namespace
}  // namespace qxv::render_host_tests
