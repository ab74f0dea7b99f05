// Frames and viewing settings that the fuzz driver (tests/fuzz/) found the effect mishandling,
// kept as plain cases here so that every build checks them; the sanitizer build sees the
// undefined behaviour some of them caused.
#include <limits>

#include "IterateSuites.h"
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

}  // namespace
}  // namespace qxv::render_host_tests
