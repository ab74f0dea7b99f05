// qxv preview where no window can be opened or nothing can be shown: each case ends with one
// clear line and a clean exit, before any window appears. The window itself is tested under
// Xvfb by preview_test.sh.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "../cli/RunCli.h"

namespace qxv::preview_tests {
namespace {

using cli_tests::CliResult;
using cli_tests::RunCli;

const std::string kSample = std::string(QXV_SOURCE_DIR) + "/samples/meadow.png";

// Runs qxv with DISPLAY and WAYLAND_DISPLAY removed, as on a machine without a display.
CliResult RunWithoutDisplay(const std::vector<std::string>& args) {
    std::optional<std::string> saved[2];
    const char* names[2] = {"DISPLAY", "WAYLAND_DISPLAY"};
    for (int i = 0; i < 2; ++i) {
        if (const char* value = std::getenv(names[i])) saved[i] = value;
        unsetenv(names[i]);
    }
    CliResult result = RunCli(args);
    for (int i = 0; i < 2; ++i) {
        if (saved[i]) setenv(names[i], saved[i]->c_str(), 1);
    }
    return result;
}

int LineCount(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

struct FailureCase {
    const char* what;
    std::vector<std::string> args;
    int exit_code;
    const char* message;
};

TEST(PreviewCliTest, EachFailureIsOneLineAndAnExitCode) {
    const FailureCase cases[] = {
        {"missing image", {"preview", "/nonexistent/frame.png"}, 1, "cannot read image /nonexistent/frame.png"},
        {"unreadable image", {"preview", std::string(QXV_SOURCE_DIR) + "/README.md"}, 1, "cannot read image"},
        {"no display", {"preview", kSample}, 1, "no display (DISPLAY is not set)"},
        {"no display, blank layer", {"preview", "--size", "64x32"}, 1, "no display"},
        {"no input", {"preview"}, 2, "give one INPUT image or --size"},
        {"unknown parameter", {"preview", "--set", "Radius=3", kSample}, 1, "Radius"},
        {"bad drag downsample", {"preview", "--drag-downsample", "0", kSample}, 2, "--drag-downsample must be"},
        {"bad thread count", {"preview", "--threads", "many", kSample}, 2, "--threads must be"},
        {"layer offset in the layer window", {"preview", "--layer-offset", "5,5", kSample}, 2, "--window comp"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.what);
        const CliResult result = RunWithoutDisplay(c.args);
        EXPECT_EQ(result.exit_code, c.exit_code);
        EXPECT_EQ(result.err.rfind("qxv preview: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(LineCount(result.err), 1) << result.err;
        EXPECT_TRUE(result.out.empty()) << result.out;
    }
}

TEST(PreviewCliTest, HelpNamesTheMouseAndEveryKey) {
    const CliResult result = RunCli({"preview", "--help"});
    ASSERT_EQ(result.exit_code, 0);
    // The parameters' keys come from the registrations (tests/cli/ParamKeysTest.cpp): the
    // help gives the rule, the window the list.
    for (const char* text : {"PF_Event_DO_CLICK", "PF_Event_DRAG", "wheel", "C composition/layer window",
                             "H After Effects/Premiere Pro", "Every popup and checkbox", "first letter",
                             "shift steps a popup back", "S save", "--set", "--measure"}) {
        EXPECT_NE(result.out.find(text), std::string::npos) << text;
    }
}

TEST(PreviewCliTest, TheCommandListOffersIt) {
    const CliResult result = RunCli({"--help"});
    EXPECT_NE(result.out.find("  preview "), std::string::npos) << result.out;
}

}  // namespace
}  // namespace qxv::preview_tests
