// Following eigenpairs from one potential to the next must give the states a full solve gives, and
// must refuse (so that the caller solves from scratch) rather than return a wrong state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/eigenpair_tracking.h"
#include "engine/lapack.h"

namespace tervane {
namespace {

constexpr double tolValue = 1e-12; // of the spectrum width
constexpr double tolVector = 1e-9; // largest component difference of unit vectors, up to sign

// -t psi'' + V psi on a uniform grid (t = 1): diagonal 2 + V, couplings -1 (coupling[0] unused).
struct Chain {
    std::vector<double> d, e;
};

Chain chain(const std::vector<double>& V)
{
    Chain c;
    c.d.resize(V.size());
    c.e.assign(V.size(), -1.0);
    c.e[0] = 0.0;
    for (std::size_t i = 0; i < V.size(); ++i)
        c.d[i] = 2.0 + V[i];
    return c;
}

struct Pairs {
    std::vector<double> values, vectors;
};

Pairs fullSolve(const Chain& c)
{
    const int n = static_cast<int>(c.d.size());
    Pairs p;
    p.values.resize(c.d.size());
    p.vectors.resize(c.d.size() * c.d.size());
    EXPECT_TRUE(
        lapack::tridiagonalEigenpairs(n, c.d.data(), c.e.data(), p.values.data(), p.vectors.data()).ok());
    return p;
}

// A well of `width` points and depth 0.5 in the middle of n points.
std::vector<double> well(int n, int width)
{
    std::vector<double> V(static_cast<std::size_t>(n), 0.5);
    for (int i = (n - width) / 2; i < (n + width) / 2; ++i)
        V[static_cast<std::size_t>(i)] = 0.0;
    return V;
}

// Follows the `wanted` lowest pairs of `before` to `after` and compares with a full solve of `after`.
bool followAndCompare(const std::vector<double>& before, const std::vector<double>& after, int wanted)
{
    const int n = static_cast<int>(before.size());
    const auto size = static_cast<std::size_t>(n);
    const Chain old = chain(before);
    const Chain now = chain(after);
    Pairs start = fullSolve(old);
    EigenpairTrack track{old.d, old.e,
                         std::vector<double>(start.values.begin(), start.values.begin() + wanted)};
    const std::vector<double> weights(size, 1.0);
    std::vector<double> values(size);
    if (!followEigenpairs(n, now.d.data(), now.e.data(), weights.data(), track, wanted, values.data(),
                          start.vectors.data()))
        return false;
    const Pairs reference = fullSolve(now);
    const double width = reference.values.back() - reference.values.front();
    for (int k = 0; k < wanted; ++k) {
        SCOPED_TRACE(k);
        EXPECT_NEAR(values[static_cast<std::size_t>(k)], reference.values[static_cast<std::size_t>(k)],
                    tolValue * width);
        const double* u = &start.vectors[static_cast<std::size_t>(k) * size];
        const double* v = &reference.vectors[static_cast<std::size_t>(k) * size];
        double dot = 0.0;
        for (std::size_t i = 0; i < size; ++i)
            dot += u[i] * v[i];
        const double sign = dot < 0 ? -1.0 : 1.0;
        double worst = 0.0;
        for (std::size_t i = 0; i < size; ++i)
            worst = std::max(worst, std::fabs(u[i] - sign * v[i]));
        EXPECT_LT(worst, tolVector);
    }
    return true;
}

TEST(EigenpairTracking, FollowsSmallAndLargeChangesOfThePotential)
{
    const int n = 400;
    const std::vector<double> before = well(n, 100);
    // A change far below the level spacing (as late passes make), and one ten times the spacing of the
    // lowest levels (as early passes make), which the first-order estimate alone does not resolve.
    for (const double amplitude : {1e-7, 1e-3, 3e-2}) {
        SCOPED_TRACE(amplitude);
        std::vector<double> after = before;
        for (int i = 0; i < n; ++i)
            after[static_cast<std::size_t>(i)] += amplitude * std::sin(3.0 * M_PI * i / n);
        EXPECT_TRUE(followAndCompare(before, after, 200));
    }
}

TEST(EigenpairTracking, RefusesWhatItCannotCertify)
{
    const int n = 400;
    const Chain c = chain(well(n, 100));
    const std::vector<double> weights(static_cast<std::size_t>(n), 1.0);
    Pairs start = fullSolve(c);
    std::vector<double> values(static_cast<std::size_t>(n));
    EigenpairTrack track{c.d, c.e, std::vector<double>(start.values.begin(), start.values.begin() + 50)};

    // More states than the track holds, and couplings that changed (another mass or spacing).
    EXPECT_FALSE(followEigenpairs(n, c.d.data(), c.e.data(), weights.data(), track, 51, values.data(),
                                  start.vectors.data()));
    Chain other = c;
    other.e[7] = -1.0000001;
    EXPECT_FALSE(followEigenpairs(n, other.d.data(), other.e.data(), weights.data(), track, 50, values.data(),
                                  start.vectors.data()));

    // Two equal wells far apart: their levels pair up closer than the vectors can be told apart.
    std::vector<double> twin(static_cast<std::size_t>(n), 2.0);
    for (int i = 20; i < 60; ++i)
        twin[static_cast<std::size_t>(i)] = twin[static_cast<std::size_t>(n - 1 - i)] = 0.0;
    const Chain pair = chain(twin);
    Pairs paired = fullSolve(pair);
    EigenpairTrack pairTrack{pair.d, pair.e,
                             std::vector<double>(paired.values.begin(), paired.values.begin() + 4)};
    EXPECT_FALSE(followEigenpairs(n, pair.d.data(), pair.e.data(), weights.data(), pairTrack, 4,
                                  values.data(), paired.vectors.data()));
}

} // namespace
} // namespace tervane
