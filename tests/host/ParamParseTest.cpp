// Parameter values from text, against the definitions the plug-in registered: the units of
// the effect controls, the rounding to 16.16, and one clear message for anything refused.
#include "LoadedPlugin.h"
#include "hostsim/ParamJson.h"
#include "hostsim/PointDefaults.h"

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
    {"Width", "15000.5", nullptr, "from 0 to 15000"},
    {"Width", "-1", nullptr, "pixels"},
    {"Width", "abc", nullptr, "pixels"},
    {"Width", "nan", nullptr, "pixels"},
    {"Opacity", "50", "3276800"},
    {"Opacity", "33.3", "2182349"},  // 33.3 x 65536 = 2182348.8, rounded
    {"Opacity", "100.5", nullptr, "percent"},
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
