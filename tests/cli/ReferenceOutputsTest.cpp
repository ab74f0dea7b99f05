// What users and scripts read from qxv, pinned: the JSON of `info` (the whole registration:
// names, ids, types, ranges, choices, flags, defaults, the PiPL), `handles`, `drag` and
// `params-ui` on fixed inputs, compared with the stored files under tests/cli/reference/.
// A change that means to change them runs scripts/update-reference-outputs.sh, which rewrites
// the files, and the commit says why.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "RunCli.h"
#include "../CaseName.h"

namespace qxv::cli_tests {
namespace {

struct ReferenceCase {
    const char* name;  // the stored file is tests/cli/reference/NAME.json
    std::vector<std::string> args;
};

const ReferenceCase kCases[] = {
    {"info-ae", {"info", "--json"}},
    {"info-premiere", {"info", "--host", "premiere", "--json"}},
    {"handles-rectangle", {"handles", "--size", "480x270", "--set", "Vignette Type=Rectangle", "--set", "Angle=30",
                           "--json"}},
    {"drag-corner", {"drag", "--size", "480x270", "--from", "390,235", "--to", "420,250", "--steps", "3", "--json"}},
    {"drag-opacity", {"drag", "--size", "480x270", "--from", "200,160", "--to", "200,100", "--steps", "3", "--json"}},
    {"params-ui-mask-only", {"params-ui", "--mask-only", "on", "--json"}},
};

std::string ReferencePath(const char* name) {
    return std::string(QXV_SOURCE_DIR) + "/tests/cli/reference/" + name + ".json";
}

// Paths depend on where the tree was built, and the extension on the platform (the Windows
// qxv reads the .aex and its PiPL resource): only the file's stem is kept.
std::string Normalised(const std::string& output) {
    auto json = nlohmann::ordered_json::parse(output, nullptr, false);
    if (json.is_discarded()) return output;
    for (const char* key : {"plugin", "pipl_source"}) {
        if (json.contains(key) && json[key].is_string()) {
            const std::string path = json[key];
            const std::string name = path.substr(path.find_last_of("/\\") + 1);
            json[key] = name.substr(0, name.find_last_of('.'));
        }
    }
    return json.dump(2) + "\n";
}

class ReferenceOutputs : public testing::TestWithParam<ReferenceCase> {};

TEST_P(ReferenceOutputs, MatchTheStoredFile) {
    const ReferenceCase& c = GetParam();
    const CliResult result = RunCli(c.args);
    ASSERT_EQ(result.exit_code, 0) << result.err;
    const std::string output = Normalised(result.out);
    if (std::getenv("QXV_WRITE_REFERENCE_OUTPUTS")) {
        std::ofstream(ReferencePath(c.name), std::ios::binary) << output;
        return;
    }
    std::ifstream file(ReferencePath(c.name), std::ios::binary);
    ASSERT_TRUE(file) << ReferencePath(c.name) << " is missing: run scripts/update-reference-outputs.sh";
    std::ostringstream stored;
    stored << file.rdbuf();
    EXPECT_EQ(output, stored.str()) << "qxv's output moved from " << ReferencePath(c.name)
                                    << "; if the change means it, run scripts/update-reference-outputs.sh and say why "
                                       "in the commit";
}

INSTANTIATE_TEST_SUITE_P(Qxv, ReferenceOutputs, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ReferenceCase>& info) { return test::CaseName(info.param.name); });

}  // namespace
}  // namespace qxv::cli_tests
