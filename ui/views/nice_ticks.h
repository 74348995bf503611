#pragma once

#include <string>
#include <vector>

namespace tervane {

// Round tick values for a plot axis, without any window system: multiples of 1, 2 or 5 times a power
// of ten on a linear axis, whole decades (every one, or every second, fifth, ...) on a logarithmic one.

// The step 1, 2 or 5 x 10^k that puts at most `maxTicks` ticks (at least 1) into a span > 0.
[[nodiscard]] double niceStep(double span, int maxTicks);

// The multiples of niceStep(hi - lo, maxTicks) within [lo, hi] (a part-per-million of the step of
// slack at either end), ascending; empty when the limits are not finite or hi <= lo.
[[nodiscard]] std::vector<double> niceTicks(double lo, double hi, int maxTicks);

// The whole exponents k with lo <= k <= hi (log10 values), every first, second, fifth, tenth, ...
// so that at most `maxTicks` remain; ascending, empty as niceTicks.
[[nodiscard]] std::vector<int> decadeTicks(double lo, double hi, int maxTicks);

// A tick value written with as many decimals as the step needs ("0", "2.5", "-0.25"); a value within
// a millionth of a step of zero is written as zero, never "-0".
[[nodiscard]] std::string tickText(double value, double step);

// The power of ten of |largest| (the floor of its log10), by which a linear axis divides its labels
// so that the largest reads with one digit before the point; 0 for 0 or a value that is not finite.
[[nodiscard]] int commonExponent(double largest);

} // namespace tervane
