// The documented pixel examples, rendered through EntryPointFunc in each host and pixel
// layout on padded frames: a pixel outside the shape takes the blend, the core keeps the
// source, and the rows' padding is never written.
#include "RenderHost.h"

namespace qxv::render_host_tests {
namespace {

constexpr double kAny = -1;  // an expected channel that the example does not fix

struct PixelExample {
    const char* label;
    WorldFormat format;
    std::initializer_list<const char*> settings;
    Argb source;
    A_long x, y;
    Argb expected;
};

// With the default parameters the ellipse is 300 x 200 around (50, 50): (350, 250) lies
// outside it, (50, 50) in its core.
const PixelExample kExamples[] = {
    {"argb8 default outside", WorldFormat::kArgb8, {}, {255, 201, 101, 51}, 350, 250, {255, 150, 75, 38}},
    {"argb8 default core", WorldFormat::kArgb8, {}, {255, 201, 101, 51}, 50, 50, {255, 201, 101, 51}},
    {"bgra8 default outside", WorldFormat::kBgra8, {}, {255, 201, 101, 51}, 350, 250, {255, 150, 75, 38}},
    {"bgra8 default core", WorldFormat::kBgra8, {}, {255, 201, 101, 51}, 50, 50, {255, 201, 101, 51}},
    {"argb16 default outside", WorldFormat::kArgb16, {}, {32768, 16000, 8000, 4000}, 350, 250,
     {32768, 12000, 6000, 3000}},
    {"argb16 default core", WorldFormat::kArgb16, {}, {32768, 16000, 8000, 4000}, 50, 50,
     {32768, 16000, 8000, 4000}},
    {"argb8 Add white limits at 255", WorldFormat::kArgb8, {"Blending mode=Add", "Color=#ffffff", "Opacity=100"},
     {255, 200, 0, 0}, 350, 250, {kAny, 255, kAny, kAny}},
    {"argb16 Add white limits at 32768", WorldFormat::kArgb16,
     {"Blending mode=Add", "Color=#ffffff", "Opacity=100"}, {32768, 30000, 0, 0}, 350, 250,
     {kAny, 32768, kAny, kAny}},
    {"bgra32f Add white is unlimited", WorldFormat::kBgraFloat,
     {"Blending mode=Add", "Color=#ffffff", "Opacity=100"}, {1, 0.5, 0.25, 0.125}, 350, 250, {kAny, 1.5, kAny, kAny}},
    {"bgra32f default core", WorldFormat::kBgraFloat, {}, {1, 0.5, 0.25, 0.125}, 50, 50, {1, 0.5, 0.25, 0.125}},
};

class PixelExampleTest : public testing::TestWithParam<PixelExample> {};

TEST_P(PixelExampleTest, RendersTheDocumentedValue) {
    const PixelExample& example = GetParam();
    auto host = ReadyHost(example.format);
    SetParams(*host, example.settings);
    World input(example.format, 400, 300);
    World output(example.format, 400, 300);
    Fill(input, example.source);

    ASSERT_EQ(hostsim::RenderFrame(*host, input, output), PF_Err_NONE);
    EXPECT_TRUE(host->CommandViolations().empty()) << host->CommandViolations().front();

    const Argb got = GetPixel(output, example.x, example.y);
    const double expected[4] = {example.expected.alpha, example.expected.red, example.expected.green,
                                example.expected.blue};
    const double actual[4] = {got.alpha, got.red, got.green, got.blue};
    for (int c = 0; c < 4; ++c) {
        if (expected[c] != kAny) {
            EXPECT_EQ(actual[c], expected[c]) << "channel " << c << " of " << got;
        }
    }
    EXPECT_TRUE(output.GuardsIntact());
    EXPECT_TRUE(input.GuardsIntact());
}

INSTANTIATE_TEST_SUITE_P(Examples, PixelExampleTest, testing::ValuesIn(kExamples),
                         [](const testing::TestParamInfo<PixelExample>& info) {
                             std::string name = info.param.label;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

// A band across the whole frame shades every pixel, right up to the padding of each row.
class FullFrameTest : public testing::TestWithParam<WorldFormat> {};

TEST_P(FullFrameTest, ShadesEveryPixelAndNoPadding) {
    const WorldFormat format = GetParam();
    auto host = ReadyHost(format);
    SetParams(*host, {"Point of origin=64,48", "Width=160", "Height=120", "Feather=70", "Opacity=100",
                      "Blending mode=Normal", "Color=#ff8000"});
    World input(format, 128, 96, 40);
    World output(format, 128, 96, 40);
    FillVaried(input);
    ASSERT_EQ(hostsim::RenderFrame(*host, input, output), PF_Err_NONE);
    EXPECT_TRUE(output.GuardsIntact());
    EXPECT_TRUE(input.GuardsIntact());
    // The last column of the last row lies in the band, so it was shaded, not left at zero.
    EXPECT_NE(GetPixel(output, 127, 95), (Argb{0, 0, 0, 0}));
    EXPECT_NE(GetPixel(output, 127, 95), GetPixel(input, 127, 95));
}

INSTANTIATE_TEST_SUITE_P(Formats, FullFrameTest, kAllFormats, FormatLabel);

}  // namespace
}  // namespace qxv::render_host_tests
