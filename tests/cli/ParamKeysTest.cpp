// qxv preview's parameter keys come from the registrations alone: the plug-in's own, and
// those another plug-in might make, with names that compete for a letter.
#include <gtest/gtest.h>

#include <cstdio>

#include "../LoadedPlugin.h"
#include "cli/preview/PreviewWindow.h"

namespace qxv::cli_tests {
namespace {

std::string KeysOf(const std::vector<cli::ParamKey>& keys) {
    std::string text;
    for (const cli::ParamKey& key : keys) text += std::string(1, key.key) + std::to_string(key.index) + " ";
    return text;
}

TEST(ParamKeys, TheEffectsPopupsAndCheckboxesTakeTheirFirstLetters) {
    auto host = host_tests::MakeReadyHost(hostsim::HostApp::kAfterEffects);
    const std::vector<cli::ParamKey> keys = cli::AssignParamKeys(host->params(), "chpqs");
    EXPECT_EQ(KeysOf(keys), "v1 f7 b10 i11 m12 a13 ");
    EXPECT_EQ(cli::ParamKeysText(keys, host->params()),
              "V Vignette Type, F Fill with, B Blending mode, I Invert, M Mask Only, A Alpha falloff");

    // The list shows the names as the effect controls show them now.
    host->params().ApplyUIUpdate(10, [] {
        PF_ParamDef def{};
        std::snprintf(def.name, sizeof def.name, "Blending mode (disabled)");
        return def;
    }());
    EXPECT_NE(cli::ParamKeysText(keys, host->params()).find("B Blending mode (disabled), "), std::string::npos);
}

struct KeysCase {
    const char* what;
    std::vector<std::pair<const char*, PF_ParamType>> params;  // registered in this order
    const char* taken;
    const char* keys;
};

void PrintTo(const KeysCase& c, std::ostream* out) { *out << c.what; }

class AssignedKeys : public testing::TestWithParam<KeysCase> {};

TEST_P(AssignedKeys, FirstFreeLetterOfTheRegisteredName) {
    const KeysCase& c = GetParam();
    hostsim::ParamStore store;
    for (const auto& [name, type] : c.params) {
        PF_ParamDef def{};
        std::snprintf(def.name, sizeof def.name, "%s", name);
        def.param_type = type;
        if (type == PF_Param_POPUP) {
            def.u.pd.num_choices = 1;
            def.u.pd.u.namesptr = "Only";
        }
        std::string problem;
        ASSERT_EQ(store.Add(-1, def, problem), PF_Err_NONE) << problem;
    }
    EXPECT_EQ(KeysOf(cli::AssignParamKeys(store, c.taken)), c.keys);
}

constexpr PF_ParamType kPopup = PF_Param_POPUP;
constexpr PF_ParamType kCheckbox = PF_Param_CHECKBOX;
constexpr PF_ParamType kSlider = PF_Param_FLOAT_SLIDER;

const KeysCase kKeysCases[] = {
    {"a clash takes the next letter", {{"Blend", kPopup}, {"Bias", kCheckbox}}, "", "b1 i2 "},
    {"a window key is skipped", {{"Shape", kPopup}, {"Quality", kCheckbox}}, "chpqs", "a1 u2 "},
    {"sliders get no key", {{"Radius", kSlider}, {"Round", kCheckbox}}, "", "r2 "},
    {"only letters, in either case", {{"3D Mode", kPopup}, {"  x", kCheckbox}}, "", "d1 x2 "},
    {"a later letter when the first ones are taken",
     {{"Ab", kPopup}, {"Ba", kCheckbox}, {"Bob", kCheckbox}},
     "",
     "a1 b2 o3 "},
    {"every letter taken: no key", {{"Ab", kPopup}, {"Ba", kCheckbox}, {"Ab", kCheckbox}}, "", "a1 b2 "},
};

INSTANTIATE_TEST_SUITE_P(Cases, AssignedKeys, testing::ValuesIn(kKeysCases));

}  // namespace
}  // namespace qxv::cli_tests
