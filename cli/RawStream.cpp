#include "RawStream.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#if defined(_WIN32)
#include <io.h>
#endif

namespace qxv::cli {

namespace {

// Bytes read before the end of the stream, or -1 on a read error.
long long ReadFully(int fd, std::uint8_t* data, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = read(fd, data + got, size - got);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        got += static_cast<std::size_t>(n);
    }
    return static_cast<long long>(got);
}

}  // namespace

#if defined(_WIN32)
const int kOpenBinary = O_BINARY;
void UseBinaryMode(int fd) { _setmode(fd, O_BINARY); }
#else
const int kOpenBinary = 0;
void UseBinaryMode(int) {}
#endif

RawRead ReadRawFrame(int fd, hostsim::World& world, std::string& error) {
    const std::size_t row = world.image_row_bytes();
    const std::size_t frame = row * static_cast<std::size_t>(world.height());
    std::size_t total = 0;
    for (A_long y = 0; y < world.height(); ++y) {
        const long long got = ReadFully(fd, world.Row(y), row);
        if (got < 0) {
            error = std::string("cannot read the input stream: ") + std::strerror(errno);
            return RawRead::kError;
        }
        total += static_cast<std::size_t>(got);
        if (static_cast<std::size_t>(got) < row) break;
    }
    if (total == frame) return RawRead::kFrame;
    if (total == 0) return RawRead::kEnd;
    error = "the input stream ended inside a frame (" + std::to_string(total) + " of " + std::to_string(frame) +
            " bytes): check --raw WIDTHxHEIGHT and --format against the stream";
    return RawRead::kShortFrame;
}

bool WriteRawFrame(int fd, const hostsim::World& world, std::string& error) {
    const std::size_t row = world.image_row_bytes();
    for (A_long y = 0; y < world.height(); ++y) {
        const std::uint8_t* data = world.Row(y);
        std::size_t done = 0;
        while (done < row) {
            const ssize_t n = write(fd, data + done, row - done);
            if (n < 0) {
                if (errno == EINTR) continue;
                error = std::string("cannot write the output stream: ") + std::strerror(errno);
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
    }
    return true;
}

bool ParseFrameSize(const std::string& text, A_long& width, A_long& height, std::string& error) {
    const std::size_t x = text.find('x');
    char* end = nullptr;
    if (x != std::string::npos && x > 0 && x + 1 < text.size()) {
        const long w = std::strtol(text.c_str(), &end, 10);
        if (end == text.c_str() + x) {
            const long h = std::strtol(text.c_str() + x + 1, &end, 10);
            if (*end == '\0' && w >= 1 && h >= 1 && w <= 65536 && h <= 65536) {
                width = static_cast<A_long>(w);
                height = static_cast<A_long>(h);
                return true;
            }
        }
    }
    error = "--raw needs WIDTHxHEIGHT such as 1920x1080, not \"" + text + "\"";
    return false;
}

}  // namespace qxv::cli
