// qxv overlay, handles and drag end to end: the built qxv run as a user runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <OpenImageIO/imageio.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "hostsim/Json.h"

namespace qxv::cli_overlay_tests {
namespace {

namespace fs = std::filesystem;
using hostsim::Json;

struct Result {
    int exit_code = -1;
    std::string out, err;
};

std::string Slurp(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class OverlayCliTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("qxv_overlay_cli_" + std::to_string(getpid()) + "_" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    Result Run(const std::string& arguments) {
        const fs::path out = dir_ / "stdout.txt", err = dir_ / "stderr.txt";
        const std::string command = std::string(QXV_CLI_PATH) + " " + arguments + " >" + out.string() + " 2>" + err.string();
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
    }
    Json RunJson(const std::string& arguments) {
        const Result result = Run(arguments);
        EXPECT_EQ(result.exit_code, 0) << result.err;
        Json json = Json::parse(result.out, nullptr, /*allow_exceptions=*/false);
        EXPECT_FALSE(json.is_discarded()) << result.out;
        return json;
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
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
        const std::string out = Path("window.png");
        const Result result = Run(std::string("overlay ") + c.options + " " + out + " --strokes-json " + Path("s.json"));
        ASSERT_EQ(result.exit_code, 0) << result.err;
        auto input = OIIO::ImageInput::open(out);
        ASSERT_TRUE(input);
        EXPECT_EQ(input->spec().width, c.width);
        EXPECT_EQ(input->spec().height, c.height);
        const Json strokes = Json::parse(Slurp(Path("s.json")), nullptr, /*allow_exceptions=*/false);
        ASSERT_FALSE(strokes.is_discarded());
        EXPECT_EQ(strokes.at("strokes").size(), 11u);
    }
    const Result dragged = Run("drag --size 64x48 --set \"Point of origin=32,24\" --from 32,15 --to 60,24 --steps 2 "
                               "--render " + Path("frame.png") + " --overlay " + Path("after.png"));
    ASSERT_EQ(dragged.exit_code, 0) << dragged.err;
    EXPECT_TRUE(fs::exists(Path("frame.png")));
    EXPECT_TRUE(fs::exists(Path("after.png")));
}

TEST_F(OverlayCliTest, BadInputFailsWithOneLineAndNoFile) {
    const std::string out = Path("never.png");
    const char* const bad[] = {
        "overlay --size 480x270 --zoom 0 OUT",
        "overlay --size 480x270 --zoom fast OUT",
        "overlay --size 480x270 --window effect OUT",
        "overlay --size 480x270 --scroll 1 OUT",
        "overlay --size 480x270 --layer-offset 5,5 OUT",
        "overlay --size 0x270 OUT",
        "overlay missing-input.png OUT",
        "overlay --size 480x270 --set Width=-5 OUT",
        "overlay --size 480x270 --host avid OUT",
        "overlay OUT",
        "drag --size 480x270 --from 1,1 --render OUT",
        "drag --size 480x270 --from 1,1 --to 2,2 --steps 0 --render OUT",
        "handles --size 480x270 extra.png",
    };
    for (std::string arguments : bad) {
        SCOPED_TRACE(arguments);
        arguments.replace(arguments.find("OUT") == std::string::npos ? arguments.size() : arguments.find("OUT"),
                          arguments.find("OUT") == std::string::npos ? 0 : 3, out);
        const Result result = Run(arguments);
        EXPECT_NE(result.exit_code, 0);
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_TRUE(result.out.empty());
        EXPECT_FALSE(fs::exists(out));
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);  // stdout, stderr
    }
}

}  // namespace
}  // namespace qxv::cli_overlay_tests
