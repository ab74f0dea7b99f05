// The host's side of an iteration as the effect experiences it: each layout is shaded through
// its own host call with only the suites it needs; the user's abort stops the
// frame and its error reaches the host in both hosts; any number of threads gives the same
// frame; only the output's extent hint is rendered; progress runs to the end; downsampling
// and pixel aspect reach the effect through in_data.
#include "hostsim/StandardSuites.h"
#include "RenderHost.h"

namespace qxv::render_host_tests {
namespace {

// A shape whose feather band crosses the whole frame, so that every pixel is shaded.
constexpr std::initializer_list<const char*> kBandAcrossFrame = {
    "Point of origin=60,40", "Width=150", "Height=110", "Feather=70", "Opacity=80", "Blending mode=Soft light",
    "Color=#3366ff"};

const auto kIteratedFormats = testing::Values(WorldFormat::kArgb8, WorldFormat::kArgb16, WorldFormat::kBgra8);

// Premiere Pro's float frames go through the effect's own row loop: no host call shades them.
struct ShadingCase {
    WorldFormat format;
    const char* call;  // null: none
    std::set<std::string> suites;
};

const ShadingCase kShadingCases[] = {
    {WorldFormat::kArgb8, "iterate", {"PF Iterate8 Suite"}},
    {WorldFormat::kArgb16, "iterate16", {"PF iterate16 Suite"}},
    {WorldFormat::kBgra8, "iterate", {"PF Pixel Format Suite", "PF Iterate8 Suite"}},
    {WorldFormat::kBgraFloat, nullptr, {"PF Pixel Format Suite"}},
};

class ShadingCallTest : public testing::TestWithParam<ShadingCase> {};

TEST_P(ShadingCallTest, EachLayoutHasItsOwnCallAndSuites) {
    const ShadingCase& c = GetParam();
    auto host = ReadyHost(c.format);
    SetParams(*host, kBandAcrossFrame);
    World input(c.format, 40, 24);
    World output(c.format, 40, 24);
    FillVaried(input);
    host->trace().Clear();
    ASSERT_EQ(hostsim::RenderFrame(*host, input, output), PF_Err_NONE);
    std::size_t shading_calls = 0;
    for (const char* call : {"iterate", "iterate16", "copy", "copy_hq", "utils copy"}) {
        const std::size_t made = host->trace().Calls(call).size();
        EXPECT_EQ(made, c.call && std::string(c.call) == call ? 1u : 0u) << call;
        shading_calls += made;
    }
    EXPECT_EQ(shading_calls, c.call ? 1u : 0u);
    EXPECT_EQ(SuitesAcquired(*host), c.suites);
    EXPECT_TRUE(host->CommandViolations().empty()) << host->CommandViolations().front();
    EXPECT_NE(output.PackedPixels(), input.PackedPixels());
}

INSTANTIATE_TEST_SUITE_P(Formats, ShadingCallTest, testing::ValuesIn(kShadingCases),
                         [](const testing::TestParamInfo<ShadingCase>& info) {
                             return std::string(hostsim::WorldFormatName(info.param.format));
                         });

class AbortTest : public testing::TestWithParam<WorldFormat> {};

TEST_P(AbortTest, CancelMidFrameReturnsTheInterrupt) {
    auto host = ReadyHost(GetParam());
    SetParams(*host, kBandAcrossFrame);
    host->SetIterationThreads(2);
    host->failures().FailCall("abort", 30, PF_Interrupt_CANCEL);
    // Large enough to be shared between the threads.
    World input(GetParam(), 160, 120);
    World output(GetParam(), 160, 120);
    FillVaried(input);

    EXPECT_EQ(hostsim::RenderFrame(*host, input, output), PF_Interrupt_CANCEL);
    EXPECT_TRUE(host->CommandViolations().empty()) << host->CommandViolations().front();
    const hostsim::IterationReport report = hostsim::LastIteration(*host);
    EXPECT_EQ(report.result, PF_Interrupt_CANCEL);
    EXPECT_EQ(report.threads, 2u);
    EXPECT_LT(report.rows_done, 120);
    EXPECT_LT(report.progress_current, report.progress_final);
    EXPECT_TRUE(output.GuardsIntact());
}

TEST_P(AbortTest, UninterruptedFrameReportsFullProgress) {
    auto host = ReadyHost(GetParam());
    World input(GetParam(), 50, 33);
    World output(GetParam(), 50, 33);
    ASSERT_EQ(hostsim::RenderFrame(*host, input, output), PF_Err_NONE);
    const hostsim::IterationReport report = hostsim::LastIteration(*host);
    EXPECT_EQ(report.rows_done, 33);
    EXPECT_EQ(report.progress_final, 33);
    EXPECT_EQ(report.progress_current, 33);
}

INSTANTIATE_TEST_SUITE_P(Formats, AbortTest, kIteratedFormats, FormatLabel);

class ThreadCountTest : public testing::TestWithParam<WorldFormat> {};

// A frame of a preview's size is shared among the threads asked for; a thumbnail stays on the
// calling thread, where waking a worker would cost more than its rows. Either way the frame
// is the same as on one thread.
TEST_P(ThreadCountTest, SameFrameOnOneAndManyThreads) {
    struct Frame {
        A_long width, height;
        unsigned threads_used;  // of five
    };
    for (const Frame frame : {Frame{192, 108, 5}, Frame{64, 64, 1}}) {
        std::vector<std::uint8_t> frames[2];
        const unsigned threads[2] = {1, 5};
        for (int i = 0; i < 2; ++i) {
            auto host = ReadyHost(GetParam());
            SetParams(*host, kBandAcrossFrame);
            host->SetIterationThreads(threads[i]);
            World input(GetParam(), frame.width, frame.height);
            World output(GetParam(), frame.width, frame.height);
            FillVaried(input);
            ASSERT_EQ(hostsim::RenderFrame(*host, input, output), PF_Err_NONE);
            EXPECT_EQ(hostsim::LastIteration(*host).threads, i ? frame.threads_used : 1u) << frame.width;
            frames[i] = output.PackedPixels();
        }
        EXPECT_EQ(frames[0], frames[1]) << frame.width;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ThreadCountTest, kIteratedFormats, FormatLabel);

class ExtentHintTest : public testing::TestWithParam<WorldFormat> {};

TEST_P(ExtentHintTest, OnlyTheHintedRectangleIsRendered) {
    auto host = ReadyHost(GetParam());
    SetParams(*host, kBandAcrossFrame);
    World input(GetParam(), 120, 80);
    World output(GetParam(), 120, 80);
    FillVaried(input);
    const Argb marker{7, 7, 7, 7};
    Fill(output, marker);
    // Rows from the top, as the effect counts its rows from the extent hint's height.
    const PF_LRect hint{10, 0, 90, 50};
    output.SetExtentHint(hint);
    ASSERT_EQ(hostsim::RenderFrame(*host, input, output), PF_Err_NONE);
    for (A_long y = 0; y < 80; ++y) {
        for (A_long x = 0; x < 120; ++x) {
            const bool inside = x >= hint.left && x < hint.right && y >= hint.top && y < hint.bottom;
            if (!inside) {
                ASSERT_EQ(GetPixel(output, x, y), marker) << x << "," << y;
            }
        }
    }
    EXPECT_NE(GetPixel(output, 10, 0), marker);
    EXPECT_NE(GetPixel(output, 89, 49), marker);
}

INSTANTIATE_TEST_SUITE_P(Formats, ExtentHintTest, kIteratedFormats, FormatLabel);

class EmptyExtentHintTest : public testing::TestWithParam<WorldFormat> {};

TEST_P(EmptyExtentHintTest, LeavesTheOutputAlone) {
    auto host = ReadyHost(GetParam());
    World input(GetParam(), 40, 24);
    World output(GetParam(), 40, 24);
    FillVaried(input);
    Fill(output, Argb{7, 7, 7, 7});
    const auto before = output.PackedPixels();
    output.SetExtentHint(PF_LRect{0, 5, 40, 5});
    ASSERT_EQ(hostsim::RenderFrame(*host, input, output), PF_Err_NONE);
    EXPECT_EQ(output.PackedPixels(), before);
    EXPECT_TRUE(output.GuardsIntact());
}

INSTANTIATE_TEST_SUITE_P(Formats, EmptyExtentHintTest, kAllFormats, FormatLabel);

// The mask is measured in full-resolution square pixels: at half resolution pixel (50, 0)
// matches pixel (100, 0) at full resolution, and a 2/1 pixel aspect does the same
// horizontally.
struct ScaleCase {
    const char* label;
    PF_RationalScale downsample_x, downsample_y, pixel_aspect;
    A_long x, y;
};

const ScaleCase kScales[] = {
    {"half_resolution", {1, 2}, {1, 2}, {1, 1}, 50, 0},
    {"wide_pixels", {1, 1}, {1, 1}, {2, 1}, 50, 0},
    {"half_height", {1, 1}, {1, 2}, {1, 1}, 0, 33},
};

class ScaleTest : public testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleTest, MatchesTheFullResolutionPixel) {
    const ScaleCase& c = GetParam();
    auto shade = [](const hostsim::RenderSettings& render, A_long x, A_long y) {
        auto host = ReadyHost(WorldFormat::kBgraFloat);
        SetParams(*host, {"Point of origin=0,0", "Mask Only=on"});
        World input(WorldFormat::kBgraFloat, 200, 120);
        World output(WorldFormat::kBgraFloat, 200, 120);
        Fill(input, Argb{1, 0.5, 0.5, 0.5});
        EXPECT_EQ(hostsim::RenderFrame(*host, input, output, render), PF_Err_NONE);
        return GetPixel(output, x, y);
    };
    hostsim::RenderSettings scaled;
    scaled.downsample_x = c.downsample_x;
    scaled.downsample_y = c.downsample_y;
    scaled.pixel_aspect_ratio = c.pixel_aspect;
    const A_long full_x = c.x * static_cast<A_long>(c.downsample_x.den) * c.pixel_aspect.num /
                          (c.downsample_x.num * static_cast<A_long>(c.pixel_aspect.den));
    const A_long full_y = c.y * static_cast<A_long>(c.downsample_y.den) / c.downsample_y.num;
    EXPECT_EQ(shade(scaled, c.x, c.y), shade(hostsim::RenderSettings{}, full_x, full_y));
}

INSTANTIATE_TEST_SUITE_P(Settings, ScaleTest, testing::ValuesIn(kScales),
                         [](const testing::TestParamInfo<ScaleCase>& info) { return info.param.label; });

}  // namespace
}  // namespace qxv::render_host_tests
