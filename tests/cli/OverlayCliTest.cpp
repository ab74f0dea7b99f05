// qxv overlay, handles and drag end to end: the built qxv run as a user runs it.
#include <gtest/gtest.h>
#include <OpenImageIO/imageio.h>

#include <filesystem>
#include <string>

#include "ScratchFiles.h"
#include "hostsim/instruments/Json.h"

namespace qxv::cli_tests {
namespace {

namespace fs = std::filesystem;
using hostsim::Json;

Json ParseJson(const std::string& text) {
    Json json = Json::parse(text, nullptr, /*allow_exceptions=*/false);
    EXPECT_FALSE(json.is_discarded()) << text;
    return json;
}

class OverlayCliTest : public testing::Test {
protected:
    CliResult Run(const std::string& arguments) { return RunCli(Words(arguments), dir_.path()); }
    Json RunJson(const std::string& arguments) {
        const CliResult result = Run(arguments);
        EXPECT_EQ(result.exit_code, 0) << result.err;
        return ParseJson(result.out);
    }

    ScratchDir dir_;
};

TEST_F(OverlayCliTest, HandlesAreWhereTheHitTestPutsThem) {
    const int expected[10][2] = {{90, 35},   {390, 35},  {90, 235},  {390, 235}, {240, 81},
                                 {190, 135}, {290, 135}, {240, 101}, {240, 168}, {200, 160}};
    for (const char* host : {"ae", "premiere"}) {
        SCOPED_TRACE(host);
        const Json json = RunJson(std::string("handles --size 480x270 --json --host ") + host);
        ASSERT_EQ(json.at("handles").size(), 10u);
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(json.at("handles").at(i).at("number").get<std::int64_t>(), i + 1);
            EXPECT_EQ(json.at("handles").at(i).at("x").get<std::int64_t>(), expected[i][0]) << i + 1;
            EXPECT_EQ(json.at("handles").at(i).at("y").get<std::int64_t>(), expected[i][1]) << i + 1;
        }
    }
    // Zoomed and scrolled: every handle moves with the window.
    const Json zoomed = RunJson("handles --size 480x270 --json --zoom 2 --scroll 10,20");
    EXPECT_EQ(zoomed.at("handles").at(3).at("x").get<std::int64_t>(), 790);
    EXPECT_EQ(zoomed.at("handles").at(3).at("y").get<std::int64_t>(), 490);
    // The opacity track keeps its size in window pixels whatever the zoom.
    EXPECT_EQ(zoomed.at("handles").at(9).at("x").get<std::int64_t>(), 490 - 40);
}

TEST_F(OverlayCliTest, DragReportsEveryEvent) {
    const Json json = RunJson("drag --size 480x270 --from 200,160 --to 200,100 --steps 3 --json");
    EXPECT_EQ(json.at("handle").get<std::int64_t>(), 10);
    ASSERT_EQ(json.at("events").size(), 4u);  // the click and three drags
    const int opacity[] = {25, 45, 65, 85};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(json.at("events").at(i).at("params").at("Opacity").get<std::int64_t>(), opacity[i] * 65536);

    const Json corner = RunJson("drag --size 480x270 --window comp --layer-offset 20,10 --from 410,245 --to 360,195 "
                                "--steps 1 --json --host premiere");
    EXPECT_EQ(corner.at("handle").get<std::int64_t>(), 4);
    EXPECT_EQ(corner.at("events").at(1).at("params").at("Width").get<double>(), 200);
    EXPECT_EQ(corner.at("events").at(1).at("params").at("Height").get<double>(), 100);

    const Json miss = RunJson("drag --size 480x270 --from 5,5 --to 50,50 --json");
    EXPECT_EQ(miss.at("handle").get<std::int64_t>(), 0);
    EXPECT_EQ(miss.at("events").size(), 1u);
}

TEST_F(OverlayCliTest, PicturesHaveTheWindowsSize) {
    struct Case {
        const char* options;
        int width, height;
    } cases[] = {
        {"--size 480x270", 480, 270},
        {"--size 480x270 --zoom 0.5 --scroll 30,20", 300, 175},
        {"--size 480x270 --window comp --layer-offset 40,30 --zoom 2", 1120, 660},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const CliResult result = Run(std::string("overlay ") + c.options + " window.png --strokes-json s.json");
        ASSERT_EQ(result.exit_code, 0) << result.err;
        auto input = OIIO::ImageInput::open(dir_ / "window.png");
        ASSERT_TRUE(input);
        EXPECT_EQ(input->spec().width, c.width);
        EXPECT_EQ(input->spec().height, c.height);
        const auto bytes = ReadBytes(dir_ / "s.json");
        EXPECT_EQ(ParseJson(std::string(bytes.begin(), bytes.end())).at("strokes").size(), 11u);
    }
    const CliResult dragged = Run("drag --size 64x48 --set \"Point of origin=32,24\" --from 32,15 --to 60,24 --steps 2 "
                                  "--render frame.png --overlay after.png");
    ASSERT_EQ(dragged.exit_code, 0) << dragged.err;
    EXPECT_TRUE(fs::exists(dir_ / "frame.png"));
    EXPECT_TRUE(fs::exists(dir_ / "after.png"));
}

TEST_F(OverlayCliTest, BadInputFailsWithOneLineAndNoFile) {
    const char* const bad[] = {
        "overlay --size 480x270 --zoom 0 never.png",
        "overlay --size 480x270 --zoom fast never.png",
        "overlay --size 480x270 --window effect never.png",
        "overlay --size 480x270 --scroll 1 never.png",
        "overlay --size 480x270 --layer-offset 5,5 never.png",
        "overlay --size 0x270 never.png",
        "overlay missing-input.png never.png",
        "overlay --size 480x270 --set Width=-5 never.png",
        "overlay --size 480x270 --host avid never.png",
        "overlay never.png",
        "drag --size 480x270 --from 1,1 --render never.png",
        "drag --size 480x270 --from 1,1 --to 2,2 --steps 0 --render never.png",
        "handles --size 480x270 extra.png",
    };
    for (const char* arguments : bad) {
        SCOPED_TRACE(arguments);
        const CliResult result = Run(arguments);
        EXPECT_NE(result.exit_code, 0);
        EXPECT_EQ(LineCount(result.err), 1) << result.err;
        EXPECT_TRUE(result.out.empty());
        EXPECT_TRUE(dir_.Names().empty());
    }
}

}  // namespace
}  // namespace qxv::cli_tests
