#include "cli/images/FrameStreams.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#if defined(_WIN32)
#include <io.h>
#else
#include <sys/uio.h>
#endif

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

ProgressBar::ProgressBar(int total) : total_(total), enabled_(isatty(STDERR_FILENO) != 0 && total > 0) {}

ProgressBar::~ProgressBar() {
    if (drawn_) std::fputc('\n', stderr);
}

void ProgressBar::Show(int done) {
    if (!enabled_) return;
    constexpr int kWidth = 40;
    const int filled = static_cast<int>(static_cast<long long>(done) * kWidth / total_);
    const std::string bar = std::string(filled, '#') + std::string(kWidth - filled, '.');
    std::fprintf(stderr, "\r[%s] %d/%d frames", bar.c_str(), done, total_);
    std::fflush(stderr);
    drawn_ = true;
}

}  // namespace qxv::cli
