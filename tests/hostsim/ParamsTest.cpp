// Parameter values from text, against the definitions the plug-in registered: the units of
// the effect controls, the rounding to 16.16, and one clear message for anything refused.
#include <cstdio>

#include "../LoadedPlugin.h"
#include "hostsim/Params.h"
#include "hostsim/instruments/Json.h"

namespace qxv::host_tests {
namespace {

struct SetCase {
    const char* name;
    const char* text;
    const char* raw;  // the value afterwards in the JSON form, or null when refused
    const char* error_part = "";
};

void PrintTo(const SetCase& c, std::ostream* out) { *out << c.name << "=" << c.text; }

class ParamSet : public testing::TestWithParam<SetCase> {};

TEST_P(ParamSet, ParsesByRegisteredType) {
    const SetCase& c = GetParam();
    auto host = MakeReadyHost(hostsim::HostApp::kAfterEffects);
    int index = host->params().IndexOf(c.name);
    ASSERT_NE(index, 0) << c.name;
    const std::string before = hostsim::ParamValueJson(host->params().Param(index)).dump();

    std::string error;
    bool ok = host->params().Set(c.name, c.text, error);

    const std::string after = hostsim::ParamValueJson(host->params().Param(index)).dump();
    if (c.raw) {
        EXPECT_TRUE(ok) << error;
        EXPECT_EQ(after, c.raw);
    } else {
        EXPECT_FALSE(ok);
        EXPECT_EQ(after, before) << "a refused value changes nothing";
        EXPECT_NE(error.find(std::string("\"") + c.name + "\""), std::string::npos) << error;
        EXPECT_NE(error.find(c.error_part), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line";
    }
}

const SetCase kSetCases[] = {
    {"Width", "400", "400"},
    {"Width", " 12.5 ", "12.5"},
    {"Width", "15000", "15000"},
    {"Width", "15000.5", nullptr, "is not a number from 0 to 15000"},  // registered without a unit
    {"Width", "-1", nullptr, "is not a number from 0 to 15000"},
    {"Width", "abc", nullptr, "is not a number from"},
    {"Width", "nan", nullptr, "is not a number from"},
    {"Width", "400%", nullptr, "is not a number from"},
    {"Opacity", "50", "3276800"},
    {"Opacity", "50 %", "3276800"},  // registered as percent: shown and read with "%"
    {"Opacity", "33.3", "2182349"},  // 33.3 x 65536 = 2182348.8, rounded
    {"Opacity", "100.5", nullptr, "is not a number from 0 to 100 (percent)"},
    {"Opacity", "%", nullptr, "percent"},
    {"Angle", "-30.5", "-1998848"},
    {"Angle", "720", "47185920"},
    {"Angle", "1e400", nullptr, "degrees"},
    {"Point of origin", "960,540", "[62914560,35389440]"},
    {"Point of origin", "-0.5, 10.25", "[-32768,671744]"},
    {"Point of origin", "960", nullptr, "x,y"},
    {"Color", "#3366ff", "[255,51,102,255]"},
    {"Color", "10,20,30", "[255,10,20,30]"},
    {"Color", "#12345", nullptr, "#rrggbb"},
    {"Color", "256,0,0", nullptr, "r,g,b"},
    {"Blending mode", "soft LIGHT", "6"},
    {"Blending mode", "23", "23"},
    {"Blending mode", "24", nullptr, "from 1 to 23"},
    {"Blending mode", "Subtract", nullptr, "\"Darker color\""},  // in the text, never offered
    {"Vignette Type", "Rectangle", "2"},
    {"Vignette Type", "3", nullptr, "from 1 to 2"},
    {"Vignette Type", "", nullptr, "Ellipse"},
    {"mask only", "on", "1"},
    {"Mask Only", "FALSE", "0"},
    {"Mask Only", "yes", nullptr, "on/off"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ParamSet, testing::ValuesIn(kSetCases));

// The plug-in's sliders print as their registrations say: the decimal places of their
// precision, and "%" where the display flags say percent.
TEST(ParamText, ShowsTheRegisteredPrecisionAndUnit) {
    auto host = MakeReadyHost(hostsim::HostApp::kAfterEffects);
    const hostsim::ParamStore& store = host->params();
    EXPECT_EQ(hostsim::FormatParamValue(store.Param(store.IndexOf("Width"))), "300.0");
    EXPECT_EQ(hostsim::FormatParamValue(store.Param(store.IndexOf("Opacity"))), "25.0%");
    EXPECT_EQ(hostsim::SliderUnit(store.Param(store.IndexOf("Width"))), "");
    EXPECT_EQ(hostsim::SliderUnit(store.Param(store.IndexOf("Opacity"))), "percent");
}

// Sliders as another plug-in may register them, added through the host's add_param store:
// the unit, the range and the decimal places come from each registration.
struct SliderCase {
    const char* what;
    PF_ParamType type;
    PF_ValueDisplayFlags display_flags;
    A_short precision;
    const char* text;
    const char* shown;       // the value afterwards as the effect controls show it, or null when refused
    const char* error_part;  // when refused
};

void PrintTo(const SliderCase& c, std::ostream* out) { *out << c.what << " " << c.text; }

class RegisteredSlider : public testing::TestWithParam<SliderCase> {};

// A slider of the given type registered with valid and slider range -50..50 and the
// default 10.
hostsim::RegisteredParam RegisterSlider(const SliderCase& c) {
    PF_ParamDef def{};
    std::snprintf(def.name, sizeof def.name, "Amount");
    def.param_type = c.type;
    if (c.type == PF_Param_FLOAT_SLIDER) {
        def.u.fs_d.value = def.u.fs_d.dephault = 10;
        def.u.fs_d.valid_min = def.u.fs_d.slider_min = -50;
        def.u.fs_d.valid_max = def.u.fs_d.slider_max = 50;
        def.u.fs_d.precision = c.precision;
        def.u.fs_d.display_flags = c.display_flags;
    } else {
        def.u.fd.value = def.u.fd.dephault = 10 * 65536;
        def.u.fd.valid_min = def.u.fd.slider_min = -50 * 65536;
        def.u.fd.valid_max = def.u.fd.slider_max = 50 * 65536;
        def.u.fd.precision = c.precision;
        def.u.fd.display_flags = c.display_flags;
    }
    hostsim::ParamStore store;
    std::string problem;
    EXPECT_EQ(store.Add(-1, def, problem), PF_Err_NONE) << problem;
    return store.Param(1);
}

TEST_P(RegisteredSlider, ParsesAndPrintsInItsRegisteredUnit) {
    const SliderCase& c = GetParam();
    hostsim::RegisteredParam param = RegisterSlider(c);
    const std::string before = hostsim::FormatParamValue(param);
    std::string error;
    const bool ok = hostsim::ParseParamValue(param, c.text, param.def.u, error);
    if (c.shown) {
        EXPECT_TRUE(ok) << error;
        EXPECT_EQ(hostsim::FormatParamValue(param), c.shown);
    } else {
        EXPECT_FALSE(ok);
        EXPECT_EQ(hostsim::FormatParamValue(param), before) << "a refused value changes nothing";
        EXPECT_EQ(error.rfind("\"Amount\": \"" + std::string(c.text) + "\" is not ", 0), 0u) << error;
        EXPECT_NE(error.find(c.error_part), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line";
    }
}

constexpr PF_ValueDisplayFlags kPercent = PF_ValueDisplayFlag_PERCENT;
constexpr PF_ValueDisplayFlags kPixel = PF_ValueDisplayFlag_PIXEL;
constexpr PF_ValueDisplayFlags kNone = PF_ValueDisplayFlag_NONE;

const SliderCase kSliderCases[] = {
    {"float percent", PF_Param_FLOAT_SLIDER, kPercent, 1, "12.5", "12.5%", ""},
    {"float percent", PF_Param_FLOAT_SLIDER, kPercent, 1, "-12.5%", "-12.5%", ""},
    {"float percent", PF_Param_FLOAT_SLIDER, kPercent, 2, "33.333", "33.33%", ""},
    {"float percent", PF_Param_FLOAT_SLIDER, kPercent, 1, "51", nullptr, "a number from -50 to 50 (percent)"},
    {"float percent", PF_Param_FLOAT_SLIDER, kPercent, 1, "12 px", nullptr, "(percent)"},
    {"float pixels", PF_Param_FLOAT_SLIDER, kPixel, 0, "40", "40 px", ""},
    {"float pixels", PF_Param_FLOAT_SLIDER, kPixel, 0, "40.4 PX", "40 px", ""},
    {"float pixels", PF_Param_FLOAT_SLIDER, kPixel, 3, "-0.25", "-0.250 px", ""},
    {"float pixels", PF_Param_FLOAT_SLIDER, kPixel, 0, "abc", nullptr, "a number of pixels from -50 to 50"},
    {"float pixels", PF_Param_FLOAT_SLIDER, kPixel, 0, "5%", nullptr, "a number of pixels"},
    {"float pixels, reversed", PF_Param_FLOAT_SLIDER, kPixel | PF_ValueDisplayFlag_REVERSE, 1, "7", "7.0 px", ""},
    {"float bare", PF_Param_FLOAT_SLIDER, kNone, 0, "7.5", "8", ""},  // the decimals shown, not the value, round
    {"float bare", PF_Param_FLOAT_SLIDER, kNone, 1, "-50.5", nullptr, "a number from -50 to 50"},
    {"float, nonsensical precision", PF_Param_FLOAT_SLIDER, kNone, 32767, "1", "1.000000000", ""},
    {"float, negative precision", PF_Param_FLOAT_SLIDER, kNone, -3, "1.5", "2", ""},
    {"fixed percent", PF_Param_FIX_SLIDER, kPercent, 1, "50%", "50.0%", ""},
    {"fixed percent", PF_Param_FIX_SLIDER, kPercent, 1, "50.1 %", nullptr, "a number from -50 to 50 (percent)"},
    {"fixed pixels", PF_Param_FIX_SLIDER, kPixel, 2, "1.5px", "1.50 px", ""},
    {"fixed pixels", PF_Param_FIX_SLIDER, kPixel, 2, "x", nullptr, "a number of pixels from -50 to 50"},
    {"fixed bare", PF_Param_FIX_SLIDER, kNone, 0, "-50", "-50", ""},
    {"fixed bare", PF_Param_FIX_SLIDER, kNone, 0, "3%", nullptr, "a number from -50 to 50"},
};

INSTANTIATE_TEST_SUITE_P(Cases, RegisteredSlider, testing::ValuesIn(kSliderCases));

TEST(ParamSetByName, UnknownNameListsTheParameters) {
    auto host = MakeReadyHost(hostsim::HostApp::kPremierePro);
    std::string error;
    EXPECT_FALSE(host->params().Set("Radius", "3", error));
    EXPECT_NE(error.find("\"Radius\""), std::string::npos) << error;
    EXPECT_NE(error.find("\"Alpha falloff\""), std::string::npos) << error;
}

// A point's default is percent of the layer: the host places it on the layer, rounding to
// the nearest 16.16 step, and leaves a point the user has set where it was put.
TEST(PointDefaults, PlacedOnTheLayerUnlessSet) {
    struct Case {
        const char* set;
        A_long width, height;
        PF_Fixed x, y;
    };
    const Case cases[] = {{nullptr, 640, 360, 320 * 65536, 180 * 65536},
                          {nullptr, 101, 7, 3309568, 229376},  // 50.5 and 3.5 pixels
                          {"12.5,40", 640, 360, 819200, 40 * 65536}};
    for (const Case& c : cases) {
        auto host = MakeReadyHost(hostsim::HostApp::kAfterEffects);
        hostsim::ParamStore& store = host->params();
        std::string error;
        if (c.set) {
            ASSERT_TRUE(store.Set("Point of origin", c.set, error)) << error;
        }
        hostsim::PlacePointDefaults(store, c.width, c.height);
        hostsim::PlacePointDefaults(store, c.width * 2, c.height * 2);  // placed once: a second call changes nothing
        const PF_PointDef& point = store.Param(store.IndexOf("Point of origin")).def.u.td;
        EXPECT_EQ(point.x_value, c.x) << c.width;
        EXPECT_EQ(point.y_value, c.y) << c.height;
    }
}

TEST(ParamValuesJson, IsKeyedByRegisteredNamesWithRawDefaults) {
    auto host = MakeReadyHost(hostsim::HostApp::kAfterEffects);
    EXPECT_EQ(hostsim::ParamValuesJson(host->params()).dump(),
              "{\"Vignette Type\":1,\"Point of origin\":[3276800,3276800],\"Width\":300,\"Height\":200,"
              "\"Angle\":0,\"Feather\":100,\"Fill with\":1,\"Color\":[255,0,0,0],\"Opacity\":1638400,"
              "\"Blending mode\":3,\"Invert\":0,\"Mask Only\":0,\"Alpha falloff\":1}");
}

}  // namespace
}  // namespace qxv::host_tests
