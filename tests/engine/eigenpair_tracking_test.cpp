// Following eigenpairs from one potential to the next must give the states a full solve gives, and
// must refuse (so that the caller solves from scratch) rather than return a wrong state. Solving them a
// block at a time must give them too, each state once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "engine/eigenpair_tracking.h"
#include "engine/lapack.h"

namespace tervane {
namespace {

constexpr int n = 400;

// -psi'' + V psi on a uniform grid: diagonal 2 + V, couplings -1 (the first unused), and all its pairs.
struct Chain {
    std::vector<double> d;
    std::vector<double> e = std::vector<double>(n, -1.0);
    std::vector<double> values = std::vector<double>(n);
    std::vector<double> vectors = std::vector<double>(n * n);

    explicit Chain(const std::vector<double>& V) : d(V)
    {
        for (double& value : d)
            value += 2.0;
        EXPECT_TRUE(lapack::tridiagonalEigenpairs(n, d.data(), e.data(), values.data(), vectors.data()).ok());
    }
    // Follows the `wanted` lowest pairs of `from`, whose track holds `held` of them, to this chain; the
    // vectors into from's, the values into `found`.
    bool follow(Chain& from, int wanted, std::vector<double>& found, int held = n, double gap = 1e-6,
                bool together = false) const
    {
        const EigenpairTrack track{from.d, from.e, {from.values.begin(), from.values.begin() + held}};
        const std::vector<double> weights(n, 1.0);
        found.assign(n, 0.0);
        return followEigenpairs(n, d.data(), e.data(), weights.data(), track, wanted, found.data(),
                                from.vectors.data(), gap, together);
    }
};

// A well of `width` points and depth 0.5 in the middle.
std::vector<double> well(int width)
{
    std::vector<double> V(n, 0.5);
    std::fill(V.begin() + (n - width) / 2, V.begin() + (n + width) / 2, 0.0);
    return V;
}

// A change far below the level spacing (as late passes make), and ones up to ten times the spacing of
// the lowest levels (as early passes make), which the first-order estimate alone does not resolve: the
// 200 lowest pairs followed are those of a full solve, values to 1e-12 of the spectrum's width and unit
// vectors to 1e-9 per component, up to sign.
TEST(EigenpairTracking, FollowsSmallAndLargeChangesOfThePotential)
{
    constexpr double tolValue = 1e-12;
    constexpr double tolVector = 1e-9;
    constexpr int wanted = 200;
    for (const double amplitude : {1e-7, 1e-3, 3e-2}) {
        SCOPED_TRACE(amplitude);
        Chain before(well(100));
        std::vector<double> V = well(100);
        for (int i = 0; i < n; ++i)
            V[i] += amplitude * std::sin(3.0 * M_PI * i / n);
        const Chain after(V);
        std::vector<double> values;
        ASSERT_TRUE(after.follow(before, wanted, values));
        const double width = after.values.back() - after.values.front();
        for (int k = 0; k < wanted; ++k) {
            ASSERT_NEAR(values[k], after.values[k], tolValue * width) << "state " << k;
            const double* u = &before.vectors[k * n];
            const double* v = &after.vectors[k * n];
            const double sign = std::inner_product(u, u + n, v, 0.0) < 0 ? -1.0 : 1.0;
            for (int i = 0; i < n; ++i)
                ASSERT_NEAR(u[i], sign * v[i], tolVector) << "state " << k << " point " << i;
        }
    }
}

// More states than the track holds; couplings that changed (another mass or spacing); and two equal
// wells 8 points apart, whose levels pair up 2.5e-8 apart (4e-9 of the norm): each value is proven on
// its own, but the vectors of a pair cannot be told apart to 1e-9.
TEST(EigenpairTracking, RefusesWhatItCannotCertify)
{
    Chain single(well(100));
    std::vector<double> values;
    EXPECT_FALSE(single.follow(single, 51, values, 50));
    Chain otherMass = single;
    otherMass.e[7] = -1.0000001;
    EXPECT_FALSE(otherMass.follow(single, 50, values));

    std::vector<double> twin(n, 2.0);
    for (int i = 150; i < 190; ++i)
        twin[i] = twin[i + 48] = 0.0;
    Chain pair(twin);
    EXPECT_FALSE(Chain(twin).follow(pair, 4, values));
}

// Two equal wells 150 points apart share their levels to the last bit: followed with the lowest
// states' tolerance, each pair is solved afresh as a group, and comes out as the whole solve's values
// with two orthonormal vectors whose residual |T z - lambda z| is at rounding level.
TEST(EigenpairTracking, SolvesLevelsSharedToTheLastBitTogether)
{
    constexpr double tolValue = 1e-12;
    constexpr double tolResidual = 1e-12;
    constexpr int wanted = 20;
    std::vector<double> twin(n, 2.0);
    for (int i = 60; i < 100; ++i)
        twin[i] = twin[i + 190] = 0.0;
    Chain before(twin);
    const Chain after(twin);
    std::vector<double> values;
    Chain strict(twin);
    EXPECT_FALSE(after.follow(strict, wanted, values)); // followed one by one, a pair cannot be told apart
    ASSERT_TRUE(after.follow(before, wanted, values, n, 1e-10, true));
    const double width = after.values.back() - after.values.front();
    for (int k = 0; k < wanted; ++k) {
        EXPECT_NEAR(values[k], after.values[k], tolValue * width) << "state " << k;
        const double* z = &before.vectors[k * n];
        double residual = 0.0;
        for (int i = 0; i < n; ++i) {
            const double tz = after.d[i] * z[i] + (i > 0 ? after.e[i] * z[i - 1] : 0.0) +
                              (i + 1 < n ? after.e[i + 1] * z[i + 1] : 0.0);
            residual = std::max(residual, std::fabs(tz - values[k] * z[i]));
        }
        EXPECT_LT(residual, tolResidual * width) << "state " << k;
        for (int j = 0; j <= k; ++j) {
            const double overlap = std::inner_product(z, z + n, &before.vectors[j * n], 0.0);
            EXPECT_NEAR(overlap, j == k ? 1.0 : 0.0, tolValue * 1e3) << "states " << j << " " << k;
        }
    }
}

// The lowest pairs isolated between Sturm counts, from nothing and from a track across a change ten
// times the lowest spacing: the free chain's values are 2 - 2 cos(k pi / (n + 1)) to 1e-13, and in the
// twin wells, whose levels pair up to the last bit, each pair comes out orthonormal; the values and
// vectors match the whole solve (1e-12 of the width, 1e-9 per component up to sign).
TEST(EigenpairIsolation, FindsTheLowestPairsWithAndWithoutATrack)
{
    constexpr double tolValue = 1e-12;
    constexpr double tolVector = 1e-9;
    constexpr double tolAnalytic = 1e-13;
    constexpr int wanted = 150; // enough for two threads
    const std::vector<double> weights(n, 1.0);
    const Chain free(std::vector<double>(n, 0.0));
    std::vector<double> values(n);
    std::vector<double> vectors(static_cast<std::size_t>(n) * wanted);
    ASSERT_TRUE(isolateEigenpairs(n, free.d.data(), free.e.data(), weights.data(), nullptr, wanted,
                                  values.data(), vectors.data(), 1e-10));
    for (int k = 0; k < wanted; ++k)
        EXPECT_NEAR(values[k], 2.0 - 2.0 * std::cos((k + 1) * M_PI / (n + 1)), tolAnalytic) << "state " << k;

    std::vector<double> twin(n, 2.0);
    for (int i = 60; i < 100; ++i)
        twin[i] = twin[i + 190] = 0.0;
    std::vector<double> moved = well(100);
    for (int i = 0; i < n; ++i)
        moved[i] += 3e-2 * std::sin(3.0 * M_PI * i / n);
    Chain before(well(100));
    const EigenpairTrack track{before.d, before.e, before.values};
    for (const auto& [V, tracked] : {std::pair{twin, false}, std::pair{moved, true}}) {
        SCOPED_TRACE(tracked);
        const Chain after(V);
        std::vector<double> table =
            tracked ? before.vectors : std::vector<double>(static_cast<std::size_t>(n) * n);
        ASSERT_TRUE(isolateEigenpairs(n, after.d.data(), after.e.data(), weights.data(),
                                      tracked ? &track : nullptr, wanted, values.data(), table.data(),
                                      1e-10));
        const double width = after.values.back() - after.values.front();
        for (int k = 0; k < wanted; ++k) {
            ASSERT_NEAR(values[k], after.values[k], tolValue * width) << "state " << k;
            const double* u = &table[k * n];
            for (int j = std::max(0, k - 2); j < k; ++j)
                EXPECT_NEAR(std::inner_product(u, u + n, &table[j * n], 0.0), 0.0, tolVector)
                    << k << " " << j;
            if (!tracked)
                continue; // a pair of equal levels is any orthonormal pair of their plane
            const double* v = &after.vectors[k * n];
            const double sign = std::inner_product(u, u + n, v, 0.0) < 0 ? -1.0 : 1.0;
            for (int i = 0; i < n; ++i)
                ASSERT_NEAR(u[i], sign * v[i], tolVector) << "state " << k << " point " << i;
        }
    }
}

// Every pair in one part, in blocks of 64 cut at gaps of the spectrum: the values and vectors of the
// whole solve, bit for bit, each handed over once and in order. The 150 lowest in two parts, blocks of
// 16, from bisection: each once, values to 1e-12 of the spectrum's width, vectors to 1e-9 up to sign.
TEST(EigenpairBlocks, GiveTheStatesOfTheWholeSolveEachOnce)
{
    constexpr double tolValue = 1e-12;
    constexpr double tolVector = 1e-9;
    const Chain whole(well(100));
    const double width = whole.values.back() - whole.values.front();
    for (const bool all : {true, false}) {
        SCOPED_TRACE(all);
        const int wanted = all ? n : 150;
        std::vector<double> values(n);
        std::vector<double> buffers[2];
        std::vector<int> seen(n, 0);
        int next[2] = {0, -1};
        const lapack::EigenResult result = lapack::tridiagonalEigenpairBlocks(
            n, whole.d.data(), whole.e.data(), wanted, all ? 64 : 16, !all, values.data(),
            [&buffers](int part, int, int count) {
                if (part < 0)
                    return static_cast<double*>(nullptr);
                buffers[part].assign(static_cast<std::size_t>(count) * n, 0.0);
                return buffers[part].data();
            },
            [&](int part, int first, int count) {
                EXPECT_TRUE(next[part] < 0 || first == next[part]) << "part " << part;
                next[part] = first + count;
                for (int k = first; k < first + count; ++k) {
                    ++seen[k];
                    const double* u = &buffers[part][(k - first) * n];
                    const double* v = &whole.vectors[k * n];
                    if (all) {
                        EXPECT_TRUE(std::equal(u, u + n, v)) << "state " << k;
                        continue;
                    }
                    const double sign = std::inner_product(u, u + n, v, 0.0) < 0 ? -1.0 : 1.0;
                    for (int i = 0; i < n; ++i)
                        ASSERT_NEAR(u[i], sign * v[i], tolVector) << "state " << k << " point " << i;
                }
            });
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.withVectors, wanted);
        for (int k = 0; k < n; ++k) {
            EXPECT_EQ(seen[k], k < wanted ? 1 : 0) << "state " << k;
            if (all) {
                EXPECT_EQ(values[k], whole.values[k]) << "state " << k;
            } else if (k < wanted) {
                EXPECT_NEAR(values[k], whole.values[k], tolValue * width) << "state " << k;
            }
        }
        EXPECT_EQ(next[1] > 0, !all); // two parts only when asked
    }
}

} // namespace
} // namespace tervane
