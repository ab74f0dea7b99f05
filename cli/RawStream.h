// Headerless frames one after another, each row of pixels in the host's memory order and
// without padding (argb16 and bgra32f little-endian, as in memory on the machines qxv runs on):
// what `ffmpeg -f rawvideo` reads and writes. Frames go straight between the stream and the
// padded rows of a world.
#pragma once

#include <string>

#include "hostsim/World.h"

namespace qxv::cli {

enum class RawRead { kFrame, kEnd, kShortFrame, kError };

// kEnd when the stream ends exactly between frames; kShortFrame when it ends inside one.
RawRead ReadRawFrame(int fd, hostsim::World& world, std::string& error);
bool WriteRawFrame(int fd, const hostsim::World& world, std::string& error);

// Streams carry bytes as they are: on Windows, file descriptors (standard input and output
// too) are switched out of text mode, which would turn 0x0A into 0x0D 0x0A on the way.
void UseBinaryMode(int fd);
// Flags for open() that mean the same there (O_BINARY; nothing on POSIX).
extern const int kOpenBinary;

}  // namespace qxv::cli
