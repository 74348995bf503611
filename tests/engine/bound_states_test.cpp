// Bound states of the effective-mass equation against analytic physics: the finite square well, the
// triangular well against a hard wall, the flat box whose discrete states are known in closed form,
// and the rules that decide which states count as bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/bound_states.h"
#include "engine/grid.h"
#include "model/observer.h"
#include "model/constants.h"
#include "tests/engine/bound_state_grids.h"

using namespace tervane;
using namespace tervane::schroedinger_testing;

namespace {

// Lowest levels of a finite square well of depth V0 (eV), width L (m), mass m (m0), equal masses in
// well and barrier: even states k tan(kL/2) = kappa, odd states -k cot(kL/2) = kappa. Bisection on a
// fine scan of (0, V0).
std::vector<double> finiteWellLevels(double V0, double L, double m, int count)
{
    const auto k = [&](double E) { return std::sqrt(2 * m * m0 * E * q) / hbar; };
    const auto kappa = [&](double E) { return std::sqrt(2 * m * m0 * (V0 - E) * q) / hbar; };
    // Both conditions multiplied through by cos or sin so that they have no poles.
    const auto even = [&](double E) {
        return k(E) * std::sin(k(E) * L / 2) - kappa(E) * std::cos(k(E) * L / 2);
    };
    const auto odd = [&](double E) {
        return -k(E) * std::cos(k(E) * L / 2) - kappa(E) * std::sin(k(E) * L / 2);
    };
    std::vector<double> levels;
    const int steps = 100000;
    for (const auto& f : {std::function<double(double)>(even), std::function<double(double)>(odd)}) {
        for (int s = 1; s < steps; ++s) {
            double lo = V0 * (s - 1) / steps + 1e-12;
            double hi = V0 * s / steps;
            if ((f(lo) > 0) == (f(hi) > 0))
                continue;
            for (int it = 0; it < 200; ++it) {
                const double mid = (lo + hi) / 2;
                if ((f(mid) > 0) == (f(lo) > 0))
                    lo = mid;
                else
                    hi = mid;
            }
            levels.push_back((lo + hi) / 2);
        }
    }
    std::sort(levels.begin(), levels.end());
    levels.resize(static_cast<std::size_t>(count));
    return levels;
}

bool contains(const std::vector<int>& list, int k)
{
    return std::find(list.begin(), list.end(), k) != list.end();
}

} // namespace

// GaAs-like well, 1 eV deep and 100 Angstrom wide between 200 Angstrom barriers, at 0.5 Angstrom
// spacing. A step in V sampled at the points acts as an interface half-way between two points, so
// the well is as wide as its points times dx, and the levels converge as dx^2.
TEST(BoundStates, SquareWellLevelsFollowTheTranscendentalEquation)
{
    // Finite-difference error of the third level (about 0.3 eV): below (k dx)^2 / 12 = 1e-3 of it.
    constexpr double tolEnergy = 1e-4; // eV
    constexpr double dx = 0.5e-10;
    constexpr int barrierPoints = 400;
    constexpr int wellPoints = 200;
    constexpr double V0 = 1.0;
    constexpr double mass = 0.067;
    const int N = 2 * barrierPoints + wellPoints;
    const Grid grid = uniformGrid(
        N, dx, [&](int i) { return i >= barrierPoints && i < barrierPoints + wellPoints ? 0.0 : V0; }, mass);
    EigenSolution solution(N);
    CollectingObserver observer;
    const std::vector<int> bound =
        solveElectronStates(grid, solution, EigenSolverKind::Tridiagonal, observer);

    const std::vector<double> expected = finiteWellLevels(V0, wellPoints * dx, mass, 3);
    for (int n = 0; n < 3; ++n) {
        EXPECT_NEAR(solution.E[static_cast<std::size_t>(n)], expected[static_cast<std::size_t>(n)], tolEnergy)
            << "level " << n;
        EXPECT_TRUE(contains(bound, n)) << "level " << n << " decays into both barriers";
    }
    EXPECT_TRUE(observer.messages.empty());
}

// Constant field F against a hard wall: E_n = (hbar^2 (qF)^2 / 2m)^(1/3) a_n with the Airy zeros
// a_1 = 2.33811, a_2 = 4.08795. The wall is four points at 1e6 eV, where psi vanishes to 1e-12.
TEST(BoundStates, TriangularWellLevelsFollowTheAiryZeros)
{
    // Finite-difference error (k dx)^2 / 12 of the second level at 0.25 Angstrom: about 3e-4 of it.
    constexpr double tolEnergy = 3e-4; // eV
    constexpr double dx = 0.25e-10;
    constexpr double F = 1e8; // V/m
    constexpr double mass = 0.2;
    constexpr int wall = 3; // last wall point
    const int N = 1200;     // 300 Angstrom: the field reaches 3 eV at the far end
    const Grid grid = uniformGrid(
        N, dx, [&](int i) { return i <= wall ? 1e6 : F * (i - wall) * dx; }, mass);
    EigenSolution solution(N);
    CollectingObserver observer;
    const std::vector<int> bound =
        solveElectronStates(grid, solution, EigenSolverKind::Tridiagonal, observer);

    const double scale = std::cbrt(hbarSquared * (q * F) * (q * F) / (2 * mass * m0)) / q; // eV
    EXPECT_NEAR(solution.E[0], 2.33811 * scale, tolEnergy);
    EXPECT_NEAR(solution.E[1], 4.08795 * scale, tolEnergy);
    EXPECT_TRUE(contains(bound, 0));
    EXPECT_TRUE(contains(bound, 1));
}

// On a graded mesh every state has a unit trapezoid integral of psi^2. On a flat potential with one
// mass the constant is an exact state of the discrete operator whatever the mesh, so the lowest state
// is psi = 1/sqrt(L) at every point; left in the weighted unknowns, psi would go as sqrt(h_i) instead.
TEST(BoundStates, StatesAreNormalisedAndTheFlatGroundStateIsConstantOnAGradedMesh)
{
    constexpr double tolNorm = 1e-12;
    constexpr double tolPsi = 1e-9; // relative
    const int N = 200;
    const Grid grid = electronGrid(
        N, [](int i) { return (0.5 + 1.5 * (i % 7) / 6.0) * 1e-10; }, [](int) { return 0.1; },
        [](int) { return 0.067; });
    EigenSolution solution(N);
    CollectingObserver observer;
    solveElectronStates(grid, solution, EigenSolverKind::Tridiagonal, observer);
    ASSERT_EQ(solution.returned, N);
    for (int k = 0; k < N; ++k)
        EXPECT_NEAR(trapezoidNorm(grid, solution.state(k)), 1.0, tolNorm) << "state " << k;
    double length = 0.0;
    for (int i = 0; i + 1 < N; ++i)
        length += grid.dx[static_cast<std::size_t>(i)];
    EXPECT_NEAR(solution.E[0], 0.1, 1e-12);
    for (int i = 0; i < N; ++i)
        ASSERT_NEAR(std::fabs(solution.component(i, 0)) * std::sqrt(length), 1.0, tolPsi) << "point " << i;
}

// A flat box with equal spacing and mass has closed-form discrete states: with t = hbar^2/(2 m dx^2)
// the end rows hold qV + t and the inner rows qV + 2t, so state n is cos(n pi (i + 1/2) / N) at
// qV + 2t (1 - cos(n pi / N)); hole levels go the same way downwards from Ev. Every state but the
// constant one reaches both contacts with a slope far above the limit, so only state 0 is bound; all
// of them still add their occupation to nBound.
TEST(BoundStates, FlatBoxStatesSpreadToTheContactsAreNotBoundButAddTheirDensity)
{
    constexpr double tolEnergy = 1e-12; // eV, against levels of up to 0.6 eV
    constexpr double tolDensity = 1e-9; // relative
    const int N = 400;
    constexpr double dx = 2.5e-10;
    constexpr double V = 0.05; // eV, with Efn = 0 at 300 K
    constexpr double Eg = 1.5;
    const double pi = std::acos(-1.0);
    const auto t = [](double mass) { return hbarSquared / (2 * mass * m0 * dx * dx) / q; }; // eV
    Grid grid = uniformGrid(
        N, dx, [](int) { return V; }, 0.2);
    for (GridPoint& p : grid.points) {
        p.Eg = Eg;
        p.mlh = 0.08;
    }
    EigenSolution solution(N);
    CollectingObserver observer;
    for (const auto& [kind, mass] : {std::pair{Carrier::LightHole, 0.08}, std::pair{Carrier::HeavyHole, 0.2}}) {
        const std::vector<int> bound =
            solveHoleStates(grid, solution, kind, EigenSolverKind::Tridiagonal, observer);
        for (int n : {0, 1, 2, 50, N - 1})
            EXPECT_NEAR(solution.E[n], (V - Eg) - 2 * t(mass) * (1 - std::cos(n * pi / N)), tolEnergy)
                << "hole state " << n;
        EXPECT_EQ(bound, std::vector<int>{0});
    }

    const std::vector<int> bound =
        solveElectronStates(grid, solution, EigenSolverKind::Tridiagonal, observer);
    electronDensityFromStates(grid, solution);
    EXPECT_EQ(bound, std::vector<int>{0});
    std::vector<double> expectedDensity(N, 0.0);
    for (int n = 0; n < N; ++n) {
        const double level = V + 2 * t(0.2) * (1 - std::cos(n * pi / N));
        ASSERT_NEAR(solution.E[n], level, tolEnergy) << "state " << n;
        std::vector<double> psi(N);
        for (int i = 0; i < N; ++i)
            psi[i] = std::cos(n * pi * (i + 0.5) / N);
        const double norm2 = trapezoidNorm(grid, psi.data());
        const double occupation = sheetOccupancy(level - 0.0, 0.2 * m0, 300.0);
        for (int i = 0; i < N; ++i)
            expectedDensity[i] += occupation * psi[i] * psi[i] / norm2;
    }
    // The contact points hold only spread states, and a good share of the carriers.
    for (int i : {0, 1, N / 2, N - 1})
        EXPECT_NEAR(grid.point(i).nBound / expectedDensity[i], 1.0, tolDensity) << "point " << i;
    EXPECT_GT(grid.point(0).nBound, 0.5 * grid.point(N / 2).nBound);
}

// A state must also lie within 0.1 eV of the potential's range. Ten points of a huge mass at each end
// hold the light-mass states in between away from both contacts whatever their energy, so states far
// above the flat potential pass both contact tests; none of them is counted.
TEST(BoundStates, StatesAboveTheWindowAreNeverBound)
{
    const int N = 120;
    constexpr double dx = 1e-10;
    constexpr double window = 0.0 + 0.1; // Vmax + 0.1, eV
    const Grid grid = electronGrid(
        N, [](int) { return dx; }, [](int) { return 0.0; },
        [&](int i) { return i < 10 || i >= N - 10 ? 1e6 : 0.067; });
    EigenSolution solution(N);
    CollectingObserver observer;
    const std::vector<int> bound =
        solveElectronStates(grid, solution, EigenSolverKind::Tridiagonal, observer);

    int confinedAbove = 0;
    for (int k = 0; k < N; ++k) {
        const double* psi = solution.state(k);
        const bool vanishes = std::fabs(psi[1] - psi[0]) / dx < 1e5 && std::fabs(psi[0]) < 1e5 &&
                              std::fabs(psi[N - 2] - psi[N - 1]) / dx < 1e5 && std::fabs(psi[N - 1]) < 1e5;
        if (vanishes && solution.E[static_cast<std::size_t>(k)] > window) {
            ++confinedAbove;
            EXPECT_FALSE(contains(bound, k))
                << "state " << k << " at " << solution.E[static_cast<std::size_t>(k)];
        }
    }
    EXPECT_GT(confinedAbove, 50);
    ASSERT_FALSE(bound.empty());
    for (int k : bound)
        EXPECT_LT(solution.E[static_cast<std::size_t>(k)], window);
}

// An eigen-solver failure is reported with the eigen-solver's message; the states it did not return
// are zero (an all-zero state is left as it is by the normalisation), far above every level, and
// carry no occupation.
TEST(BoundStates, AnEigenSolverFailureLeavesZeroStatesWithoutCarriers)
{
    const int N = 50;
    Grid grid = uniformGrid(
        N, 1e-10, [](int i) { return i == 20 ? std::nan("") : 0.0; }, 0.067);
    for (const EigenSolverKind solver : {EigenSolverKind::Tridiagonal, EigenSolverKind::Dense}) {
        EigenSolution solution(N);
        CollectingObserver observer;
        const std::vector<int> bound = solveElectronStates(grid, solution, solver, observer);
        EXPECT_EQ(observer.messages, std::vector<std::string>{"failed on dsyevx!"});
        EXPECT_TRUE(bound.empty());
        EXPECT_EQ(solution.returned, 0);
        for (int k = 0; k < N; ++k) {
            EXPECT_EQ(solution.E[static_cast<std::size_t>(k)], 1e6);
            for (int i = 0; i < N; ++i)
                ASSERT_EQ(solution.component(i, k), 0.0);
        }
        electronDensityFromStates(grid, solution);
        for (const GridPoint& p : grid.points)
            EXPECT_EQ(p.nBound, 0.0);
    }
}

// `sum` plus occupation times psi^2 at point i of every state, term by term in state order.
double perPointSum(const Grid& grid, const EigenSolution& solution, int i, double mass, double T, double Ef,
                   int sign, double sum = 0.0)
{
    for (int k = 0; k < grid.count; ++k) {
        const double psi = solution.component(i, k);
        sum += sheetOccupancy(sign * (solution.E[static_cast<std::size_t>(k)] - Ef), mass * 9.1e-31, T) *
               (psi * psi);
    }
    return sum;
}

// The density sums evaluate each state's occupation once for a stretch of points that share mass,
// temperature and quasi-Fermi level, and pass over states that are empty everywhere. That must give
// the per-point sum over all N states bit for bit, here with all three varying along the grid.
TEST(BoundStates, DensitySumsEqualThePerPointSumExactly)
{
    const int N = 240;
    Grid grid = electronGrid(
        N, [](int) { return 1e-10; }, [](int i) { return i > 80 && i < 160 ? -0.1 : 0.2; },
        [](int i) { return i < 120 ? 0.067 : 0.09; });
    for (int i = 0; i < N; ++i) {
        GridPoint& p = grid.point(i);
        p.Tn = i < 60 ? 300.0 : 350.0;
        p.Efn = i < 200 ? 0.0 : 0.02 * (i - 200);
        p.Tp = i < 100 ? 300.0 : 280.0;
        p.Efp = -0.3 + 0.001 * i;
        p.Eg = 0.4;
    }
    EigenSolution solution(N);
    CollectingObserver observer;
    solveElectronStates(grid, solution, EigenSolverKind::Tridiagonal, observer);
    electronDensityFromStates(grid, solution);
    for (int i = 0; i < N; ++i) {
        const GridPoint& p = grid.point(i);
        ASSERT_EQ(p.nBound, perPointSum(grid, solution, i, p.me, p.Tn, p.Efn, 1)) << "point " << i;
    }

    std::vector<double> holes(N, 0.0), expected(N, 0.0);
    for (const Carrier kind : {Carrier::LightHole, Carrier::HeavyHole}) {
        solveHoleStates(grid, solution, kind, EigenSolverKind::Tridiagonal, observer);
        addHoleDensityFromStates(grid, solution, kind, holes);
        for (int i = 0; i < N; ++i) {
            const GridPoint& p = grid.point(i);
            const double mass = kind == Carrier::LightHole ? p.mlh : p.mhh;
            expected[i] = perPointSum(grid, solution, i, mass, p.Tp, p.Efp, -1, expected[i]);
        }
    }
    holeDensityFromStates(grid, holes);
    for (int i = 0; i < N; ++i)
        ASSERT_EQ(grid.point(i).pBound, expected[i]) << "point " << i;
    EXPECT_GT(grid.point(0).pBound, 0.0);
}

// A pass computes psi only for the states that can hold electrons or be bound. Two equal wells 4 nm
// apart (their levels come in tunnel-split pairs) in a 0.3 eV barrier, 5 Angstrom spacing: the
// spectrum reaches about 9 eV while nothing above Efn + 40 kT (about 1.04 eV at 300 K) is occupied, so
// roughly a fifth of the states are needed, enough to be computed on two threads.
Grid coupledWells(int N)
{
    Grid grid = electronGrid(
        N, [](int) { return 5e-10; },
        [](int i) { return (i >= 500 && i < 600) || (i >= 680 && i < 780) ? 0.0 : 0.3; },
        [](int) { return 0.067; });
    for (int i = 0; i < N; ++i) {
        GridPoint& p = grid.point(i);
        p.Tn = i < 600 ? 300.0 : 320.0;
        p.Efn = i < 700 ? 0.0 : 0.05;
    }
    return grid;
}

TEST(BoundStates, OnlyTheNeededStatesGiveTheSameStatesAndDensities)
{
    constexpr double tolEnergyOfWidth = 1e-10;   // of the spectrum's width
    constexpr double tolPsiOfLargest = 1e-12;    // of the largest |psi| of the state
    constexpr double tolDensityRelative = 1e-15; // the sums are expected to agree to the bit
    const int N = 1200;
    Grid grid = coupledWells(N);
    CollectingObserver observer;
    EigenSolution all(N);
    const std::vector<int> boundAll = solveElectronStates(grid, all, EigenSolverKind::Tridiagonal, observer);
    electronDensityFromStates(grid, all);
    const Grid gridAll = grid;
    EigenSolution needed(N);
    const std::vector<int> boundNeeded =
        solveElectronStates(grid, needed, EigenSolverKind::Tridiagonal, observer, StateScope::Needed);
    electronDensityFromStates(grid, needed);
    EXPECT_TRUE(observer.messages.empty());

    const int K = needed.withVectors;
    EXPECT_GE(K, neededStates(grid, Carrier::Electron));
    EXPECT_GT(neededStates(grid, Carrier::Electron), 200); // the two halves of the vector stage each get a share
    EXPECT_LT(K, N / 2);
    EXPECT_EQ(boundNeeded, boundAll);
    ASSERT_FALSE(boundAll.empty());
    const double width = all.E[N - 1] - all.E[0];
    for (int k = 0; k < N; ++k) {
        ASSERT_NEAR(needed.E[k], all.E[k], tolEnergyOfWidth * width) << "state " << k;
        if (k >= K)
            continue;
        double largest = 0.0;
        double dot = 0.0;
        for (int i = 0; i < N; ++i) {
            largest = std::max(largest, std::fabs(all.component(i, k)));
            dot += all.component(i, k) * needed.component(i, k);
        }
        for (int i = 0; i < N; ++i)
            ASSERT_NEAR(std::copysign(1.0, dot) * needed.component(i, k), all.component(i, k),
                        tolPsiOfLargest * largest)
                << "state " << k << " point " << i;
    }
    for (int i = 0; i < N; ++i)
        ASSERT_NEAR(grid.point(i).nBound, gridAll.point(i).nBound,
                    tolDensityRelative * gridAll.point(i).nBound)
            << "point " << i;
    // Every state without a vector lies above the bound-state window and is empty at every point.
    for (int k = K; k < N; ++k) {
        EXPECT_GT(needed.E[k], 0.3 + 0.1);
        for (const GridPoint& p : grid.points)
            ASSERT_EQ(sheetOccupancy(needed.E[k] - p.Efn, p.me * 9.1e-31, p.Tn), 0.0) << "state " << k;
    }
}
