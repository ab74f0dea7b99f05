// Image sequences named with a frame-number pattern, printf style: "in.%04d.png" stands for
// in.0001.png, in.0002.png, ... and "in.%d.png" for in.1.png, in.2.png, ...
#pragma once

#include <string>
#include <vector>

namespace qxv::cli {

struct FramePattern {
    std::string prefix;  // everything before the %...d
    std::string suffix;  // everything after it
    int digits = 0;      // zero-padded width; 0 for plain %d
};

// True when `path` holds exactly one %d or %0Nd (N from 1 to 9).
bool ParseFramePattern(const std::string& path, FramePattern& pattern);
std::string FramePath(const FramePattern& pattern, int number);
// Numbers of the existing files that match, in increasing order.
std::vector<int> FindFrames(const FramePattern& pattern);

}  // namespace qxv::cli
