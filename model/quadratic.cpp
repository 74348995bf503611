#include "model/quadratic.h"

#include <cstdio>

namespace tervane {

std::string Quadratic::toText() const
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%2.2f+%2.2fx+%2.2fx^2", a, b, c);
    return buffer;
}

} // namespace tervane
