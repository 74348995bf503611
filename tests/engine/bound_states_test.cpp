// Bound states of the effective-mass equation against analytic physics (the finite square well, the
// triangular well against a hard wall, the flat box whose discrete states are known in closed form),
// the rules that decide which states count as bound, and the densities built from the states.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/bound_states.h"
#include "model/constants.h"
#include "model/observer.h"
#include "tests/engine/test_structures.h"

using namespace tervane;
using namespace tervane::testing;

namespace {

bool contains(const std::vector<int>& list, int k)
{
    return std::find(list.begin(), list.end(), k) != list.end();
}

// The `count` lowest electron levels (eV), each of which must be bound.
std::vector<double> boundLevels(const Grid& grid, int count)
{
    EigenSolution solution(grid.count);
    CollectingObserver observer;
    const std::vector<int> bound =
        solveElectronStates(grid, solution, EigenSolverKind::Tridiagonal, observer);
    EXPECT_TRUE(observer.messages.empty());
    for (int n = 0; n < count; ++n)
        EXPECT_TRUE(contains(bound, n)) << "level " << n;
    return {solution.E.begin(), solution.E.begin() + count};
}

// Trapezoid integral of psi^2 over the grid.
double trapezoidNorm(const Grid& grid, const double* psi)
{
    double sum = 0.0;
    for (int i = 0; i + 1 < grid.count; ++i)
        sum += (psi[i] * psi[i] + psi[i + 1] * psi[i + 1]) * grid.dx[static_cast<std::size_t>(i)] / 2;
    return sum;
}

} // namespace

// A well 1 eV deep and 100 Angstrom wide between 200 Angstrom barriers, mass 0.067, 0.5 Angstrom
// spacing. A step in V sampled at the points acts as an interface half-way between two points, so the
// well is as wide as its points times dx. Level n solves tan(kL) = 2 k kappa / (k^2 - kappa^2), the even
// and odd conditions in one, with kL between n pi and (n + 1) pi; the finite-difference error
// (k dx)^2 / 12 of the third level is below 1e-3 of it.
TEST(BoundStates, SquareWellLevelsFollowTheTranscendentalEquation)
{
    constexpr double tolEnergy = 1e-4; // eV
    constexpr double V0 = 1.0;
    constexpr double L = 100e-10;
    constexpr double mass = 0.067;
    const Grid grid = electronGrid(
        1000, constant(0.5e-10), [](int i) { return i >= 400 && i < 600 ? 0.0 : V0; }, constant(mass));
    const auto k = [](double E) { return std::sqrt(2 * mass * m0 * E * q / hbarSquared); };
    const auto f = [&](double E) {
        const double kappa = k(V0 - E);
        return 2 * k(E) * kappa * std::cos(k(E) * L) + (kappa * kappa - k(E) * k(E)) * std::sin(k(E) * L);
    };
    const std::vector<double> levels = boundLevels(grid, 3);
    for (int n = 0; n < 3; ++n) {
        const auto energy = [](double kL) { return hbarSquared * kL * kL / (L * L * 2 * mass * m0 * q); };
        double lo = energy(n * M_PI) + 1e-12;
        double hi = energy((n + 1) * M_PI);
        for (int it = 0; it < 100; ++it)
            ((f((lo + hi) / 2) > 0) == (f(lo) > 0) ? lo : hi) = (lo + hi) / 2;
        EXPECT_NEAR(levels[n], lo, tolEnergy) << "level " << n;
    }
}

// A constant field F against a hard wall (four points at 1e6 eV, where psi vanishes to 1e-12):
// E_n = (hbar^2 (qF)^2 / 2m)^(1/3) a_n with the Airy zeros a_1 = 2.33811, a_2 = 4.08795. The
// finite-difference error of the second level at 0.25 Angstrom is about 3e-4 of it.
TEST(BoundStates, TriangularWellLevelsFollowTheAiryZeros)
{
    constexpr double tolEnergy = 3e-4; // eV
    constexpr double dx = 0.25e-10;
    constexpr double F = 1e8; // V/m: 3 eV at the far end, 300 Angstrom away
    constexpr double mass = 0.2;
    const Grid grid = electronGrid(
        1200, constant(dx), [](int i) { return i <= 3 ? 1e6 : F * (i - 3) * dx; }, constant(mass));
    const double scale = std::cbrt(hbarSquared * (q * F) * (q * F) / (2 * mass * m0)) / q; // eV
    const std::vector<double> levels = boundLevels(grid, 2);
    EXPECT_NEAR(levels[0], 2.33811 * scale, tolEnergy);
    EXPECT_NEAR(levels[1], 4.08795 * scale, tolEnergy);
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
        N, [](int i) { return (0.5 + 1.5 * (i % 7) / 6.0) * 1e-10; }, constant(0.1), constant(0.067));
    EigenSolution solution(N);
    CollectingObserver observer;
    solveElectronStates(grid, solution, EigenSolverKind::Tridiagonal, observer);
    ASSERT_EQ(solution.returned, N);
    for (int k = 0; k < N; ++k)
        EXPECT_NEAR(trapezoidNorm(grid, solution.state(k)), 1.0, tolNorm) << "state " << k;
    const double length = trapezoidNorm(grid, std::vector<double>(N, 1.0).data());
    EXPECT_NEAR(solution.E[0], 0.1, 1e-12);
    for (int i = 0; i < N; ++i)
        ASSERT_NEAR(std::fabs(solution.component(i, 0)) * std::sqrt(length), 1.0, tolPsi) << "point " << i;
}

// A flat box with equal spacing and mass has closed-form discrete states: with t = hbar^2/(2 m dx^2)
// the end rows hold qV + t and the inner rows qV + 2t, so state n is cos(n pi (i + 1/2) / N) at
// qV + 2t (1 - cos(n pi / N)); hole levels go the same way downwards from Ev, each kind with its own
// mass. Every state but the constant one reaches both contacts with a slope far above the limit, so
// only state 0 is bound.
TEST(BoundStates, FlatBoxStatesSpreadToTheContactsAreNotBound)
{
    constexpr double tolEnergy = 1e-12; // eV, against levels of up to 0.6 eV
    const int N = 400;
    constexpr double dx = 2.5e-10;
    constexpr double V = 0.05; // eV
    constexpr double Eg = 1.5;
    const auto t = [](double mass) { return hbarSquared / (2 * mass * m0 * dx * dx) / q; }; // eV
    Grid grid = electronGrid(N, constant(dx), constant(V), constant(0.2));
    for (GridPoint& p : grid.points) {
        p.Eg = Eg;
        p.mlh = 0.08;
    }
    EigenSolution solution(N);
    CollectingObserver observer;
    for (const auto& [kind, mass] : {std::pair{Carrier::Electron, 0.2}, std::pair{Carrier::LightHole, 0.08},
                                     std::pair{Carrier::HeavyHole, 0.2}}) {
        const bool electron = kind == Carrier::Electron;
        const std::vector<int> bound =
            electron ? solveElectronStates(grid, solution, EigenSolverKind::Tridiagonal, observer)
                     : solveHoleStates(grid, solution, kind, EigenSolverKind::Tridiagonal, observer);
        for (int n : {0, 1, 2, 50, N - 1}) {
            const double depth = 2 * t(mass) * (1 - std::cos(n * M_PI / N));
            EXPECT_NEAR(solution.E[n], electron ? V + depth : V - Eg - depth, tolEnergy) << "state " << n;
        }
        EXPECT_EQ(bound, std::vector<int>{0});
    }
}

// Whether a hole kind holds holes anywhere is told from its levels alone. Three points 10 Angstrom
// apart, heavy-hole mass 0.2: the levels are Ev, Ev - t and Ev - 3t with t = 0.19 eV (7 kT). With Efp
// 35 kT above Ev the first level holds holes (exp(-35) is above half an ulp of 1) and the others none;
// 41 kT above Ev no level holds any.
TEST(BoundStates, OneOccupiedLevelMakesAHoleKindOccupied)
{
    Grid grid = electronGrid(3, constant(10e-10), constant(0.0), constant(0.2));
    for (double above : {35.0, 41.0}) {
        for (GridPoint& p : grid.points) {
            p.Eg = 1.0;
            p.Efp = -1.0 + above * 0.026;
        }
        EXPECT_EQ(holeStatesOccupied(grid, Carrier::HeavyHole), above < 40.0) << above << " kT";
    }
    EXPECT_GT(sheetOccupancy(35 * 0.026, 0.2 * m0, 300.0), 0.0);
}

// An eigen-solver failure is reported with the eigen-solver's message; the states it did not return
// are zero (an all-zero state is left as it is by the normalisation), far above every level, and
// carry no occupation.
TEST(BoundStates, AnEigenSolverFailureLeavesZeroStatesWithoutCarriers)
{
    const int N = 50;
    Grid grid = electronGrid(
        N, constant(1e-10), [](int i) { return i == 20 ? std::nan("") : 0.0; }, constant(0.067));
    for (const EigenSolverKind solver : {EigenSolverKind::Tridiagonal, EigenSolverKind::Dense}) {
        EigenSolution solution(N);
        CollectingObserver observer;
        EXPECT_TRUE(solveElectronStates(grid, solution, solver, observer).empty());
        EXPECT_EQ(observer.messages, std::vector<std::string>{"failed on dsyevx!"});
        EXPECT_EQ(solution.returned, 0);
        for (int k = 0; k < N; ++k) {
            EXPECT_EQ(solution.E[k], 1e6);
            for (int i = 0; i < N; ++i)
                ASSERT_EQ(solution.component(i, k), 0.0);
        }
        electronDensityFromStates(grid, solution);
        for (const GridPoint& p : grid.points)
            EXPECT_EQ(p.nBound, 0.0);
    }
}

// Two equal wells 4 nm apart in a 0.3 eV barrier, 5 Angstrom spacing, with mass, temperature and
// quasi-Fermi level changing along the grid. The spectrum reaches about 9 eV while nothing above
// Efn + 40 kT (about 1.04 eV) is occupied: a solve of the needed states computes psi for roughly a
// fifth of them, enough to share the vector stage between two threads, and must give the same levels,
// bound states and densities. Those densities are the sum over all states of the occupation at the
// point's own mass, Tn and Efn times psi^2, in state order, bit for bit: the occupation is evaluated
// once for a stretch of points that share all three.
TEST(BoundStates, TheNeededStatesGiveTheDensityOfAllStatesBitForBit)
{
    constexpr double tolEnergyOfWidth = 1e-10; // of the spectrum's width
    const int N = 1200;
    Grid grid = electronGrid(
        N, constant(5e-10), [](int i) { return (i >= 500 && i < 600) || (i >= 680 && i < 780) ? 0.0 : 0.3; },
        [](int i) { return i < 650 ? 0.067 : 0.07; });
    for (int i = 0; i < N; ++i) {
        grid.point(i).Tn = i < 600 ? 300.0 : 320.0;
        grid.point(i).Efn = i < 700 ? 0.0 : 0.05;
    }
    CollectingObserver observer;
    EigenSolution all(N);
    const std::vector<int> boundAll = solveElectronStates(grid, all, EigenSolverKind::Tridiagonal, observer);
    electronDensityFromStates(grid, all);
    for (int i = 0; i < N; ++i) {
        const GridPoint& p = grid.point(i);
        double sum = 0.0;
        for (int k = 0; k < N; ++k) {
            const double psi = all.component(i, k);
            sum += sheetOccupancy(all.E[k] - p.Efn, p.me * m0, p.Tn) * (psi * psi);
        }
        ASSERT_EQ(p.nBound, sum) << "point " << i;
    }

    const Grid gridAll = grid;
    EigenSolution needed(N);
    EXPECT_EQ(solveElectronStates(grid, needed, EigenSolverKind::Tridiagonal, observer, StateScope::Needed),
              boundAll);
    electronDensityFromStates(grid, needed);
    EXPECT_TRUE(observer.messages.empty());
    ASSERT_FALSE(boundAll.empty());
    EXPECT_GE(needed.withVectors, neededStates(grid, Carrier::Electron));
    EXPECT_GT(neededStates(grid, Carrier::Electron), 200);
    EXPECT_LT(needed.withVectors, N / 2);
    for (int k = 0; k < N; ++k)
        ASSERT_NEAR(needed.E[k], all.E[k], tolEnergyOfWidth * (all.E[N - 1] - all.E[0])) << "state " << k;
    for (int i = 0; i < N; ++i)
        ASSERT_EQ(grid.point(i).nBound, gridAll.point(i).nBound) << "point " << i;
}
