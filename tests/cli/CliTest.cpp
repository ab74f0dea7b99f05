// qxv as a user meets it: machine-readable info, the Mask Only update, help, and one clear
// line for every mistake on the command line.
#include <gtest/gtest.h>

#include <fstream>

#include "hostsim/instruments/Json.h"
#include "RunCli.h"

namespace qxv::cli_tests {
namespace {

using hostsim::Json;

Json ParseOutput(const CliResult& result) {
    Json json = Json::parse(result.out, nullptr, /*allow_exceptions=*/false);
    EXPECT_FALSE(json.is_discarded()) << result.out;
    return json;
}

TEST(QxvInfo, JsonHasWhatAHostLearns) {
    CliResult result = RunCli({"info", "--json"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    EXPECT_TRUE(result.err.empty()) << result.err;
    Json info = ParseOutput(result);

    for (const char* key : {"about", "my_version", "out_flags", "pixel_formats", "pipl", "params"}) {
        EXPECT_TRUE(info.contains(key)) << key;
    }
    EXPECT_EQ(info.at("about").get<std::string>().rfind("Vignette v1.3\r", 0), 0u);
    EXPECT_EQ(info.at("my_version").get<std::int64_t>(), 0x00098001);
    EXPECT_EQ(info.at("out_flags").get<std::int64_t>(), 0x06008400);
    EXPECT_EQ(info.at("pixel_formats").size(), 0u) << "After Effects registers none";
    EXPECT_EQ(info.at("violations").size(), 0u);

    const Json& pipl = info.at("pipl");
    ASSERT_EQ(pipl.size(), 12u);
    const char* const kKeys[] = {"kind", "name", "catg", "8664", "ePVR", "eSVR",
                                 "eVER", "eINF", "eGLO", "eGL2", "eMNA", "aeFL"};
    for (std::size_t i = 0; i < pipl.size(); ++i) EXPECT_EQ(pipl.at(i).at("key").get<std::string>(), kKeys[i]);
    EXPECT_EQ(pipl.at(1).at("value").get<std::string>(), "QX Vignette");
    EXPECT_EQ(pipl.at(10).at("value").get<std::string>(), "ZV Vignette");

    const Json& params = info.at("params");
    ASSERT_EQ(params.size(), 13u);
    for (std::size_t i = 0; i < params.size(); ++i) {
        EXPECT_EQ(params.at(i).at("index").get<std::int64_t>(), static_cast<std::int64_t>(i + 1));
        for (const char* key : {"name", "type", "id", "flags", "default"}) {
            EXPECT_TRUE(params.at(i).contains(key)) << key;
        }
    }
    EXPECT_EQ(params.at(9).at("name").get<std::string>(), "Blending mode");
    EXPECT_EQ(params.at(9).at("type").get<std::int64_t>(), 7);
    EXPECT_EQ(params.at(9).at("choices").size(), 23u);
    EXPECT_EQ(params.at(8).at("valid_max").get<std::int64_t>(), 0x640000);
    EXPECT_EQ(params.at(8).at("unit").get<std::string>(), "percent");
    EXPECT_EQ(params.at(2).at("unit").get<std::string>(), "");  // Width: registered without a unit
    EXPECT_EQ(params.at(1).at("default").dump(), "[3276800,3276800]");
    EXPECT_EQ(info.at("values").at("Opacity").get<std::int64_t>(), 0x190000);
}

TEST(QxvInfo, PremiereListsItsPixelFormatsInOrder) {
    CliResult result = RunCli({"info", "--host", "premiere", "--json", "--trace"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    Json info = ParseOutput(result);
    ASSERT_EQ(info.at("pixel_formats").size(), 2u);
    EXPECT_EQ(info.at("pixel_formats").at(0).get<std::int64_t>(), 0x61724742);
    EXPECT_EQ(info.at("pixel_formats").at(1).get<std::int64_t>(), 0x61726762);
    bool acquired = false;
    for (std::size_t i = 0; i < info.at("trace").size(); ++i) {
        const Json& call = info.at("trace").at(i);
        acquired = acquired || (call.at("call").get<std::string>() == "AcquireSuite" &&
                                call.at("detail").get<std::string>().find("PF Pixel Format Suite") != std::string::npos);
    }
    EXPECT_TRUE(acquired);
}

TEST(QxvInfo, ReadsThePiPLOfTheWindowsBuild) {
    const std::string aex = QXV_AEX_PATH;
    if (aex.empty() || !std::ifstream(aex)) GTEST_SKIP() << "no Windows build in this tree";
    CliResult result = RunCli({"info", "--json", "--aex", aex});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    Json info = ParseOutput(result);
    ASSERT_EQ(info.at("pipl").size(), 12u);
    EXPECT_EQ(info.at("pipl").at(6).at("value").get<std::string>(), "0x00098001");
}

TEST(QxvInfo, TextShowsTheParameterTable) {
    CliResult result = RunCli({"info"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    for (const char* expected : {"Vignette v1.3", "0x00098001", "1.3.0 develop build 1", "num_params 14",
                                 "13. Alpha falloff", "PF_Param_FLOAT_SLIDER (10), id 2", "eVER equals my_version"}) {
        EXPECT_NE(result.out.find(expected), std::string::npos) << expected;
    }
}

struct ParamsUICase {
    const char* host;
    const char* mask_only;
    std::int64_t out_flags;
    const char* blending_name;
    bool disabled;
};

class QxvParamsUI : public testing::TestWithParam<ParamsUICase> {};

TEST_P(QxvParamsUI, ShowsNamesDisabledFlagsAndOutFlags) {
    const ParamsUICase& c = GetParam();
    CliResult result = RunCli({"params-ui", "--mask-only", c.mask_only, "--host", c.host, "--json"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    Json json = ParseOutput(result);
    EXPECT_EQ(json.at("out_flags").get<std::int64_t>(), c.out_flags);
    ASSERT_EQ(json.at("updates").size(), 2u);
    EXPECT_EQ(json.at("updates").at(0).at("name").get<std::string>(), c.blending_name);
    EXPECT_EQ(json.at("updates").at(0).at("disabled").get<bool>(), c.disabled);
    EXPECT_EQ(json.at("params").at(9).at("shown_name").get<std::string>(), c.blending_name);
    EXPECT_EQ(json.at("values").at("Mask Only").get<std::int64_t>(), c.disabled ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, QxvParamsUI,
                         testing::Values(ParamsUICase{"ae", "on", 0x400000, "Blending mode (disabled)", true},
                                         ParamsUICase{"premiere", "off", 0x420000, "Blending mode", false}));

class QxvBadUsage : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(QxvBadUsage, OneLineOnStderrAndNonZeroExit) {
    CliResult result = RunCli(GetParam());
    EXPECT_NE(result.exit_code, 0);
    EXPECT_LT(result.exit_code, 128) << "a crash, not an error exit";
    ASSERT_FALSE(result.err.empty());
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    EXPECT_EQ(result.err.rfind("qxv", 0), 0u) << result.err;
    EXPECT_TRUE(result.out.empty()) << result.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QxvBadUsage,
    testing::Values(std::vector<std::string>{}, std::vector<std::string>{"frobnicate"},
                    std::vector<std::string>{"info", "--bogus"}, std::vector<std::string>{"info", "--host", "nuke"},
                    std::vector<std::string>{"info", "--host"}, std::vector<std::string>{"info", "extra"},
                    std::vector<std::string>{"info", "--json=yes"}, std::vector<std::string>{"info", "-x"},
                    std::vector<std::string>{"info", "--plugin", "/nonexistent/QX_Vignette.so"},
                    std::vector<std::string>{"info", "--aex", "/nonexistent.aex"},
                    std::vector<std::string>{"params-ui"}, std::vector<std::string>{"params-ui", "--mask-only", "maybe"},
                    std::vector<std::string>{"params-ui", "--mask-only", "on", "--set", "Width"},
                    std::vector<std::string>{"params-ui", "--mask-only", "on", "--set", "Width=-3"},
                    std::vector<std::string>{"params-ui", "--mask-only", "on", "--set", "Nope=1"}));

// A refused value is named by the option it was given to, in every command that declares it.
TEST(QxvRefusedValue, NamesTheOptionItWasGivenTo) {
    const struct {
        std::vector<std::string> args;
        const char* option;
    } kCases[] = {
        {{"overlay", "--size", "480x", "out.png"}, "--size"},
        {{"handles", "--size", "99999x1"}, "--size"},
        {{"render", "--raw", "4x", "--format", "argb8", "in.raw", "out.raw"}, "--raw"},
        {{"bench", "--size", "x"}, "--size"},
        {{"drag", "--size", "8x8", "--from", "1,1", "--to", "2,2", "--steps", "0"}, "--steps"},
        {{"handles", "--size", "8x8", "--scroll", "1"}, "--scroll"},
        {{"preview", "--size", "8x8", "--drag-downsample", "17"}, "--drag-downsample"},
    };
    for (const auto& c : kCases) {
        const CliResult result = RunCli(c.args);
        EXPECT_EQ(result.exit_code, 2) << c.args[0] << " " << c.option;
        EXPECT_NE(result.err.find(std::string(": ") + c.option), std::string::npos) << result.err;
    }
}

TEST(QxvHelp, ListsCommandsAndOptions) {
    CliResult top = RunCli({"--help"});
    EXPECT_EQ(top.exit_code, 0);
    EXPECT_NE(top.out.find("info"), std::string::npos);
    EXPECT_NE(top.out.find("params-ui"), std::string::npos);
    for (const char* command : {"info", "params-ui"}) {
        CliResult help = RunCli({command, "--help"});
        EXPECT_EQ(help.exit_code, 0) << command;
        EXPECT_EQ(help.out.rfind("usage: qxv " + std::string(command), 0), 0u) << help.out;
        EXPECT_NE(help.out.find("--host"), std::string::npos);
    }
}

}  // namespace
}  // namespace qxv::cli_tests
