#include "FrameSequence.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

namespace qxv::cli {

bool ParseFramePattern(const std::string& path, FramePattern& pattern) {
    const std::size_t percent = path.find('%');
    if (percent == std::string::npos) return false;
    std::size_t i = percent + 1;
    int digits = 0;
    if (i < path.size() && path[i] == '0') {
        ++i;
        if (i >= path.size() || path[i] < '1' || path[i] > '9') return false;
        digits = path[i] - '0';
        ++i;
    }
    if (i >= path.size() || path[i] != 'd') return false;
    if (path.find('%', i + 1) != std::string::npos) return false;
    pattern.prefix = path.substr(0, percent);
    pattern.suffix = path.substr(i + 1);
    pattern.digits = digits;
    return true;
}

std::string FramePath(const FramePattern& pattern, int number) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%0*d", pattern.digits, number);
    return pattern.prefix + digits + pattern.suffix;
}

std::vector<int> FindFrames(const FramePattern& pattern) {
    namespace fs = std::filesystem;
    // "dir/in." -> directory "dir", name prefix "in."; "in." -> ".", "in."
    std::string directory = ".";
    std::string name_prefix = pattern.prefix;
    if (const std::size_t slash = pattern.prefix.find_last_of('/'); slash != std::string::npos) {
        directory = slash == 0 ? "/" : pattern.prefix.substr(0, slash);
        name_prefix = pattern.prefix.substr(slash + 1);
    }
    std::vector<int> numbers;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(directory, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= name_prefix.size() + pattern.suffix.size()) continue;
        if (name.compare(0, name_prefix.size(), name_prefix) != 0) continue;
        if (name.compare(name.size() - pattern.suffix.size(), pattern.suffix.size(), pattern.suffix) != 0) continue;
        const std::string middle =
            name.substr(name_prefix.size(), name.size() - name_prefix.size() - pattern.suffix.size());
        if (middle.size() > 9 || !std::all_of(middle.begin(), middle.end(), [](unsigned char c) { return std::isdigit(c); })) {
            continue;
        }
        const int number = std::stoi(middle);
        // Only the spelling the pattern gives counts ("%04d" matches 0007, not 7 or 00007).
        if (FramePath(pattern, number) != pattern.prefix + middle + pattern.suffix) {
            continue;
        }
        numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

}  // namespace qxv::cli
