#include "engine/sweep.h"

namespace tervane {

long long sweepPointCount(const Sweep& sweep)
{
    if (sweep.parameters.empty())
        return 0;
    if (sweep.combination == SweepCombination::Zip)
        return static_cast<long long>(sweep.parameters.front().values.size());
    long long count = 1;
    for (const SweepParameter& parameter : sweep.parameters) {
        const auto size = static_cast<long long>(parameter.values.size());
        if (size == 0)
            return 0;
        if (count > (maxSweepPoints + 1) / size)
            return maxSweepPoints + 1;
        count *= size;
    }
    return count;
}

std::vector<double> sweepPointValues(const Sweep& sweep, long long index)
{
    std::vector<double> values(sweep.parameters.size());
    if (sweep.combination == SweepCombination::Zip) {
        for (std::size_t k = 0; k < values.size(); ++k)
            values[k] = sweep.parameters[k].values[static_cast<std::size_t>(index)];
        return values;
    }
    // Mixed radix with the last parameter as the lowest digit.
    for (std::size_t k = values.size(); k-- > 0;) {
        const std::vector<double>& list = sweep.parameters[k].values;
        const auto size = static_cast<long long>(list.size());
        values[k] = list[static_cast<std::size_t>(index % size)];
        index /= size;
    }
    return values;
}

} // namespace tervane
