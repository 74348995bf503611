#pragma once

namespace tervane {

// The depth range both plots of the window show: from() to to(), m from the left contact, always
// inside the structure [0, length()] and never narrower than minimumSpan(). Without any window
// system, so that zooming can be worked out and tested on its own.
class DepthWindow {
  public:
    double length() const { return length_; }
    double from() const { return from_; }
    double to() const { return to_; }
    double span() const { return to_ - from_; }
    // Whether less than the whole structure is shown.
    bool zoomed() const { return length_ > 0 && (from_ > 0 || to_ < length_); }
    double minimumSpan() const;

    // A new structure length (m): the range is kept where it still fits, else fitted.
    void setLength(double length);
    // The whole structure.
    void fit();
    // Shows [a, b] (either order), clamped to the structure and widened to the minimum span.
    void show(double a, double b);
    // Multiplies the span by `factor` (< 1 zooms in) so that `depth` stays where it is on the plot.
    void zoomAbout(double depth, double factor);
    // Moves the range by `delta` m, stopping at the ends.
    void pan(double delta);

    // The depth at a fraction (0 left, 1 right) of the plot, and back.
    double depthAt(double fraction) const { return from_ + fraction * span(); }
    double fractionOf(double depth) const { return span() > 0 ? (depth - from_) / span() : 0.0; }

  private:
    double length_ = 0.0;
    double from_ = 0.0;
    double to_ = 0.0;
};

} // namespace tervane
