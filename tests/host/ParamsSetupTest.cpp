// PARAMS_SETUP: the thirteen parameters exactly as the host receives them (saved projects
// depend on ids and types), the overlay registration, and add_param / register_ui failures.
#include <cmath>

#include "LoadedPlugin.h"

namespace qxv::host_tests {
namespace {

using hostsim::HostApp;
using hostsim::RegisteredParam;

struct ExpectedParam {
    const char* name;
    PF_ParamType type;
    A_long id;
    PF_ParamFlags flags;
};

const ExpectedParam kExpectedParams[] = {
    {"Vignette Type", PF_Param_POPUP, 14, 2},   {"Point of origin", PF_Param_POINT, 1, 0},
    {"Width", PF_Param_FLOAT_SLIDER, 2, 0},     {"Height", PF_Param_FLOAT_SLIDER, 3, 0},
    {"Angle", PF_Param_ANGLE, 13, 0},           {"Feather", PF_Param_FLOAT_SLIDER, 4, 0},
    {"Fill with", PF_Param_POPUP, 15, 2},       {"Color", PF_Param_COLOR, 12, 0},
    {"Opacity", PF_Param_FIX_SLIDER, 5, 0},     {"Blending mode", PF_Param_POPUP, 7, 2},
    {"Invert", PF_Param_CHECKBOX, 8, 2},        {"Mask Only", PF_Param_CHECKBOX, 9, 66},
    {"Alpha falloff", PF_Param_POPUP, 16, 2},
};

class ParamsSetup : public testing::TestWithParam<HostApp> {
protected:
    void SetUp() override {
        host_ = MakeHost(GetParam());
        ASSERT_EQ(host_->ParamsSetup(), PF_Err_NONE);
        ASSERT_EQ(host_->params().count(), 13);
    }
    const RegisteredParam& Param(int index) { return host_->params().Param(index); }

    std::unique_ptr<hostsim::Host> host_;
};

TEST_P(ParamsSetup, RegistersThirteenParametersInOrderWithIdsTypesAndFlags) {
    for (int i = 1; i <= 13; ++i) {
        const ExpectedParam& expected = kExpectedParams[i - 1];
        SCOPED_TRACE(expected.name);
        const RegisteredParam& param = Param(i);
        EXPECT_EQ(param.registered_name, expected.name);
        EXPECT_EQ(param.def.param_type, expected.type);
        EXPECT_EQ(param.def.uu.id, expected.id);
        EXPECT_EQ(param.def.flags, expected.flags);
        EXPECT_EQ(param.def.ui_flags, 0);
    }
    EXPECT_EQ(host_->out_data().num_params, 14);
    EXPECT_TRUE(host_->CommandViolations().empty());
    EXPECT_EQ(host_->accounting().AcquiredThisCommand(), 0);
}

TEST_P(ParamsSetup, FloatSlidersShareOneRange) {
    const std::pair<int, double> kSliders[] = {{3, 300}, {4, 200}, {6, 100}};
    for (auto [index, dephault] : kSliders) {
        SCOPED_TRACE(Param(index).registered_name);
        const PF_FloatSliderDef& fs = Param(index).def.u.fs_d;
        EXPECT_EQ(fs.value, dephault);
        EXPECT_EQ(fs.dephault, static_cast<float>(dephault));
        EXPECT_EQ(fs.valid_min, 0.0f);
        EXPECT_EQ(fs.valid_max, 15000.0f);
        EXPECT_EQ(fs.slider_min, 0.0f);
        EXPECT_EQ(fs.slider_max, 15000.0f);
        EXPECT_EQ(fs.precision, 1);
        EXPECT_EQ(fs.display_flags, 0);
        EXPECT_EQ(fs.curve_tolerance, 0.05f);
        EXPECT_EQ(fs.phase, 0.0);
        EXPECT_EQ(fs.fs_flags, 0u);
    }
}

TEST_P(ParamsSetup, FixedPointAndColourDefaults) {
    const PF_PointDef& origin = Param(2).def.u.td;
    EXPECT_EQ(origin.x_value, 0x320000);
    EXPECT_EQ(origin.y_value, 0x320000);
    EXPECT_EQ(origin.x_dephault, 0x320000);
    EXPECT_EQ(origin.y_dephault, 0x320000);
    EXPECT_EQ(origin.restrict_bounds, 0);

    EXPECT_EQ(Param(5).def.u.ad.value, 0);
    EXPECT_EQ(Param(5).def.u.ad.dephault, 0);

    const PF_ColorDef& color = Param(8).def.u.cd;
    for (const PF_Pixel& pixel : {color.value, color.dephault}) {
        EXPECT_EQ(pixel.alpha, 255);
        EXPECT_EQ(pixel.red, 0);
        EXPECT_EQ(pixel.green, 0);
        EXPECT_EQ(pixel.blue, 0);
    }

    const PF_FixedSliderDef& opacity = Param(9).def.u.fd;
    EXPECT_EQ(opacity.value, 0x190000);
    EXPECT_EQ(opacity.dephault, 0x190000);
    EXPECT_EQ(opacity.valid_min, 0);
    EXPECT_EQ(opacity.valid_max, 0x640000);
    EXPECT_EQ(opacity.slider_min, 0);
    EXPECT_EQ(opacity.slider_max, 0x640000);
    EXPECT_EQ(opacity.precision, 1);
    EXPECT_EQ(opacity.display_flags, PF_ValueDisplayFlag_PERCENT);
    EXPECT_EQ(opacity.value_str[0], '\0');
    EXPECT_EQ(opacity.value_desc[0], '\0');
}

TEST_P(ParamsSetup, PopupsOfferTheirChoicesWithDefaults) {
    struct Popup {
        int index;
        std::vector<std::string> choices;
        int dephault;
    };
    const Popup kPopups[] = {
        {1, {"Ellipse", "Rectangle"}, 1},
        {7, {"Color", "Transparent"}, 1},
        {10,
         {"Normal", "Add", "Multiply", "Screen", "Overlay", "Soft light", "Hard light", "Darken", "Lighten",
          "Difference", "Hue", "Saturation", "Color", "Luminosity", "Color dodge", "Linear dodge", "Color burn",
          "Linear burn", "Linear light", "Vivid light", "Pin light", "Lighter color", "Darker color"},
         3},
        {13, {"Linear", "Quadratic", "Cubic", "Gamma 2.2", "Gaussian", "Exponential"}, 1},
    };
    for (const Popup& popup : kPopups) {
        const RegisteredParam& param = Param(popup.index);
        SCOPED_TRACE(param.registered_name);
        EXPECT_EQ(param.choices, popup.choices);
        EXPECT_EQ(param.def.u.pd.num_choices, static_cast<A_short>(popup.choices.size()));
        EXPECT_EQ(param.def.u.pd.value, popup.dephault);
        EXPECT_EQ(param.def.u.pd.dephault, popup.dephault);
    }
    // The texts as given: the trailing '|' and the two names beyond the offered 23 stay unseen.
    EXPECT_EQ(Param(1).choice_text, "Ellipse|Rectangle|");
    const std::string kBlendTail = "Darker color|Subtract|Divide";
    const std::string& blend_text = Param(10).choice_text;
    ASSERT_GE(blend_text.size(), kBlendTail.size());
    EXPECT_EQ(blend_text.substr(blend_text.size() - kBlendTail.size()), kBlendTail);
}

TEST_P(ParamsSetup, CheckboxesStartOffWithTheirText) {
    EXPECT_EQ(Param(11).checkbox_text, "Invert mask");
    EXPECT_EQ(Param(12).checkbox_text, "Shows only mask, no source");
    for (int index : {11, 12}) {
        EXPECT_EQ(Param(index).def.u.bd.value, 0);
        EXPECT_EQ(Param(index).def.u.bd.dephault, 0);
    }
}

TEST_P(ParamsSetup, RegistersTheOverlayForCompositionAndLayerWindows) {
    ASSERT_EQ(host_->registered_ui().size(), 1u);
    const PF_CustomUIInfo& ui = host_->registered_ui()[0];
    EXPECT_EQ(ui.events, PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER);
    EXPECT_EQ(ui.comp_ui_width, 0);
    EXPECT_EQ(ui.layer_ui_height, 0);
    EXPECT_EQ(ui.preview_ui_alignment, 0);
    // register_ui comes after the last parameter.
    auto calls = host_->trace().Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().name, "register_ui");
}

INSTANTIATE_TEST_SUITE_P(BothHosts, ParamsSetup, kBothHosts, HostLabel);

// add_param refused on its Nth call: that code comes back at once, nothing later is added,
// the overlay is not registered and num_params is not set.
class ParamsSetupAddParamFailure : public testing::TestWithParam<int> {};

TEST_P(ParamsSetupAddParamFailure, ReturnsTheCodeAndStops) {
    const int failing_call = GetParam();
    const PF_Err kCode = PF_Err_OUT_OF_MEMORY + failing_call;  // distinct per case
    auto host = MakeHost(HostApp::kAfterEffects);
    host->failures().FailCall("add_param", failing_call, kCode);

    EXPECT_EQ(host->ParamsSetup(), kCode);

    EXPECT_EQ(host->params().count(), failing_call - 1);
    EXPECT_EQ(host->trace().Calls("add_param").size(), static_cast<std::size_t>(failing_call));
    EXPECT_TRUE(host->trace().Calls("register_ui").empty());
    EXPECT_EQ(host->out_data().num_params, 0);
    EXPECT_TRUE(host->CommandViolations().empty());
}

INSTANTIATE_TEST_SUITE_P(FirstMiddleLast, ParamsSetupAddParamFailure, testing::Values(1, 2, 7, 12, 13));

TEST(ParamsSetupRegisterUIFailure, ReturnsItsCodeWithAllParametersCounted) {
    auto host = MakeHost(HostApp::kPremierePro);
    host->failures().FailCall("register_ui", 1, PF_Err_INVALID_CALLBACK);

    EXPECT_EQ(host->ParamsSetup(), PF_Err_INVALID_CALLBACK);
    EXPECT_EQ(host->params().count(), 13);
    EXPECT_EQ(host->out_data().num_params, 14);
}

}  // namespace
}  // namespace qxv::host_tests
