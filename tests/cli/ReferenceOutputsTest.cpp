// What users and scripts read from qxv, pinned: the JSON of `info` (the whole registration:
// names, ids, types, ranges, choices, flags, defaults, the PiPL), `handles`, `drag`,
// `params-ui`, the overlay's recorded strokes and the values `preview` prints on fixed inputs,
// compared with the stored files under tests/cli/reference/.
// A change that means to change them runs scripts/update-reference-outputs.sh, which rewrites
// the files, and the commit says why.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
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
    const char* written = nullptr;  // the file qxv writes the JSON to (in a scratch folder); null: standard output
};

const ReferenceCase kCases[] = {
    {"info-ae", {"info", "--json"}},
    {"info-premiere", {"info", "--host", "premiere", "--json"}},
    {"handles-rectangle", {"handles", "--size", "480x270", "--set", "Vignette Type=Rectangle", "--set", "Angle=30",
                           "--json"}},
    {"drag-corner", {"drag", "--size", "480x270", "--from", "390,235", "--to", "420,250", "--steps", "3", "--json"}},
    {"drag-opacity", {"drag", "--size", "480x270", "--from", "200,160", "--to", "200,100", "--steps", "3", "--json"}},
    {"params-ui-mask-only", {"params-ui", "--mask-only", "on", "--json"}},
    {"overlay-strokes-rectangle",
     {"overlay", "--size", "480x270", "--zoom", "0.5", "--set", "Vignette Type=Rectangle", "overlay.ppm",
      "--strokes-json", "strokes.json"},
     "strokes.json"},
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

// The stored file rewritten (scripts/update-reference-outputs.sh), or compared with output.
void ExpectStored(const char* name, const std::string& output) {
    if (std::getenv("QXV_WRITE_REFERENCE_OUTPUTS")) {
        std::ofstream(ReferencePath(name), std::ios::binary) << output;
        return;
    }
    std::ifstream file(ReferencePath(name), std::ios::binary);
    ASSERT_TRUE(file) << ReferencePath(name) << " is missing: run scripts/update-reference-outputs.sh";
    std::ostringstream stored;
    stored << file.rdbuf();
    EXPECT_EQ(output, stored.str()) << "qxv's output moved from " << ReferencePath(name)
                                    << "; if the change means it, run scripts/update-reference-outputs.sh and say why "
                                       "in the commit";
}

TEST_P(ReferenceOutputs, MatchTheStoredFile) {
    const ReferenceCase& c = GetParam();
    if (!c.written) {
        const CliResult result = RunCli(c.args);
        ASSERT_EQ(result.exit_code, 0) << result.err;
        ExpectStored(c.name, Normalised(result.out));
        return;
    }
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("qxv_reference_" + std::string(c.name) + "_" +
                                                  std::to_string(std::random_device()()));
    std::filesystem::create_directories(folder);
    const CliResult result = RunCli(c.args, folder.string());
    std::ostringstream text;
    {
        // Closed before the folder goes: Windows refuses to remove a file that is open.
        std::ifstream written(folder / c.written, std::ios::binary);
        text << written.rdbuf();
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    ASSERT_EQ(result.exit_code, 0) << result.err;
    ExpectStored(c.name, Normalised(text.str()));
}

#if !defined(_WIN32)
// The values `qxv preview --json` prints when its window closes, for a window that nothing
// touched: SDL's dummy video driver needs no display, and SIGTERM closes the window as the
// window manager's close button would (SDL turns it into a quit event).
TEST(PreviewReferenceOutputs, ValuesPrintedAsTheWindowCloses) {
    const char* script =
        "err=$(mktemp); SDL_VIDEODRIVER=dummy \"$0\" preview \"$@\" 2>\"$err\" & pid=$!; i=0; "
        "until grep -qs showing \"$err\" || ! kill -0 $pid 2>/dev/null || [ $i -ge 600 ]; do sleep 0.1; i=$((i+1)); done; "
        "kill -TERM $pid 2>/dev/null; wait $pid; status=$?; cat \"$err\" >&2; rm -f \"$err\"; exit $status";
    const CliResult result = RunCli({"-c", script, QXV_CLI_PATH, "--json", "--size", "480x270", "--host", "premiere",
                                     "--set", "Angle=30", "--set", "Blending mode=Screen"},
                                    "", "/bin/sh");
    if (result.err.find("without SDL2") != std::string::npos) GTEST_SKIP() << result.err;
    ASSERT_EQ(result.exit_code, 0) << result.err;
    ASSERT_NE(result.err.find("window closed"), std::string::npos) << result.err;
    ExpectStored("preview-premiere", Normalised(result.out));
}
#endif

INSTANTIATE_TEST_SUITE_P(Qxv, ReferenceOutputs, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ReferenceCase>& info) { return test::CaseName(info.param.name); });

}  // namespace
}  // namespace qxv::cli_tests
