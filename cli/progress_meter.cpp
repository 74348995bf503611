#include "cli/progress_meter.h"

#include <string>

#include "cli/text_format.h"

namespace tervane::cli {

namespace {

constexpr int steps = 20; // lines off a terminal: one per 5 %
constexpr int barWidth = 30;
constexpr std::chrono::milliseconds redrawInterval{200};

std::string clock(double seconds)
{
    const auto whole = static_cast<long long>(seconds + 0.5);
    return formatText("%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
}

} // namespace

ProgressMeter::ProgressMeter(std::ostream& out, long long total, bool terminal)
    : out_(out), total_(total), terminal_(terminal)
{
}

void ProgressMeter::pointDone()
{
    ++done_;
    if (terminal_) {
        draw(done_ == total_);
        return;
    }
    if (done_ * steps >= nextStep_ * total_) {
        while (nextStep_ * total_ <= done_ * steps)
            ++nextStep_;
        draw(true);
    }
}

void ProgressMeter::finish()
{
    if (terminal_ && done_ > 0)
        out_ << '\n' << std::flush;
}

void ProgressMeter::draw(bool force)
{
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - lastDrawn_ < redrawInterval)
        return;
    lastDrawn_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0.0 ? static_cast<double>(done_) / seconds : 0.0;
    const double left = rate > 0.0 ? static_cast<double>(total_ - done_) / rate : 0.0;
    const int percent = total_ > 0 ? static_cast<int>(100 * done_ / total_) : 100;
    const std::string figures = formatText("%lld/%lld points (%d %%), %.3g points/s, %s left", done_, total_,
                                           percent, rate, clock(left).c_str());
    if (terminal_) {
        const auto filled = static_cast<int>(total_ > 0 ? barWidth * done_ / total_ : barWidth);
        out_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(barWidth - filled), '.') << "] " << figures << "\x1b[K"
             << std::flush;
    } else {
        out_ << "sweep: " << figures << '\n' << std::flush;
    }
}

} // namespace tervane::cli
