// How a render fails when the host lets it down, in both hosts: each suite unavailable in
// turn, a Premiere pixel format the effect does not know, and errors of the host's own calls.
// Whatever happens, every suite taken is given back and the output is not half-written with
// garbage beyond what the error allows.
#include "RenderHost.h"

namespace qxv::render_host_tests {
namespace {

const char kAcquireMessage[] = "Not able to acquire AEFX Suite.";

struct FailureCase {
    const char* label;
    WorldFormat format;
    std::initializer_list<const char*> settings;
    const char* missing_suite;  // null: none
    const char* failing_call;   // a host call answering kInjected, or null
    PF_Err expected;
    bool shows_message;  // PF_OutFlag_DISPLAY_ERROR_MESSAGE with kAcquireMessage
    bool output_untouched;
};

constexpr PF_Err kInjected = PF_Err_OUT_OF_MEMORY;

const FailureCase kFailures[] = {
    {"ae8 without Iterate8", WorldFormat::kArgb8, {}, "PF Iterate8 Suite", nullptr, PF_Err_BAD_CALLBACK_PARAM, false, true},
    {"ae16 without iterate16", WorldFormat::kArgb16, {}, "PF iterate16 Suite", nullptr, PF_Err_BAD_CALLBACK_PARAM, false, true},
    {"ae16 without Iterate8 is fine", WorldFormat::kArgb16, {}, "PF Iterate8 Suite", nullptr, PF_Err_NONE, false, false},
    {"ae copy without World Transform", WorldFormat::kArgb8, {"Opacity=0"}, "PF World Transform Suite", nullptr,
     PF_Err_BAD_CALLBACK_PARAM, false, true},
    {"ae shading without World Transform is fine", WorldFormat::kArgb8, {}, "PF World Transform Suite", nullptr,
     PF_Err_NONE, false, false},
    {"premiere8 without Pixel Format", WorldFormat::kBgra8, {}, "PF Pixel Format Suite", nullptr,
     PF_Err_BAD_CALLBACK_PARAM, true, true},
    {"premiere32f without Pixel Format", WorldFormat::kBgraFloat, {}, "PF Pixel Format Suite", nullptr,
     PF_Err_BAD_CALLBACK_PARAM, true, true},
    {"premiere8 without Iterate8", WorldFormat::kBgra8, {}, "PF Iterate8 Suite", nullptr, PF_Err_BAD_CALLBACK_PARAM,
     false, true},
    {"premiere32f without Iterate8 is fine", WorldFormat::kBgraFloat, {}, "PF Iterate8 Suite", nullptr, PF_Err_NONE,
     false, false},
    {"premiere copy without World Transform is fine", WorldFormat::kBgra8, {"Opacity=0"}, "PF World Transform Suite",
     nullptr, PF_Err_NONE, false, false},
    {"ae iterate error comes back", WorldFormat::kArgb8, {}, nullptr, "iterate", kInjected, false, true},
    {"ae16 iterate error comes back", WorldFormat::kArgb16, {}, nullptr, "iterate16", kInjected, false, true},
    {"ae copy_hq error comes back", WorldFormat::kArgb8, {"Opacity=0"}, nullptr, "copy_hq", kInjected, false, true},
    {"premiere utils copy error comes back", WorldFormat::kBgra8, {"Opacity=0"}, nullptr, "utils copy", kInjected,
     false, true},
    {"premiere iterate error comes back", WorldFormat::kBgra8, {}, nullptr, "iterate", kInjected, false, true},
};

class RenderFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(RenderFailureTest, FollowsTheFailureTable) {
    const FailureCase& c = GetParam();
    auto host = ReadyHost(c.format);
    SetParams(*host, c.settings);
    if (c.missing_suite) host->failures().FailSuite(c.missing_suite);
    if (c.failing_call) host->failures().FailCall(c.failing_call, 0, kInjected);
    World input(c.format, 64, 40);
    World output(c.format, 64, 40);
    FillVaried(input);
    const auto before = output.PackedPixels();

    EXPECT_EQ(hostsim::RenderFrame(*host, input, output), c.expected);
    EXPECT_TRUE(host->CommandViolations().empty()) << host->CommandViolations().front();
    const bool message_flag = (host->out_data().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE) != 0;
    EXPECT_EQ(message_flag, c.shows_message);
    if (c.shows_message) {
        EXPECT_STREQ(host->out_data().return_msg, kAcquireMessage);
    }
    if (c.output_untouched) {
        EXPECT_EQ(output.PackedPixels(), before);
    }
    EXPECT_TRUE(output.GuardsIntact());
}

INSTANTIATE_TEST_SUITE_P(Table, RenderFailureTest, testing::ValuesIn(kFailures),
                         [](const testing::TestParamInfo<FailureCase>& info) {
                             std::string name = info.param.label;
                             for (char& ch : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             }
                             return name;
                         });

class NoBasicSuiteTest : public testing::TestWithParam<WorldFormat> {};

TEST_P(NoBasicSuiteTest, RenderAnswers516) {
    auto host = ReadyHost(GetParam());
    host->SetBasicSuiteAvailable(false);
    World input(GetParam(), 16, 16);
    World output(GetParam(), 16, 16);
    EXPECT_EQ(hostsim::RenderFrame(*host, input, output), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_TRUE(host->CommandViolations().empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, NoBasicSuiteTest, kAllFormats, FormatLabel);

// Premiere Pro hands over a pixel format the effect never registered: 514, nothing written,
// the pixel-format suite given back.
TEST(PremiereUnknownPixelFormat, Answers514AndLeavesTheOutput) {
    for (PrPixelFormat unknown : {PrPixelFormat{0}, PrPixelFormat{0x56555941} /* 'AYUV' */}) {
        auto host = ReadyHost(WorldFormat::kBgra8);
        World input(WorldFormat::kBgra8, 32, 20);
        World output(WorldFormat::kBgra8, 32, 20);
        FillVaried(input);
        Fill(output, Argb{1, 2, 3, 4});
        const auto before = output.PackedPixels();
        hostsim::RenderSettings render;
        render.pixel_format = unknown;
        EXPECT_EQ(hostsim::RenderFrame(*host, input, output, render), PF_Err_UNRECOGNIZED_PARAM_TYPE);
        EXPECT_EQ(output.PackedPixels(), before);
        EXPECT_TRUE(host->CommandViolations().empty());
    }
}

}  // namespace
}  // namespace qxv::render_host_tests
