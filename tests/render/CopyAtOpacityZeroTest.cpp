// At opacity 0 the effect has the host copy the frame: the output is the input bit for bit,
// whatever else the parameters say, through copy_hq or copy by quality in After Effects and
// through the utility copy in Premiere Pro, taking no suite but the copy's own.
#include "RenderHost.h"

namespace qxv::render_host_tests {
namespace {

struct CopyCase {
    WorldFormat format;
    PF_Quality quality;
    const char* expected_call;
    std::set<std::string> suites;  // acquired during the render
};

const std::set<std::string> kWorldTransform = {"PF World Transform Suite"};

const CopyCase kCopyCases[] = {
    {WorldFormat::kArgb8, PF_Quality_HI, "copy_hq", kWorldTransform},
    {WorldFormat::kArgb8, PF_Quality_LO, "copy", kWorldTransform},
    {WorldFormat::kArgb16, PF_Quality_HI, "copy_hq", kWorldTransform},
    {WorldFormat::kArgb16, PF_Quality_LO, "copy", kWorldTransform},
    {WorldFormat::kBgra8, PF_Quality_HI, "utils copy", {}},
    {WorldFormat::kBgra8, PF_Quality_LO, "utils copy", {}},
    {WorldFormat::kBgraFloat, PF_Quality_HI, "utils copy", {}},
};

class CopyAtOpacityZeroTest : public testing::TestWithParam<CopyCase> {};

TEST_P(CopyAtOpacityZeroTest, OutputEqualsInputThroughTheHostCopy) {
    const CopyCase& c = GetParam();
    for (auto settings : {std::initializer_list<const char*>{"Opacity=0"},
                          std::initializer_list<const char*>{"Opacity=0", "Fill with=Transparent"},
                          std::initializer_list<const char*>{"Opacity=0", "Mask Only=on", "Blending mode=Hue"}}) {
        auto host = ReadyHost(c.format);
        SetParams(*host, settings);
        World input(c.format, 97, 61);
        World output(c.format, 97, 61);
        FillVaried(input);
        hostsim::RenderSettings render;
        render.quality = c.quality;
        ASSERT_EQ(hostsim::RenderFrame(*host, input, output, render), PF_Err_NONE);
        EXPECT_EQ(output.PackedPixels(), input.PackedPixels());
        EXPECT_TRUE(output.GuardsIntact());
        const auto copies = host->trace().Calls(c.expected_call);
        EXPECT_EQ(copies.size(), 1u) << c.expected_call;
        EXPECT_TRUE(host->trace().Calls("iterate").empty());
        EXPECT_EQ(SuitesAcquired(*host), c.suites);
        EXPECT_TRUE(host->CommandViolations().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Hosts, CopyAtOpacityZeroTest, testing::ValuesIn(kCopyCases),
                         [](const testing::TestParamInfo<CopyCase>& info) {
                             return std::string(hostsim::WorldFormatName(info.param.format)) +
                                    (info.param.quality == PF_Quality_HI ? "_high" : "_low");
                         });

}  // namespace
}  // namespace qxv::render_host_tests
