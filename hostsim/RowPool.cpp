#include "hostsim/RowPool.h"

#include <algorithm>

namespace qxv::hostsim {

unsigned HardwareThreads() {
    // Asked once: the C library reads the count from a file under /sys on every call, an
    // open, a read and a close that cost a small frame a third of its time.
    static const unsigned cores = std::max(std::thread::hardware_concurrency(), 1u);
    return cores;
}

RowPool::RowPool(unsigned threads) {
    if (threads == 0) threads = HardwareThreads();
    for (unsigned i = 1; i < threads; ++i) workers_.emplace_back([this] { WorkerLoop(); });
}

RowPool::~RowPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        shutting_down_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void RowPool::TakeRows() {
    for (;;) {
        if (stopped_.load(std::memory_order_relaxed)) return;
        const std::int64_t y = next_row_.fetch_add(1, std::memory_order_relaxed);
        if (y >= end_row_) return;
        if (!(*task_)(y)) stopped_.store(true, std::memory_order_relaxed);
    }
}

void RowPool::WorkerLoop() {
    std::uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return shutting_down_ || generation_ != seen; });
            if (shutting_down_) return;
            seen = generation_;
        }
        TakeRows();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (--busy_workers_ == 0) finished_.notify_one();
        }
    }
}

unsigned RowPool::Run(std::int64_t begin, std::int64_t end, std::int64_t row_pixels,
                      const std::function<bool(std::int64_t)>& row_task) {
    if (begin >= end) return 1;
    if (workers_.empty() || (end - begin) * row_pixels < kPixelsWorthSharing) {
        for (std::int64_t y = begin; y < end && row_task(y); ++y) {
        }
        return 1;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        task_ = &row_task;
        next_row_.store(begin);
        end_row_ = end;
        stopped_.store(false);
        busy_workers_ = static_cast<unsigned>(workers_.size());
        ++generation_;
    }
    wake_.notify_all();
    TakeRows();
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [&] { return busy_workers_ == 0; });
    task_ = nullptr;
    return threads();
}

}  // namespace qxv::hostsim
