#include "ui/views/depth_window.h"

#include <algorithm>

namespace tervane {

namespace {
// A millionth of the structure, and never below a tenth of an Angstrom: far below a grid spacing.
constexpr double minimumFraction = 1e-6;
constexpr double minimumDepth = 1e-11; // m
} // namespace

double DepthWindow::minimumSpan() const
{
    return std::min(length_, std::max(minimumDepth, minimumFraction * length_));
}

void DepthWindow::setLength(double length)
{
    const bool keep = zoomed() && to_ <= length;
    length_ = length > 0 ? length : 0.0;
    if (keep)
        show(from_, to_);
    else
        fit();
}

void DepthWindow::fit()
{
    from_ = 0.0;
    to_ = length_;
}

void DepthWindow::show(double a, double b)
{
    if (a > b)
        std::swap(a, b);
    a = std::clamp(a, 0.0, length_);
    b = std::clamp(b, 0.0, length_);
    const double minimum = minimumSpan();
    if (b - a < minimum) {
        const double centre = 0.5 * (a + b);
        a = std::clamp(centre - 0.5 * minimum, 0.0, length_ - minimum);
        b = a + minimum;
    }
    from_ = a;
    to_ = b;
}

void DepthWindow::zoomAbout(double depth, double factor)
{
    if (!(factor > 0) || span() <= 0)
        return;
    const double fraction = fractionOf(depth);
    const double newSpan = std::clamp(span() * factor, minimumSpan(), length_);
    // Kept inside the structure by moving the range, not by changing the span.
    double a = depth - fraction * newSpan;
    a = std::clamp(a, 0.0, length_ - newSpan);
    from_ = a;
    to_ = a + newSpan;
}

void DepthWindow::pan(double delta)
{
    const double s = span();
    from_ = std::clamp(from_ + delta, 0.0, length_ - s);
    to_ = from_ + s;
}

} // namespace tervane
