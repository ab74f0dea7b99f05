#include "GoldenFile.h"

#include <fstream>

namespace qxv::golden_tests {
namespace {

constexpr const char* kHeader =
    "# SHA-256 of the golden frames: the pixels of each case of tests/golden/GoldenCases.cpp,\n"
    "# rendered through the loaded plug-in by the simulated host. Checked by GoldenFramesTest;\n"
    "# rewritten only by scripts/update-golden-frames.sh, for a change meant to move rendered\n"
    "# bits, in a commit that says why they moved.\n";

bool IsHexDigest(const std::string& text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

}  // namespace

std::string GoldenFilePath() { return std::string(QXV_SOURCE_DIR) + "/tests/golden/golden-frames.sha256"; }

bool ReadGoldenFile(const std::string& path, std::map<std::string, std::string>& hashes, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::string digest = line.substr(0, 64);
        if (!IsHexDigest(digest) || line.compare(64, 2, "  ") != 0 || line.size() <= 66 ||
            !hashes.emplace(line.substr(66), digest).second) {
            error = path + ":" + std::to_string(number) + ": not \"<sha256 hex>  <case name>\" of a new case";
            return false;
        }
    }
    return true;
}

bool WriteGoldenFile(const std::string& path, const std::vector<std::pair<std::string, std::string>>& hashes,
                     std::string& error) {
    std::ofstream out(path, std::ios::binary);  // LF on every platform
    out << kHeader;
    for (const auto& [name, digest] : hashes) out << digest << "  " << name << '\n';
    out.close();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace qxv::golden_tests
