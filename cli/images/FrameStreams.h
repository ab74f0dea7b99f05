// The many frames of one render: image sequences named by a frame-number pattern, raw
// video streams, and the progress bar drawn while a sequence renders.
#pragma once

#include <string>
#include <vector>

#include "hostsim/World.h"

namespace qxv::cli {

// Image sequences named with a frame-number pattern, printf style: "in.%04d.png" stands for
// in.0001.png, in.0002.png, ... and "in.%d.png" for in.1.png, in.2.png, ...
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

// Headerless frames one after another, each row of pixels in the host's memory order and
// without padding (argb16 and bgra32f little-endian, as in memory on the machines qxv runs on):
// what `ffmpeg -f rawvideo` reads and writes. Frames go straight between the stream and the
// padded rows of a world.
enum class RawRead { kFrame, kEnd, kShortFrame, kError };

// kEnd when the stream ends exactly between frames; kShortFrame when it ends inside one.
RawRead ReadRawFrame(int fd, hostsim::World& world, std::string& error);
bool WriteRawFrame(int fd, const hostsim::World& world, std::string& error);

// Streams carry bytes as they are: on Windows, file descriptors (standard input and output
// too) are switched out of text mode, which would turn 0x0A into 0x0D 0x0A on the way.
void UseBinaryMode(int fd);
// Flags for open() that mean the same there (O_BINARY; nothing on POSIX).
extern const int kOpenBinary;

// A one-line progress bar on stderr, drawn only when stderr is a terminal (never into a log
// or a pipe).
class ProgressBar {
public:
    explicit ProgressBar(int total);
    ~ProgressBar();  // ends the line if anything was drawn
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void Show(int done);

private:
    int total_;
    bool enabled_;
    bool drawn_ = false;
};

}  // namespace qxv::cli
