#include "ProgressBar.h"

#include <cstdio>
#include <string>

#include <unistd.h>

namespace qxv::cli {

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
