// Every golden frame rendered through EntryPointFunc of the loaded plug-in, hashed, and
// compared with the hash stored in the repository: any change to any output bit of any case
// fails here and names the cases that moved. scripts/update-golden-frames.sh rewrites the
// stored hashes (it sets QXV_WRITE_GOLDEN_FRAMES) for a change that means to move them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "../render/RenderHost.h"
#include "GoldenCases.h"
#include "GoldenFile.h"
#include "GoldenInput.h"
#include "Sha256.h"

namespace qxv::golden_tests {
namespace {

using hostsim::World;

// mingw-w64's pow, sin and cos round differently from glibc's in the last bit for some
// arguments, so the frames they reach are compared on Linux only; the Windows runner
// still renders them and says how many came out the same.
#ifdef _WIN32
constexpr bool kLibmAsStored = false;
#else
constexpr bool kLibmAsStored = true;
#endif

OfferedChoices ChoicesOf(const hostsim::Host& host) {
    const auto& store = host.params();
    return {store.Param(store.IndexOf("Vignette Type")).choices, store.Param(store.IndexOf("Blending mode")).choices,
            store.Param(store.IndexOf("Alpha falloff")).choices};
}

// The SHA-256 of the output's pixels (row padding left out), or "" with `problem` set when
// the render failed or touched what it must not.
std::string RenderAndHash(const GoldenCase& c, std::string& problem) {
    auto host = render_host_tests::ReadyHost(c.format);
    for (const std::string& setting : c.settings) {
        const std::size_t equals = setting.find('=');
        if (!host->params().Set(setting.substr(0, equals), setting.substr(equals + 1), problem)) return {};
    }
    World input(c.format, kGoldenWidth, kGoldenHeight, c.row_padding);
    World output(c.format, kGoldenWidth, kGoldenHeight, c.row_padding);
    FillGoldenInput(input);
    const std::vector<std::uint8_t> source = input.PackedPixels();

    const PF_Err err = hostsim::RenderFrame(*host, input, output, c.render);
    if (err != PF_Err_NONE) {
        problem = "the render returned " + std::to_string(err);
    } else if (!host->CommandViolations().empty()) {
        problem = "the host saw: " + host->CommandViolations().front();
    } else if (!input.GuardsIntact() || !output.GuardsIntact()) {
        problem = "bytes outside the frames were written";
    } else if (input.PackedPixels() != source) {
        problem = "the input frame was written";
    }
    if (!problem.empty()) return {};
    const std::vector<std::uint8_t> pixels = output.PackedPixels();
    return Sha256Hex(pixels.data(), pixels.size());
}

TEST(GoldenFramesTest, EveryCaseRendersAsStored) {
    const std::vector<GoldenCase> cases = GoldenCases(ChoicesOf(*render_host_tests::ReadyHost(
        hostsim::WorldFormat::kArgb8)));
    std::vector<std::pair<std::string, std::string>> rendered;
    std::ostringstream failures;
    for (const GoldenCase& c : cases) {
        std::string problem;
        rendered.emplace_back(c.name, RenderAndHash(c, problem));
        if (!problem.empty()) failures << "  " << c.name << ": " << problem << "\n";
    }
    ASSERT_TRUE(failures.str().empty()) << "Golden frames that did not render:\n" << failures.str();

    if (const char* write_to = std::getenv("QXV_WRITE_GOLDEN_FRAMES")) {
        std::string error;
        ASSERT_TRUE(WriteGoldenFile(write_to, rendered, error)) << error;
        std::cout << "Wrote the hashes of " << rendered.size() << " golden frames to " << write_to << "\n";
        return;
    }

    std::map<std::string, std::string> stored;
    std::string error;
    ASSERT_TRUE(ReadGoldenFile(GoldenFilePath(), stored, error)) << error;
    std::ostringstream moved, unstored;
    int moved_count = 0, libm_cases = 0, libm_same = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& [name, digest] = rendered[i];
        const auto found = stored.find(name);
        if (found == stored.end()) {
            unstored << "  " << name << "\n";
            continue;
        }
        if (cases[i].uses_libm && !kLibmAsStored) {
            ++libm_cases;
            libm_same += found->second == digest;
        } else if (found->second != digest) {
            ++moved_count;
            moved << "  " << name << "  " << found->second.substr(0, 12) << " -> " << digest.substr(0, 12) << "\n";
        }
        stored.erase(found);
    }
    const char* kHowToUpdate =
        "If the change means to move these bits, run scripts/update-golden-frames.sh and say why in the commit.\n";
    EXPECT_EQ(moved_count, 0) << moved_count << " of " << cases.size()
                              << " golden frames moved (stored -> rendered hash):\n"
                              << moved.str() << kHowToUpdate;
    EXPECT_TRUE(unstored.str().empty()) << "Golden frames without a stored hash:\n" << unstored.str() << kHowToUpdate;
    std::ostringstream stale;
    for (const auto& [name, digest] : stored) stale << "  " << name << "\n";
    EXPECT_TRUE(stale.str().empty()) << "Stored hashes of cases that no longer exist:\n" << stale.str() << kHowToUpdate;
    if (libm_cases > 0) {
        std::cout << "Golden frames through pow/sin/cos, not compared here: " << libm_same << " of " << libm_cases
                  << " came out as on Linux.\n";
    }
}

}  // namespace
}  // namespace qxv::golden_tests
