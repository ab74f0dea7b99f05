// A one-line progress bar on stderr, drawn only when stderr is a terminal (never into a log
// or a pipe).
#pragma once

namespace qxv::cli {

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
