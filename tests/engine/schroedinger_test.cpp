// The Schroedinger phase of a solve (the two eigen-solvers giving the same solve, the files of its
// last pass, the memory check before it starts) and the eigenstate files, whose numbers must be the
// text printf writes, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/bound_states.h"
#include "engine/eigenstate_dump.h"
#include "engine/schroedinger.h"
#include "engine/solve_driver.h"
#include "model/observer.h"
#include "tests/engine/test_structures.h"

using namespace tervane;
using namespace tervane::testing;

namespace {

// Al(x)Ga(1-x)As of the standard materials library (Vurgaftman, Meyer and Ram-Mohan 2001).
Material alGaAs()
{
    Material m = gaAs();
    m.name = "AlGaAs";
    m.Eg = {1.42248, 1.60121, -0.65013};
    m.dEc = {0.62248, 1.07121, -0.65013};
    m.eps = {12.9, -2.84, 0};
    m.me = {0.067, 0.083, 0};
    m.mhh = {0.34965, 0.12205, 0};
    m.mlh = {0.09009, 0.0951, 0};
    return m;
}

// A 100 Angstrom GaAs well between 400 Angstrom Al0.3Ga0.7As barriers, 5 Angstrom spacing. With 1e16
// cm^-3 donors in the barriers their electrons gather in the well and the hole levels lie far below the
// Fermi level, empty. Undoped, the Fermi level lies near mid-gap, about 27 kT from both band edges, so a
// few electrons and holes are in the states. The HEMT: 250 Angstrom of Al0.25Ga0.75N on 1000 Angstrom of
// GaN, Fixed left contact at 1.2 eV, polarization on: a two-dimensional electron gas, and hole levels
// more than 3 eV below the Fermi level, so empty. Electron and hole states are solved in all three.
Document structure(const std::string& name)
{
    const double Nd = name == "DopedWell" ? 1e16 : 0.0;
    Document d = document({gaAs(), alGaAs()}, {layer("AlGaAs", 400, 5, Nd, 0, 0.3), layer("GaAs", 100, 5),
                                               layer("AlGaAs", 400, 5, Nd, 0, 0.3)});
    if (name == "Hemt") {
        d = document({gaN(), alGaN()}, {layer("AlGaN", 250, 5, 0, 0, 0.25), layer("GaN", 1000, 5, 1e16)},
                     true);
        d.grid.leftContact = ContactKind::Fixed;
        d.grid.leftBarrier = 1.2;
    }
    d.schroedingerOn = true;
    d.valenceSchroedingerOn = true;
    return d;
}

class Structures : public ::testing::TestWithParam<const char*> {};

} // namespace

// The dense eigen-solver, which solves every state of every kind, and the tridiagonal one, which
// solves only the states needed, follows them from pass to pass and passes over empty hole kinds, give
// the same solve: the same status, bound states and densities (to 1e-9 wherever they are above 1e-12
// of their largest value), after three passes. Holes are in the states of the undoped well only;
// elsewhere pBound is exactly zero, as the sum of zero occupations is.
TEST_P(Structures, EigenSolversGiveTheSameSolve)
{
    constexpr double tolDensity = 1e-9;
    constexpr double relevantFraction = 1e-12;
    Document tridiagonal = structure(GetParam());
    Document dense = structure(GetParam());
    dense.schroedingerSettings.eigenSolver = EigenSolverKind::Dense;
    ScratchFolder scratch;
    CollectingObserver observer;
    for (Document* d : {&tridiagonal, &dense}) {
        d->schroedingerIterations = 3;
        d->schroedingerSettings.dumpDirectory = scratch.path();
        d->schroedingerSettings.eigenstateFiles = true;
        ASSERT_TRUE(solve(*d, observer));
    }
    EXPECT_TRUE(observer.messages.empty());
    EXPECT_EQ(dense.iterations, tridiagonal.iterations);
    EXPECT_EQ(dense.boundStates, tridiagonal.boundStates);
    EXPECT_GT(tridiagonal.boundStates, 0);
    double largest = 0.0; // of the density compared last, pBound
    for (double GridPoint::*density : {&GridPoint::nBound, &GridPoint::pBound}) {
        largest = 0.0;
        for (const GridPoint& p : tridiagonal.grid.points)
            largest = std::max(largest, p.*density);
        for (int i = 0; i < tridiagonal.grid.count; ++i) {
            const double a = tridiagonal.grid.point(i).*density;
            const double b = dense.grid.point(i).*density;
            if (a > relevantFraction * largest)
                EXPECT_NEAR(b / a, 1.0, tolDensity) << "point " << i;
            else
                EXPECT_LE(b, 2 * relevantFraction * largest) << "point " << i;
        }
    }
    EXPECT_EQ(largest > 0.0, std::string(GetParam()) == "UndopedWell");
}

// With an iteration limit of 0 exactly one pass runs, from the classical potential: the status shows
// one iteration and the bound electron states of that potential, the inner points take their densities
// from the states, and the files, written once at the end, are those the states of that potential give,
// also for the hole kinds the pass itself passed over as empty.
TEST_P(Structures, OnePassWritesTheFilesOfThePotentialItStartedFrom)
{
    Document classical = structure(GetParam());
    classical.schroedingerOn = false;
    CollectingObserver observer;
    ASSERT_TRUE(solve(classical, observer));
    ScratchFolder phaseFiles;
    ScratchFolder passFiles;
    Document d = structure(GetParam());
    d.schroedingerIterations = 0;
    d.schroedingerSettings.dumpDirectory = phaseFiles.path();
    d.schroedingerSettings.eigenstateFiles = true;
    ASSERT_TRUE(solve(d, observer));
    EXPECT_TRUE(observer.messages.empty());
    EXPECT_EQ(d.iterations, 1);
    EXPECT_EQ(d.grid.modeAt(d.grid.count / 2), DensityMode::BoundElectronsAndHoles);

    const int N = classical.grid.count;
    EigenSolution solution(N);
    const auto bound = solveElectronStates(classical.grid, solution, EigenSolverKind::Tridiagonal, observer);
    EXPECT_EQ(d.boundStates, static_cast<int>(bound.size()));
    for (const std::string name : {electronStatesFile, lightHoleStatesFile, heavyHoleStatesFile}) {
        const Carrier kind = name == lightHoleStatesFile ? Carrier::LightHole : Carrier::HeavyHole;
        if (name != electronStatesFile)
            solveHoleStates(classical.grid, solution, kind, EigenSolverKind::Tridiagonal, observer);
        ASSERT_TRUE(writeEigenStates(classical.grid, solution, passFiles.path(name), observer));
        const std::string written = readFile(phaseFiles.path(name));
        EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), N + 1) << name;
        EXPECT_TRUE(written == readFile(passFiles.path(name))) << name << " differs";
    }
}

INSTANTIATE_TEST_SUITE_P(All, Structures, ::testing::Values("DopedWell", "UndopedWell", "Hemt"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return info.param; });

// 300,000 points would need 720 GB of eigenvectors: the phase says so before allocating anything and
// the solve keeps its classical result.
TEST(SchroedingerPhase, AGridTooLargeForMemoryKeepsTheClassicalResult)
{
    constexpr int points = 300000;
    ASSERT_GT(schroedingerMemoryNeed(points, EigenSolverKind::Tridiagonal, points), availableMemory());
    ScratchFolder scratch;
    Document d = document({gaAs()}, {layer("GaAs", points, 1, 1e16)});
    d.schroedingerOn = true;
    d.schroedingerSettings.dumpDirectory = scratch.path();
    d.schroedingerSettings.eigenstateFiles = true;
    CollectingObserver observer;
    ASSERT_TRUE(solve(d, observer));
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].find("Not enough memory for the Schroedinger solver: 300000 grid"), 0u);
    EXPECT_LT(d.solverError, 1e-5);
    EXPECT_EQ(d.boundStates, 0);
    EXPECT_EQ(d.grid.modeAt(points / 2), DensityMode::Classical);
    EXPECT_FALSE(std::filesystem::exists(scratch.path(electronStatesFile)));
}

// The hand-made "%.4f" against the C library's: exact ties (0.03125 and 0.09375 go to the even digit),
// values just above a tie (1.00005, 0.99995) or below one (12345.67895), negative values that round to
// zero, huge and non-finite values; then values of every size the files hold, and values within a few
// ulps of a rounding tie.
TEST(EigenstateDump, FourDecimalsAsPrintfWritesThem)
{
    const auto fixed4 = [](double value) {
        char buffer[maxFixed4Length];
        return std::string(buffer, formatFixed4(buffer, value));
    };
    const auto printed = [](double value) {
        char buffer[400];
        const int length = std::snprintf(buffer, sizeof buffer, "%.4f", value);
        return std::string(buffer, static_cast<std::size_t>(length));
    };
    for (double value : {-0.0, -1e-5, 2.5e-5, 5e-5, -5e-5, 0.03125, 0.09375, 1.00005, 0.99995, 12345.67895,
                         123456789.123, -1e20, HUGE_VAL, -HUGE_VAL, std::nan("")})
        EXPECT_EQ(fixed4(value), printed(value));
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-8, 12);
    std::uniform_int_distribution<long long> units(-2000000000LL, 2000000000LL);
    std::uniform_int_distribution<int> ulps(-4, 4);
    for (int n = 0; n < 20000; ++n) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        ASSERT_EQ(fixed4(value), printed(value));
        double tie = (static_cast<double>(units(random)) + 0.5) / 1e4;
        for (int step = ulps(random); step != 0; step += step > 0 ? -1 : 1)
            tie = std::nextafter(tie, step > 0 ? 1e300 : -1e300);
        ASSERT_EQ(fixed4(tie), printed(tie));
    }
}

// Every field is followed by a tab: a first line of "0.0" and the M returned energies, then for the
// first M points the position in Angstrom (summed over the spacings, here 1.234, 1.734 and 2.234) and
// the components of all N states. A file that cannot be opened is reported.
TEST(EigenstateDump, FileLayout)
{
    ScratchFolder scratch;
    const int N = 5;
    const Grid grid = electronGrid(
        N, [](int i) { return (1.234 + 0.5 * i) * 1e-10; }, constant(0.0), constant(0.067));
    EigenSolution solution(N);
    solution.table(N);
    solution.returned = 4;
    for (int k = 0; k < N; ++k) {
        solution.E[k] = k < 4 ? 0.1 * k : 1e6;
        for (int i = 0; i < N; ++i)
            solution.state(k)[i] = k < 4 ? 1000.0 * (i + 1) + k : 0.0;
    }
    CollectingObserver observer;
    ASSERT_TRUE(writeEigenStates(grid, solution, scratch.path(heavyHoleStatesFile), observer));
    EXPECT_EQ(readFile(scratch.path(heavyHoleStatesFile)),
              "0.0\t0.0000\t0.1000\t0.2000\t0.3000\t\n"
              "0.00\t1000.0000\t1001.0000\t1002.0000\t1003.0000\t0.0000\t\n"
              "1.23\t2000.0000\t2001.0000\t2002.0000\t2003.0000\t0.0000\t\n"
              "2.97\t3000.0000\t3001.0000\t3002.0000\t3003.0000\t0.0000\t\n"
              "5.20\t4000.0000\t4001.0000\t4002.0000\t4003.0000\t0.0000\t\n");
    const std::string expected = readFile(scratch.path(heavyHoleStatesFile));
    EXPECT_FALSE(writeEigenStates(grid, solution, scratch.path("missing/qstates.dat"), observer));
    EXPECT_EQ(observer.messages, std::vector<std::string>{"Can't open dump file for schrodinger solution"});

    // The same file from blocks of states, the later block first, joined from their fragments, which
    // are gone afterwards.
    {
        EigenStateStream stream(grid, scratch.path(electronStatesFile));
        for (const int first : {2, 0}) {
            EigenSolution block(N);
            block.table(2);
            block.first = first;
            block.withVectors = first + 2;
            for (int k = first; k < first + 2; ++k)
                std::copy(solution.state(k), solution.state(k) + N, block.state(k));
            stream.add(block);
        }
        ASSERT_TRUE(stream.finish(solution, observer));
    }
    EXPECT_EQ(readFile(scratch.path(electronStatesFile)), expected);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(scratch.path("")))
        ++files;
    EXPECT_EQ(files, 2);
}
