#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qxv::hostsim {

// The host's worker threads for iterations: the rows of a frame are handed out one at a time
// to the calling thread and the workers, so a slow row (a wide feather band) does not hold
// up the others. The workers live as long as the pool and sleep between iterations.
//
// A frame smaller than kPixelsWorthSharing stays on the calling thread. Waking a sleeping
// worker and waiting for it to report back costs tens of microseconds (measured: a 64×64
// frame took 93 µs on two threads against 35 µs on one), while the cheapest pixels, those a
// vignette leaves outside its shape, cost about 4 ns each: below 16384 pixels (128×128) a
// frame of those takes no longer on one thread than the hand-over alone, so a second
// thread cannot win it back. A thumbnail or a small preview is such a frame; a proxy or a
// full frame is far above it.
constexpr std::int64_t kPixelsWorthSharing = 16384;

class RowPool {
public:
    // `threads` counts the calling thread; 0 means one per core.
    explicit RowPool(unsigned threads);
    ~RowPool();
    RowPool(const RowPool&) = delete;
    RowPool& operator=(const RowPool&) = delete;

    unsigned threads() const { return static_cast<unsigned>(workers_.size()) + 1; }

    // Calls row_task(y) for every y in [begin, end) of rows of row_pixels pixels, across the
    // threads where they hold at least kPixelsWorthSharing pixels, and returns when all are
    // done, with the number of threads the rows were handed to. Once a call returns false no
    // further rows are started. One Run at a time.
    unsigned Run(std::int64_t begin, std::int64_t end, std::int64_t row_pixels,
                 const std::function<bool(std::int64_t)>& row_task);

private:
    void WorkerLoop();
    void TakeRows();

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::uint64_t generation_ = 0;
    unsigned busy_workers_ = 0;
    bool shutting_down_ = false;

    const std::function<bool(std::int64_t)>* task_ = nullptr;
    std::atomic<std::int64_t> next_row_{0};
    std::int64_t end_row_ = 0;
    std::atomic<bool> stopped_{false};
};

unsigned HardwareThreads();  // at least 1; the count when first asked

}  // namespace qxv::hostsim
