// frei0r values onto the controls the loaded plug-in registered: units, limits, refusals, and
// get answering what set gave.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

#include "../LoadedPlugin.h"
#include "Frei0rApi.h"
#include "Frei0rValues.h"
#include "ParamBindings.h"

namespace qxv::frei0r_tests {
namespace {

using frei0r::FrameSize;
using frei0r::Frei0rName;
using frei0r::kParamBindings;
using frei0r::ParamBinding;

constexpr FrameSize kFrame{960, 540};
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const ParamBinding& Binding(const std::string& frei0r_name) {
    for (const ParamBinding& binding : kParamBindings) {
        if (frei0r_name == Frei0rName(binding)) return binding;
    }
    throw std::runtime_error("no frei0r parameter " + frei0r_name);
}

class Frei0rValuesTest : public testing::Test {
protected:
    void SetUp() override {
        host_ = host_tests::MakeReadyHost(hostsim::HostApp::kPremierePro);
    }
    hostsim::RegisteredParam& Control(const ParamBinding& binding) {
        return host_->params().Param(host_->params().IndexOf(binding.control_name));
    }
    std::unique_ptr<hostsim::Host> host_;
};

// The number the plug-in reads from the control, in its own field and units.
double ControlNumber(const ParamBinding& binding, const hostsim::RegisteredParam& control) {
    const PF_ParamDefUnion& u = control.def.u;
    switch (binding.unit) {
        case frei0r::Frei0rUnit::kPointX: return u.td.x_value;
        case frei0r::Frei0rUnit::kPointY: return u.td.y_value;
        case frei0r::Frei0rUnit::kWidthFraction:
        case frei0r::Frei0rUnit::kHeightFraction: return u.fs_d.value;
        case frei0r::Frei0rUnit::kTurns: return u.ad.value;
        case frei0r::Frei0rUnit::kRangeFraction: return u.fd.value;
        case frei0r::Frei0rUnit::kSwitch: return u.bd.value;
        default: return u.pd.value;
    }
}

struct NumberCase {
    const char* name;
    double given;
    double control;   // what the plug-in reads (16.16 fields as their integer)
    double answered;  // what get answers afterwards
};

TEST_F(Frei0rValuesTest, NumbersBecomeControlUnitsAndOutOfRangeIsLimited) {
    const NumberCase cases[] = {
        {"Point of origin X", 0.25, 240 * 65536.0, 0.25},
        {"Point of origin Y", 2.0, 1080 * 65536.0, 2.0},  // a point may lie off the frame
        {"Point of origin X", -0.5, -480 * 65536.0, -0.5},
        {"Width", 0.5, 480, 0.5},
        {"Width", 100, 15000, 15000 / 960.0},  // the control's valid maximum
        {"Width", -1, 0, 0},
        {"Height", 0.5, 270, 0.5},
        {"Feather", 0.125, 120, 0.125},
        {"Angle", 0.125, 45 * 65536.0, 0.125},
        {"Angle", -0.5, -180 * 65536.0, -0.5},
        {"Angle", 3.0, 1080 * 65536.0, 3.0},
        {"Angle", -0.0833333, -30 * 65536.0, -30 / 360.0},  // -30 degrees as Kdenlive saves it
        {"Opacity", 0.5, 50 * 65536.0, 0.5},
        {"Opacity", 2, 100 * 65536.0, 1},
        {"Opacity", -1, 0, 0},
        {"Invert", 0.7, 1, 1},
        {"Mask Only", 0.3, 0, 0},
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " = " + std::to_string(c.given));
        const ParamBinding& binding = Binding(c.name);
        std::string problem;
        EXPECT_TRUE(frei0r::SetFromFrei0r(binding, Control(binding), kFrame, &c.given, problem)) << problem;
        EXPECT_EQ(ControlNumber(binding, Control(binding)), c.control);
        double answered = -99;
        std::string text;
        frei0r::GetAsFrei0r(binding, Control(binding), kFrame, &answered, text);
        EXPECT_DOUBLE_EQ(answered, c.answered);
    }
}

// Kdenlive and Shotcut save turns with six significant digits: such a number lands on the
// angle typed; any other number is turns x 360, to the last bit.
TEST(Frei0rAngleTest, EditorSavedTurnsLandOnTheTypedAngle) {
    const std::pair<double, double> cases[] = {
        {-0.0833333, -30}, {0.0416667, 15}, {0.25, 90}, {0.00138889, 0.5}, {-0.00138889, -0.5},
        {0.0003, 0.108}, {2.77917, 1000.5}, {1.00001, 360.004}, {0.0, 0.0},
        // exact values, and numbers no editor saves for a short angle, are left as they are
        {0.125, 45}, {30 / 360.0, 30 / 360.0 * 360}, {-0.0833334, -0.0833334 * 360},
        {0.08333333, 0.08333333 * 360}, {1e-7, 1e-7 * 360}, {123456.789, 123456.789 * 360},
    };
    for (const auto& [turns, degrees] : cases) {
        SCOPED_TRACE(std::to_string(turns));
        EXPECT_EQ(frei0r::DegreesOfTurns(turns), degrees);
    }
}

TEST_F(Frei0rValuesTest, NonFiniteNumbersAreRefusedAndTheValueKept) {
    for (const char* name : {"Point of origin X", "Width", "Height", "Angle", "Feather", "Opacity", "Invert"}) {
        for (double bad : {kNaN, kInf, -kInf}) {
            SCOPED_TRACE(std::string(name) + " = " + std::to_string(bad));
            const ParamBinding& binding = Binding(name);
            const PF_ParamDefUnion before = Control(binding).def.u;
            std::string problem;
            EXPECT_FALSE(frei0r::SetFromFrei0r(binding, Control(binding), kFrame, &bad, problem));
            EXPECT_EQ(std::memcmp(&before, &Control(binding).def.u, sizeof before), 0);
            EXPECT_NE(problem.find(std::string("\"") + name + "\""), std::string::npos) << problem;
            EXPECT_NE(problem.find("keeping"), std::string::npos) << problem;
        }
    }
}

TEST_F(Frei0rValuesTest, ColoursBecomeRoundedBytesWithinRange) {
    struct {
        f0r_param_color given;
        PF_Pixel expected;
    } cases[] = {
        {{0.2f, 0.4f, 1.0f}, {255, 51, 102, 255}},
        {{2.0f, -1.0f, 0.5f}, {255, 255, 0, 128}},
        {{0.0f, 0.0f, 0.0f}, {255, 0, 0, 0}},
    };
    const ParamBinding& binding = Binding("Color");
    for (const auto& c : cases) {
        std::string problem;
        EXPECT_TRUE(frei0r::SetFromFrei0r(binding, Control(binding), kFrame, &c.given, problem));
        const PF_Pixel& got = Control(binding).def.u.cd.value;
        EXPECT_EQ(got.alpha, c.expected.alpha);
        EXPECT_EQ(got.red, c.expected.red);
        EXPECT_EQ(got.green, c.expected.green);
        EXPECT_EQ(got.blue, c.expected.blue);
    }
    const f0r_param_color bad{std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f};
    std::string problem;
    EXPECT_FALSE(frei0r::SetFromFrei0r(binding, Control(binding), kFrame, &bad, problem));
    EXPECT_EQ(Control(binding).def.u.cd.value.red, 0);
}

TEST_F(Frei0rValuesTest, ChoicesTakeLabelsOrNumbersAndAnswerTheLabel) {
    struct {
        const char* name;
        const char* given;
        bool taken;
        const char* answered;
    } cases[] = {
        {"Vignette Type", "rectangle", true, "Rectangle"},
        {"Vignette Type", "1", true, "Ellipse"},
        {"Vignette Type", "Hexagon", false, "Ellipse"},
        {"Vignette Type", "3", false, "Ellipse"},
        {"Fill with", "Transparent", true, "Transparent"},
        {"Blending mode", "soft light", true, "Soft light"},
        {"Blending mode", "Subtract", false, "Soft light"},  // named in the text, never offered
        {"Alpha falloff", "6", true, "Exponential"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " = " + c.given);
        const ParamBinding& binding = Binding(c.name);
        const char* text = c.given;
        std::string problem;
        EXPECT_EQ(frei0r::SetFromFrei0r(binding, Control(binding), kFrame, &text, problem), c.taken) << problem;
        const char* answered = nullptr;
        std::string holder;
        frei0r::GetAsFrei0r(binding, Control(binding), kFrame, &answered, holder);
        EXPECT_STREQ(answered, c.answered);
    }
    const char* none = nullptr;
    std::string problem;
    EXPECT_FALSE(frei0r::SetFromFrei0r(Binding("Fill with"), Control(Binding("Fill with")), kFrame, &none, problem));
}

TEST(Frei0rBindingsTest, EveryFrei0rParameterNamesARegisteredControlOfItsType) {
    auto host = host_tests::MakeReadyHost(hostsim::HostApp::kPremierePro);
    for (const ParamBinding& binding : kParamBindings) {
        SCOPED_TRACE(Frei0rName(binding));
        const int index = host->params().IndexOf(binding.control_name);
        ASSERT_NE(index, 0);
        EXPECT_EQ(host->params().Param(index).def.param_type, frei0r::RegisteredType(binding.unit));
    }
}

}  // namespace
}  // namespace qxv::frei0r_tests
