#include "ui/views/nice_ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tervane {

double niceStep(double span, int maxTicks)
{
    const double raw = span / std::max(1, maxTicks);
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (factor * decade >= raw * (1 - 1e-12))
            return factor * decade;
    return 10.0 * decade;
}

std::vector<double> niceTicks(double lo, double hi, int maxTicks)
{
    std::vector<double> ticks;
    if (!std::isfinite(lo) || !std::isfinite(hi) || hi <= lo)
        return ticks;
    double step = niceStep(hi - lo, maxTicks);
    // Fewer ticks than asked for can still hold more than maxTicks multiples when the span starts
    // between them: widen the step until they fit.
    for (;;) {
        const double slack = 1e-6 * step;
        const double first = std::ceil((lo - slack) / step);
        const double last = std::floor((hi + slack) / step);
        if (last - first + 1 <= std::max(1, maxTicks) || step > (hi - lo) * 1e3) {
            // k x mantissa / 10^-e rather than k x step, so that 0.15 is the double nearest 0.15.
            const int exponent = static_cast<int>(std::floor(std::log10(step) + 1e-9));
            const double mantissa = std::round(step / std::pow(10.0, exponent));
            const double power = std::pow(10.0, std::abs(exponent));
            for (double k = first; k <= last; k += 1)
                ticks.push_back(exponent < 0 ? k * mantissa / power : k * mantissa * power);
            return ticks;
        }
        step = niceStep(step * 1.01 * std::max(1, maxTicks), maxTicks);
    }
}

std::vector<int> decadeTicks(double lo, double hi, int maxTicks)
{
    std::vector<int> ticks;
    if (!std::isfinite(lo) || !std::isfinite(hi) || hi <= lo)
        return ticks;
    const int first = static_cast<int>(std::ceil(lo - 1e-9));
    const int last = static_cast<int>(std::floor(hi + 1e-9));
    int every = 1;
    for (const int candidate : {1, 2, 5, 10, 20, 50, 100}) {
        every = candidate;
        const int from = static_cast<int>(std::ceil(static_cast<double>(first) / every)) * every;
        if (from > last || (last - from) / every + 1 <= std::max(1, maxTicks))
            break;
    }
    for (int k = static_cast<int>(std::ceil(static_cast<double>(first) / every)) * every; k <= last;
         k += every)
        ticks.push_back(k);
    return ticks;
}

std::string tickText(double value, double step)
{
    if (std::fabs(value) < 1e-6 * step)
        value = 0.0;
    const int decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 12);
    // A step of 2.5 x 10^k needs one decimal more than its power says.
    const double scaled = step * std::pow(10.0, decimals);
    const int extra = std::fabs(scaled - std::round(scaled)) > 1e-6 * scaled ? 1 : 0;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals + extra, value);
    return text;
}

int commonExponent(double largest)
{
    largest = std::fabs(largest);
    if (!(largest > 0) || !std::isfinite(largest))
        return 0;
    return static_cast<int>(std::floor(std::log10(largest) * (1 + 1e-12)));
}

} // namespace tervane
