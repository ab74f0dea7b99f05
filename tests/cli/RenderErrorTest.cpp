// qxv render when something is wrong: one line naming the problem, a non-zero exit, and no
// output file (complete or partial) left in the directory.
#include "ScratchFiles.h"

namespace qxv::cli_tests {
namespace {

struct ErrorCase {
    const char* label;
    const char* arguments;   // after "qxv"
    const char* mentions;    // the line must contain this
};

const ErrorCase kErrors[] = {
    {"unknown_parameter", "render --set Bogus=1 in.png out.png", "Bogus"},
    {"bad_choice", "render --set \"Blending mode=Sparkle\" in.png out.png", "Sparkle"},
    {"set_without_value", "render --set Width in.png out.png", "Width"},
    {"unreadable_input", "render missing.png out.png", "missing.png"},
    {"not_an_image", "render notimage.png out.png", "notimage.png"},
    {"unwritable_output", "render in.png nodir/out.png", "nodir/out.png"},
    {"unknown_extension", "render in.png out.qxvnothing", "out.qxvnothing"},
    {"premiere_16_bit", "render --host premiere --depth 16 in.png out.png", "Premiere Pro"},
    {"ae_float", "render --host ae --depth float in.png out.png", "After Effects"},
    {"short_raw_frame", "render --raw 4x4 --format argb8 short.raw out.raw", "ended inside a frame"},
    {"short_raw_frame_piped", "render --raw 4x4 --format argb8 - out.raw <short.raw", "ended inside a frame"},
    {"raw_format_against_host", "render --host ae --raw 4x4 --format bgra8 short.raw out.raw", "Premiere Pro"},
    {"raw_without_size", "render --format argb8 - out.raw <short.raw", "--raw"},
    {"bad_raw_size", "render --raw 4by4 --format argb8 short.raw out.raw", "4by4"},
    {"pattern_on_one_side", "render in.%04d.png out.png", "pattern"},
    {"iterate_suite_missing", "render --fail-suite \"PF Iterate8 Suite\" in.png out.png", "516"},
    {"pixel_format_suite_missing", "render --host premiere --fail-suite \"PF Pixel Format Suite\" in.png out.png",
     "Not able to acquire AEFX Suite."},
    {"plugin_error_in_stream", "render --raw 2x2 --format argb8 --fail-suite \"PF Iterate8 Suite\" frame.raw out.raw",
     "516"},
};

class RenderErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(RenderErrorTest, OneLineNonZeroAndNoOutput) {
    ScratchDir dir;
    Image<std::uint8_t> image{4, 4, 4, std::vector<std::uint8_t>(64, 200)};
    ASSERT_TRUE(WriteImage(dir / "in.png", image));
    WriteBytes(dir / "short.raw", std::vector<std::uint8_t>(4 * 4 * 4 + 10, 1));
    WriteBytes(dir / "frame.raw", std::vector<std::uint8_t>(2 * 2 * 4, 1));
    WriteBytes(dir / "notimage.png", std::vector<std::uint8_t>(100, 'x'));
    const auto before = dir.Names();

    const CliResult run = RunCli(Words(GetParam().arguments), dir.path());
    EXPECT_NE(run.exit_code, 0);
    EXPECT_EQ(LineCount(run.err), 1) << run.err;
    EXPECT_NE(run.err.find(GetParam().mentions), std::string::npos) << run.err;
    EXPECT_EQ(run.err.rfind("qxv render: ", 0), 0u) << run.err;
    EXPECT_EQ(dir.Names(), before);  // no out.png, out.raw or temporary file
}

INSTANTIATE_TEST_SUITE_P(Cases, RenderErrorTest, testing::ValuesIn(kErrors),
                         [](const testing::TestParamInfo<ErrorCase>& info) { return info.param.label; });

}  // namespace
}  // namespace qxv::cli_tests
