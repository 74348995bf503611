#pragma once

#include <chrono>
#include <ostream>

namespace tervane::cli {

// Points done, rate and time left of a long run, on standard error. On a terminal: one bar redrawn in
// place (at most five times a second). Elsewhere (a log file, a batch job): one line each time another
// 5 % of the points is done. Not thread-safe: the caller holds its lock.
class ProgressMeter {
  public:
    // `total` points to do in this run; `terminal` chooses the bar.
    ProgressMeter(std::ostream& out, long long total, bool terminal);

    void pointDone();
    // Ends the bar's line.
    void finish();

  private:
    void draw(bool force);

    std::ostream& out_;
    long long total_;
    bool terminal_;
    long long done_ = 0;
    long long nextStep_ = 1; // the 5 % step the next line is due at
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastDrawn_{};
};

} // namespace tervane::cli
