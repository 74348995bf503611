#pragma once

#include <cstddef>
#include <vector>

namespace tervane {

// Row i: lower[i]*u[i-1] + diag[i]*u[i] + upper[i]*u[i+1] = rhs[i]; `update` receives u.
// Units in the Poisson step: lower, diag, upper in F/m^3, rhs in C/m^3, update in V.
class TridiagonalSystem {
  public:
    std::vector<double> lower;
    std::vector<double> diag;
    std::vector<double> upper;
    std::vector<double> rhs;
    std::vector<double> update;
    int size = 0;

    virtual ~TridiagonalSystem() = default;

    // Existing entries keep their values, new ones are 0.0.
    void resize(int n)
    {
        size = n;
        const auto count = static_cast<std::size_t>(n);
        lower.resize(count, 0.0);
        diag.resize(count, 0.0);
        upper.resize(count, 0.0);
        rhs.resize(count, 0.0);
        update.resize(count, 0.0);
    }
};

} // namespace tervane
