// qxv render on real files and streams: what goes in at opacity 0 comes out unchanged
// (PNG 8- and 16-bit, raw streams of two frames), the documented pixel comes out of a PNG,
// and an image without alpha comes out opaque.
#include "ScratchFiles.h"

namespace qxv::cli_tests {
namespace {

Image<std::uint8_t> VariedRgba8(int width, int height) {
    Image<std::uint8_t> image{width, height, 4, {}};
    for (int i = 0; i < width * height * 4; ++i) image.pixels.push_back(static_cast<std::uint8_t>(i * 37 + i / 5));
    return image;
}

TEST(RenderPng, Opacity0KeepsEvery8BitValueAndAlpha) {
    ScratchDir dir;
    const Image<std::uint8_t> in = VariedRgba8(23, 17);
    ASSERT_TRUE(WriteImage(dir / "in.png", in));
    for (const char* host : {"ae", "premiere"}) {
        const CliResult run = RunCli({"render", "--host", host, "--set", "Opacity=0", "in.png", "out.png"}, dir.path());
        ASSERT_EQ(run.exit_code, 0) << run.err;
        const Image<std::uint8_t> out = ReadImage<std::uint8_t>(dir / "out.png");
        EXPECT_EQ(out.channels, 4);
        EXPECT_EQ(out.pixels, in.pixels) << host;
    }
}

TEST(RenderPng, Opacity0Keeps16BitValuesOfTheHostScale) {
    ScratchDir dir;
    // 16-bit file values that stand for host values 0..32768 survive the way in and out.
    Image<std::uint16_t> in{5, 3, 4, {}};
    for (int i = 0; i < 5 * 3 * 4; ++i) {
        const std::uint32_t host_value = static_cast<std::uint32_t>(i) * 32768u / 59u;
        in.pixels.push_back(static_cast<std::uint16_t>((host_value * 65535u + 16384u) / 32768u));
    }
    ASSERT_TRUE(WriteImage(dir / "in.png", in));
    const CliResult run = RunCli({"render", "--depth", "16", "--set", "Opacity=0", "in.png", "out.png"}, dir.path());
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(ReadImage<std::uint16_t>(dir / "out.png").pixels, in.pixels);
}

TEST(RenderPng, DefaultParametersGiveTheDocumentedPixel) {
    ScratchDir dir;
    Image<std::uint8_t> in{400, 300, 4, {}};
    for (int i = 0; i < 400 * 300; ++i) in.pixels.insert(in.pixels.end(), {201, 101, 51, 255});
    ASSERT_TRUE(WriteImage(dir / "in.png", in));
    const CliResult run = RunCli({"render", "in.png", "out.png"}, dir.path());
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const Image<std::uint8_t> out = ReadImage<std::uint8_t>(dir / "out.png");
    ASSERT_EQ(out.pixels.size(), in.pixels.size());
    auto pixel = [&](int x, int y) {
        const std::uint8_t* p = &out.pixels[(static_cast<std::size_t>(y) * 400 + x) * 4];
        return std::vector<int>{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(pixel(399, 299), (std::vector<int>{150, 75, 38, 255}));
    // The Point of origin starts at the centre of the frame: the core is there.
    EXPECT_EQ(pixel(200, 150), (std::vector<int>{201, 101, 51, 255}));
    EXPECT_EQ(pixel(50, 50), (std::vector<int>{150, 75, 38, 255}));
}

TEST(RenderPng, ImageWithoutAlphaComesOutOpaque) {
    ScratchDir dir;
    Image<std::uint8_t> in{8, 8, 3, std::vector<std::uint8_t>(8 * 8 * 3, 90)};
    ASSERT_TRUE(WriteImage(dir / "in.png", in));
    const CliResult run = RunCli({"render", "--set", "Opacity=0", "in.png", "out.png"}, dir.path());
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const Image<std::uint8_t> out = ReadImage<std::uint8_t>(dir / "out.png");
    ASSERT_EQ(out.channels, 4);
    for (std::size_t i = 0; i < out.pixels.size(); i += 4) {
        ASSERT_EQ(out.pixels[i + 3], 255);
        ASSERT_EQ(out.pixels[i], 90);
    }
}

TEST(RenderSequence, RendersEveryFrameOfThePattern) {
    ScratchDir dir;
    for (int n : {1, 2, 10}) {
        char name[32];
        std::snprintf(name, sizeof name, "in.%04d.png", n);
        ASSERT_TRUE(WriteImage(dir / name, VariedRgba8(6, 4)));
    }
    const CliResult run = RunCli({"render", "--set", "Opacity=0", "in.%04d.png", "out.%04d.png"}, dir.path());
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(ReadImage<std::uint8_t>(dir / "out.0010.png").pixels, VariedRgba8(6, 4).pixels);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"in.0001.png", "in.0002.png", "in.0010.png", "out.0001.png",
                                                     "out.0002.png", "out.0010.png"}));
}

struct RawCase {
    const char* format;
    int pixel_bytes;
};

class RawStreamTest : public testing::TestWithParam<RawCase> {};

TEST_P(RawStreamTest, TwoFramesPassThroughAtOpacity0) {
    ScratchDir dir;
    const RawCase& c = GetParam();
    std::vector<std::uint8_t> frames(static_cast<std::size_t>(2 * 7 * 5 * c.pixel_bytes));
    for (std::size_t i = 0; i < frames.size(); ++i) frames[i] = static_cast<std::uint8_t>(i * 29 + 3);
    if (std::string(c.format) == "argb16") {
        for (std::size_t i = 1; i < frames.size(); i += 2) frames[i] &= 0x7F;  // within 0..32767
    }
    if (std::string(c.format) == "bgra32f") {
        for (std::size_t i = 0; i < frames.size(); i += 4) frames[i + 3] = 0x3F;  // ordinary floats
    }
    WriteBytes(dir / "in.raw", frames);
    const CliResult run =
        RunCli({"render", "--raw", "7x5", "--format", c.format, "--set", "Opacity=0", "-", "-", "<in.raw"}, dir.path());
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(std::vector<std::uint8_t>(run.out.begin(), run.out.end()), frames);
}

TEST_P(RawStreamTest, ShadedStreamKeepsItsLength) {
    ScratchDir dir;
    const RawCase& c = GetParam();
    WriteBytes(dir / "in.raw", std::vector<std::uint8_t>(static_cast<std::size_t>(2 * 64 * 48 * c.pixel_bytes), 0x30));
    const CliResult run = RunCli({"render", "--raw", "64x48", "--format", c.format, "--set", "Width=40", "in.raw", "out.raw"}, dir.path());
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const auto out = ReadBytes(dir / "out.raw");
    EXPECT_EQ(out.size(), static_cast<std::size_t>(2 * 64 * 48 * c.pixel_bytes));
    EXPECT_NE(out, ReadBytes(dir / "in.raw"));
}

INSTANTIATE_TEST_SUITE_P(Formats, RawStreamTest,
                         testing::Values(RawCase{"argb8", 4}, RawCase{"argb16", 8}, RawCase{"bgra8", 4},
                                         RawCase{"bgra32f", 16}),
                         [](const testing::TestParamInfo<RawCase>& info) { return info.param.format; });

}  // namespace
}  // namespace qxv::cli_tests
