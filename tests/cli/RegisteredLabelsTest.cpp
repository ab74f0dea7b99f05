// Every parameter label qxv prints comes from what the plug-in registered or reported: the
// names and choices it added, the values it marked changed, its display units.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RunCli.h"

namespace qxv::cli_tests {
namespace {

struct LabelsCase {
    const char* what;
    std::vector<std::string> args;
    std::vector<std::string> shown;
    std::vector<std::string> not_shown;
};

void PrintTo(const LabelsCase& c, std::ostream* out) { *out << c.what; }

class RegisteredLabels : public testing::TestWithParam<LabelsCase> {};

TEST_P(RegisteredLabels, AreWhatThePluginRegisteredOrReported) {
    const LabelsCase& c = GetParam();
    const CliResult result = RunCli(c.args);
    ASSERT_EQ(result.exit_code, 0) << result.err;
    for (const std::string& text : c.shown) {
        EXPECT_NE(result.out.find(text), std::string::npos) << text << "\n" << result.out;
    }
    for (const std::string& text : c.not_shown) {
        EXPECT_EQ(result.out.find(text), std::string::npos) << text << "\n" << result.out;
    }
}

const LabelsCase kLabelsCases[] = {
    {"an opacity drag shows what the plug-in changed, in percent as registered",
     {"drag", "--size", "480x270", "--from", "200,160", "--to", "200,100", "--steps", "3"},
     {"click at 200,160: Opacity 25.0%\n", "drag 3 to 200,100 (release): Opacity 85.0%\n"},
     {"Width", "Angle"}},
    {"a corner drag changes two bare numbers",
     {"drag", "--size", "480x270", "--from", "390,235", "--to", "340,185", "--steps", "1"},
     {"drag 1 to 340,185 (release): Width 200.0, Height 100.0\n"},
     {"Opacity", "px"}},
    {"a click beside every handle changes nothing",
     {"drag", "--size", "480x270", "--from", "5,5", "--to", "50,50"},
     {"click at 5,5: no parameter changed\n"},
     {}},
    {"each handle is named by what its drag changes",
     {"handles", "--size", "480x270"},
     {" 1  Width, Height ", " 5  Angle ", " 9  Feather ", "10  Opacity "},
     {"corner", "opacity"}},
    {"the update names the supervised checkbox",
     {"params-ui", "--mask-only", "on"},
     {"with Mask Only on:", "10. Blending mode (disabled)  [disabled]", "9. Opacity (100%)  [disabled]"},
     {}},
    {"bench cases are named by the registered choices",
     {"bench", "--size", "8x8", "--frames", "1", "--threads", "1", "--format", "argb8"},
     {"host copy (opacity 0)", "ellipse band, Linear", "rectangle band, Gaussian", "ellipse band, Gamma 2.2",
      "default, Hue mode"},
     {}},
    {"info shows each slider's unit and precision",
     {"info"},
     {"default 300.0; valid 0..15000, slider 0..15000, precision 1\n",
      "default 25.0%; valid 0..100, slider 0..100, precision 1, percent\n"},
     {"pixels"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, RegisteredLabels, testing::ValuesIn(kLabelsCases));

}  // namespace
}  // namespace qxv::cli_tests
