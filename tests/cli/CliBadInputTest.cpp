// Every qxv command fed what users and scripts get wrong: options missing their values or
// given malformed, huge or contradictory ones, images cut short or damaged, raw streams that
// end inside a frame, outputs that cannot be written. Each gets one line on stderr, a
// non-zero exit that is not a crash, and leaves no file behind, complete or partial.
#include "../CaseName.h"
#include "ScratchFiles.h"

namespace qxv::cli_tests {
namespace {

struct BadInput {
    const char* arguments;  // after "qxv", run in a directory holding the files below
};

// Files in the scratch directory: in.png (16 x 8), truncated.png (its first half),
// corrupt.png (its header intact, the rest overwritten), empty.png, truncated.tif,
// truncated.exr, short.raw (a 4 x 4 argb8 frame and a few bytes more), odd.raw
// (4 x 4 argb16 minus one byte). An output under in.png/ cannot be written (even as root).
const BadInput kBadInputs[] = {
    // info
    {"info --host"}, {"info --plugin"}, {"info --plugin in.png"}, {"info --aex truncated.png"}, {"info --json --json extra"},
    // params-ui
    {"params-ui --mask-only"}, {"params-ui --mask-only on --host premiere --host"},
    {"params-ui --mask-only on --set Width=1e999"}, {"params-ui --mask-only on --set Opacity=nan"},
    {"params-ui --mask-only on --fail-suite"}, {"params-ui --mask-only on --set \"Vignette Type=99\""},
    // render: arguments
    {"render"}, {"render in.png"}, {"render in.png out.png extra.png"}, {"render --set in.png out.png"},
    {"render --set Width=abc in.png out.png"}, {"render --set Width=1e999 in.png out.png"},
    {"render --set Width=-inf in.png out.png"}, {"render --set Angle=nan in.png out.png"},
    {"render --set \"Point of origin=1\" in.png out.png"}, {"render --set \"Point of origin=1,2,3\" in.png out.png"},
    {"render --set \"Color=#12345\" in.png out.png"}, {"render --set \"Color=#gggggg\" in.png out.png"},
    {"render --set \"Blending mode=0\" in.png out.png"}, {"render --set \"Blending mode=24\" in.png out.png"},
    {"render --set \"Blending mode=99999999999999999999\" in.png out.png"}, {"render --set Invert=maybe in.png out.png"},
    {"render --depth 12 in.png out.png"}, {"render --depth in.png out.png"}, {"render --host avid in.png out.png"},
    {"render --downsample 0/1 in.png out.png"}, {"render --downsample 1/0 in.png out.png"},
    {"render --downsample -1/2 in.png out.png"}, {"render --downsample 1/2,1/2,1/2 in.png out.png"},
    {"render --downsample 99999999999/1 in.png out.png"}, {"render --pixel-aspect 0/1 in.png out.png"},
    {"render --pixel-aspect 1/0 in.png out.png"}, {"render --pixel-aspect x in.png out.png"},
    {"render --quality best in.png out.png"}, {"render --threads 0 in.png out.png"},
    {"render --threads -2 in.png out.png"}, {"render --threads 99999999999 in.png out.png"},
    {"render --fail-suite \"No Such Suite\" --fail-suite \"PF Iterate8 Suite\" in.png out.png"},
    // render: files
    {"render truncated.png out.png"}, {"render corrupt.png out.png"}, {"render empty.png out.png"},
    {"render truncated.tif out.png"}, {"render truncated.exr out.exr"}, {"render . out.png"},
    {"render in.png in.png/out.png"}, {"render in.png missing-dir/out.png"}, {"render in.png out.png/"},
    {"render in.png ''"}, {"render '' out.png"},
    // render: raw streams
    {"render --raw 4x4 --format argb16 odd.raw out.raw"}, {"render --raw 4x4 --format argb8 short.raw out.raw"},
    {"render --raw 4x4 --format argb8 - out.raw <short.raw"}, {"render --raw 0x4 --format argb8 short.raw out.raw"},
    {"render --raw 4x0 --format argb8 short.raw out.raw"}, {"render --raw -4x4 --format argb8 short.raw out.raw"},
    {"render --raw 100000x100000 --format argb8 short.raw out.raw"},
    {"render --raw 4294967296x1 --format argb8 short.raw out.raw"}, {"render --raw 4x4 --format rgb24 short.raw out.raw"},
    {"render --raw 4x4 short.raw out.raw"}, {"render --raw 4x4 --format bgra8 --depth 16 short.raw out.raw"},
    {"render --raw 4x4 --format argb8 short.raw in.png/out.raw"},
    {"render --raw 4x4 --format argb8 in.%04d.raw out.%04d.raw"},
    // bench
    {"bench --size 0x0"}, {"bench --size 99999999x99999999"}, {"bench --size x"}, {"bench --threads"},
    {"bench --threads 0"}, {"bench --threads 1,,2"}, {"bench --frames 0"}, {"bench --frames -1"},
    {"bench --frames many"}, {"bench --frames 5x"}, {"bench --format argb9"}, {"bench --format argb8,,bgra8"},
    {"bench --size 8x8 --frames 1 --case nothing-like-this"},
    {"bench extra"}, {"bench --plugin /nonexistent.so --size 8x8 --frames 1"},
    // overlay
    {"overlay --size 480x270"}, {"overlay --size 480x270 --zoom 1/0 out.png"}, {"overlay --size 480x270 --zoom -2 out.png"},
    {"overlay --size 480x270 --zoom 1e999 out.png"}, {"overlay --size 99999999x99999999 out.png"},
    {"overlay --size 480x270 --scroll 99999999999,0 out.png"}, {"overlay --size 480x270 --window comp --layer-offset 1 out.png"},
    {"overlay --size 480x270 --pixel-aspect 0/1 out.png"}, {"overlay truncated.png out.png"}, {"overlay corrupt.png out.png"},
    {"overlay in.png --size 480x270 out.png"}, {"overlay --size 480x270 in.png/out.png"},
    {"overlay --size 480x270 out.png --strokes-json in.png/strokes.json"}, {"overlay --size 480x270 out.png --strokes-json"},
    // handles
    {"handles"}, {"handles --size 480x"}, {"handles --size 480x270 --zoom 0"}, {"handles truncated.png"},
    {"handles --size 480x270 --set Width=nan"}, {"handles --size 480x270 --window effect"},
    // drag
    {"drag --size 480x270 --from 1,1"}, {"drag --size 480x270 --to 1,1"}, {"drag --size 480x270 --from x,y --to 1,1"},
    {"drag --size 480x270 --from 1,1 --to 2,2 --steps 10001"}, {"drag --size 480x270 --from 1,1 --to 2,2 --steps -1"},
    {"drag --size 480x270 --from 99999999999,1 --to 2,2"}, {"drag --size 480x270 --from 1,1 --to 2,2 --render"},
    {"drag --size 480x270 --from 240,135 --to 300,135 --render in.png/out.png"},
    {"drag --size 480x270 --from 240,135 --to 300,135 --overlay in.png/out.png"},
    {"drag corrupt.png --from 1,1 --to 2,2"},
};

class CliBadInputTest : public testing::TestWithParam<BadInput> {
protected:
    static void MakeFiles(const ScratchDir& dir) {
        Image<std::uint8_t> image{16, 8, 4, std::vector<std::uint8_t>(16 * 8 * 4, 120)};
        ASSERT_TRUE(WriteImage(dir / "in.png", image));
        ASSERT_TRUE(WriteImage(dir / "whole.tif", image));
        const auto png = ReadBytes(dir / "in.png");
        WriteBytes(dir / "truncated.png", std::vector<std::uint8_t>(png.begin(), png.begin() + png.size() / 2));
        auto corrupt = png;
        for (std::size_t i = 16; i < corrupt.size(); ++i) corrupt[i] = static_cast<std::uint8_t>(i * 37);
        WriteBytes(dir / "corrupt.png", corrupt);
        WriteBytes(dir / "empty.png", {});
        const auto tif = ReadBytes(dir / "whole.tif");
        WriteBytes(dir / "truncated.tif", std::vector<std::uint8_t>(tif.begin(), tif.begin() + tif.size() / 2));
        std::filesystem::remove(dir / "whole.tif");
        WriteBytes(dir / "truncated.exr", std::vector<std::uint8_t>{0x76, 0x2f, 0x31, 0x01, 2, 0, 0, 0, 'c', 'h'});
        WriteBytes(dir / "short.raw", std::vector<std::uint8_t>(4 * 4 * 4 + 10, 1));
        WriteBytes(dir / "odd.raw", std::vector<std::uint8_t>(4 * 4 * 8 - 1, 1));
    }
};

TEST_P(CliBadInputTest, OneLineNonZeroExitNoCrashNoFile) {
    ScratchDir dir;
    MakeFiles(dir);
    const auto before = dir.Names();

    const CliResult run = RunCli(Words(GetParam().arguments), dir.path());
    EXPECT_GT(run.exit_code, 0) << "a crash or success, not an error exit";
    EXPECT_LT(run.exit_code, 128) << "a crash, not an error exit";
    // libpng writes its own line before OpenImageIO hands the error on; qxv adds one more.
    std::string own = run.err;
    while (own.rfind("libpng ", 0) == 0) own.erase(0, own.find('\n') + 1);
    EXPECT_EQ(LineCount(own), 1) << run.err;
    EXPECT_EQ(own.rfind("qxv", 0), 0u) << run.err;
    EXPECT_EQ(dir.Names(), before);
}

// Named by the command line, numbered as two may read alike once spelled as a test name.
INSTANTIATE_TEST_SUITE_P(Table, CliBadInputTest, testing::ValuesIn(kBadInputs),
                         [](const testing::TestParamInfo<BadInput>& info) {
                             return std::to_string(info.index) + "_" + test::CaseName(info.param.arguments);
                         });

}  // namespace
}  // namespace qxv::cli_tests
