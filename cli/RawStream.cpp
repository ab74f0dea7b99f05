#include "RawStream.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#if defined(_WIN32)
#include <io.h>
#else
#include <sys/uio.h>
#endif

namespace qxv::cli {

namespace {

#if defined(_WIN32)
// No vectored I/O: one row at a time.
struct iovec {
    void* iov_base;
    std::size_t iov_len;
};
int readv(int fd, const iovec* buffers, int) { return _read(fd, buffers->iov_base, static_cast<unsigned>(buffers->iov_len)); }
int writev(int fd, const iovec* buffers, int) {
    return _write(fd, buffers->iov_base, static_cast<unsigned>(buffers->iov_len));
}
constexpr int kMaxBuffers = 1;
#elif defined(IOV_MAX)
constexpr int kMaxBuffers = IOV_MAX;
#else
constexpr int kMaxBuffers = 16;
#endif

// The image bytes of each row of a world, without the padding between them: a frame moves
// through readv and writev in a few calls instead of one per row.
std::vector<iovec> RowBuffers(const hostsim::World& world) {
    std::vector<iovec> rows(static_cast<std::size_t>(world.height()));
    for (A_long y = 0; y < world.height(); ++y) {
        rows[static_cast<std::size_t>(y)] = {const_cast<std::uint8_t*>(world.Row(y)), world.image_row_bytes()};
    }
    return rows;
}

// Drops the first `n` bytes from the buffers from `first` on; returns the new first buffer.
std::size_t Consume(std::vector<iovec>& buffers, std::size_t first, std::size_t n) {
    while (n > 0 && first < buffers.size()) {
        const std::size_t taken = std::min(n, buffers[first].iov_len);
        buffers[first].iov_base = static_cast<std::uint8_t*>(buffers[first].iov_base) + taken;
        buffers[first].iov_len -= taken;
        n -= taken;
        if (buffers[first].iov_len == 0) ++first;
    }
    return first;
}

int BatchSize(const std::vector<iovec>& buffers, std::size_t first) {
    return static_cast<int>(std::min<std::size_t>(buffers.size() - first, kMaxBuffers));
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
    const std::size_t frame = world.image_row_bytes() * static_cast<std::size_t>(world.height());
    std::vector<iovec> rows = RowBuffers(world);
    std::size_t total = 0;
    for (std::size_t first = 0; first < rows.size();) {
        const auto n = readv(fd, &rows[first], BatchSize(rows, first));
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            error = std::string("cannot read the input stream: ") + std::strerror(errno);
            return RawRead::kError;
        }
        total += static_cast<std::size_t>(n);
        first = Consume(rows, first, static_cast<std::size_t>(n));
    }
    if (total == frame) return RawRead::kFrame;
    if (total == 0) return RawRead::kEnd;
    error = "the input stream ended inside a frame (" + std::to_string(total) + " of " + std::to_string(frame) +
            " bytes): check --raw WIDTHxHEIGHT and --format against the stream";
    return RawRead::kShortFrame;
}

bool WriteRawFrame(int fd, const hostsim::World& world, std::string& error) {
    std::vector<iovec> rows = RowBuffers(world);
    for (std::size_t first = 0; first < rows.size();) {
        const auto n = writev(fd, &rows[first], BatchSize(rows, first));
        if (n < 0) {
            if (errno == EINTR) continue;
            error = std::string("cannot write the output stream: ") + std::strerror(errno);
            return false;
        }
        first = Consume(rows, first, static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace qxv::cli
