// The Schroedinger phase of a solve: the status it leaves, the files of its last pass, the two
// eigen-solvers giving the same states and densities, and the memory check before it starts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/bound_states.h"
#include "engine/eigenstate_dump.h"
#include "engine/grid.h"
#include "model/observer.h"
#include "engine/schroedinger.h"
#include "engine/solve_driver.h"
#include "engine/document.h"
#include "tests/engine/bound_state_grids.h"
#include "tests/engine/test_structures.h"

using namespace tervane;
using namespace tervane::schroedinger_testing;

namespace {

namespace structures = tervane::testing;

// Al(x)Ga(1-x)As of the standard materials library (Vurgaftman, Meyer and Ram-Mohan 2001).
Material aluminiumGalliumArsenide()
{
    Material m = structures::gaAs();
    m.name = "AlGaAs";
    m.type = Ternary;
    m.Eg = {1.42248, 1.60121, -0.65013};
    m.dEc = {0.62248, 1.07121, -0.65013};
    m.eps = {12.9, -2.84, 0};
    m.EdDeep = {0.14, 0, 0};
    m.me = {0.067, 0.083, 0};
    m.mhh = {0.34965, 0.12205, 0};
    m.mlh = {0.09009, 0.0951, 0};
    return m;
}

// A 100 Angstrom GaAs well between 400 Angstrom Al0.3Ga0.7As barriers doped with 1e16 cm^-3 donors,
// 5 Angstrom spacing: the barriers' electrons gather in the well; hole levels lie far below the Fermi
// level and are empty.
Document quantumWell()
{
    Document d;
    d.materials = {structures::gaAs(), aluminiumGalliumArsenide()};
    d.layers = {structures::layer("AlGaAs", 400, 5, 1e16, 0, 0.3), structures::layer("GaAs", 100, 5),
                structures::layer("AlGaAs", 400, 5, 1e16, 0, 0.3)};
    d.polarizationOn = false;
    d.schroedingerOn = true;
    return d;
}

// The same well undoped: the Fermi level lies near mid-gap, about 27 kT from both band edges, so both
// electrons and holes are present in small numbers and every hole kind is solved for states.
Document undopedWell()
{
    Document d = quantumWell();
    d.layers[0].Nd = 0.0;
    d.layers[2].Nd = 0.0;
    return d;
}

// 250 Angstrom of Al0.25Ga0.75N on 1000 Angstrom of GaN, Fixed left contact at 1.2 eV, polarization
// on: a two-dimensional electron gas, and hole levels more than 3 eV below the Fermi level, so empty.
Document hemt()
{
    Document d;
    d.materials = {structures::gaN(), structures::alGaN()};
    d.layers = {structures::layer("AlGaN", 250, 5, 0, 0, 0.25), structures::layer("GaN", 1000, 5, 1e16)};
    d.grid.leftContact = ContactKind::Fixed;
    d.grid.leftBarrier = 1.2;
    d.schroedingerOn = true;
    return d;
}

int lineCount(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// Relative agreement of two density profiles wherever the first is above 1e-12 of its largest value.
void expectSameDensities(const std::vector<double>& a, const std::vector<double>& b, const char* what)
{
    constexpr double tolDensity = 1e-9;
    constexpr double relevantFraction = 1e-12;
    ASSERT_EQ(a.size(), b.size());
    const double largest = a.empty() ? 0.0 : *std::max_element(a.begin(), a.end());
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] > relevantFraction * largest)
            EXPECT_NEAR(b[i] / a[i], 1.0, tolDensity) << what << " at point " << i;
        else
            EXPECT_LE(b[i], 2 * relevantFraction * largest) << what << " at point " << i;
    }
}

std::vector<double> profile(const Grid& grid, double GridPoint::*density)
{
    std::vector<double> values;
    for (const GridPoint& p : grid.points)
        values.push_back(p.*density);
    return values;
}

} // namespace

// With an iteration limit of 0 exactly one pass runs: the status shows one iteration and the bound
// electron states of that pass, which started from the classical potential; the hole files are written
// when the valence band is solved too.
TEST(SchroedingerPhase, OnePassWhenTheIterationLimitIsZero)
{
    Document classical = quantumWell();
    classical.schroedingerOn = false;
    CollectingObserver observer;
    ASSERT_TRUE(solve(classical, observer));
    EigenSolution solution(classical.grid.count);
    const auto expectedBound = static_cast<int>(
        solveElectronStates(classical.grid, solution, EigenSolverKind::Tridiagonal, observer).size());
    ASSERT_GT(expectedBound, 0);

    for (const bool valence : {false, true}) {
        ScratchDirectory scratch;
        Document d = quantumWell();
        d.valenceSchroedingerOn = valence;
        d.schroedingerIterations = 0;
        d.schroedingerSettings.dumpDirectory = scratch.string();
        d.schroedingerSettings.eigenstateFiles = true;
        ASSERT_TRUE(solve(d, observer));
        EXPECT_TRUE(observer.messages.empty());
        EXPECT_EQ(d.iterations, 1);
        EXPECT_EQ(d.boundStates, expectedBound);
        EXPECT_GT(d.solverError, 0.0);
        const int N = d.grid.count;
        // The contacts keep their classical carriers.
        for (int i = 0; i < N; ++i)
            ASSERT_EQ(d.grid.modeAt(i), i == 0 || i == N - 1 ? DensityMode::Classical
                                        : valence            ? DensityMode::BoundElectronsAndHoles
                                                             : DensityMode::BoundElectrons)
                << "point " << i;
        EXPECT_GT(d.grid.point(N / 2).nBound, 1e22); // a sheet of about 1e11 cm^-2 over 100 Angstrom
        EXPECT_EQ(lineCount(readFile(scratch.path() / electronStatesFile)), N + 1);
        EXPECT_EQ(std::filesystem::exists(scratch.path() / lightHoleStatesFile), valence);
        EXPECT_EQ(std::filesystem::exists(scratch.path() / heavyHoleStatesFile), valence);
    }
}

// The dense eigen-solver, which solves every state of every kind, and the tridiagonal one, which
// solves only the states needed and passes over empty hole kinds, give the same solve: the same
// densities, status and bound states, pass after pass.
class EigenSolversAgree : public ::testing::TestWithParam<Document (*)()> {};

TEST_P(EigenSolversAgree, OnTheWholeSolve)
{
    Document tridiagonal = GetParam()();
    Document dense = GetParam()();
    for (Document* d : {&tridiagonal, &dense}) {
        d->valenceSchroedingerOn = true;
        d->schroedingerIterations = 3;
    }
    ScratchDirectory scratch;
    tridiagonal.schroedingerSettings.dumpDirectory = scratch.string();
    tridiagonal.schroedingerSettings.eigenstateFiles = true;
    dense.schroedingerSettings.dumpDirectory = scratch.string();
    dense.schroedingerSettings.eigenstateFiles = true;
    dense.schroedingerSettings.eigenSolver = EigenSolverKind::Dense;
    CollectingObserver observer;
    ASSERT_TRUE(solve(tridiagonal, observer));
    ASSERT_TRUE(solve(dense, observer));
    EXPECT_TRUE(observer.messages.empty());

    EXPECT_EQ(dense.iterations, tridiagonal.iterations);
    EXPECT_EQ(dense.boundStates, tridiagonal.boundStates);
    EXPECT_GT(tridiagonal.boundStates, 0);
    expectSameDensities(profile(tridiagonal.grid, &GridPoint::nBound),
                        profile(dense.grid, &GridPoint::nBound), "nBound");
    expectSameDensities(profile(tridiagonal.grid, &GridPoint::pBound),
                        profile(dense.grid, &GridPoint::pBound), "pBound");
    // Where no hole state holds a hole (the doped well, the HEMT), pBound is exactly zero, as the sum of
    // zero occupations is; the undoped well has holes in its states.
    const Grid& grid = tridiagonal.grid;
    if (holeStatesOccupied(grid, Carrier::LightHole) || holeStatesOccupied(grid, Carrier::HeavyHole)) {
        EXPECT_GT(grid.point(grid.count / 2).pBound, 0.0);
    } else {
        for (const GridPoint& p : grid.points)
            ASSERT_EQ(p.pBound, 0.0);
    }
}

// On one grid, every carrier kind: the same levels (to 1e-10 of the spectrum's width), the same bound
// states, and the same bound wavefunctions up to their arbitrary sign.
TEST_P(EigenSolversAgree, OnEveryCarrierKind)
{
    constexpr double tolLevel = 1e-10; // of the spectrum's width
    constexpr double tolState = 1e-7;  // of the state's largest component
    Document d = GetParam()();
    d.schroedingerOn = false;
    CollectingObserver observer;
    ASSERT_TRUE(solve(d, observer));
    const Grid& grid = d.grid;
    const int N = grid.count;

    for (int kind = 0; kind < 3; ++kind) {
        EigenSolution tridiagonal(N);
        EigenSolution dense(N);
        const auto solveWith = [&](EigenSolution& solution, EigenSolverKind solver) {
            if (kind == 0)
                return solveElectronStates(grid, solution, solver, observer);
            return solveHoleStates(grid, solution, kind == 1 ? Carrier::LightHole : Carrier::HeavyHole, solver,
                                   observer);
        };
        const std::vector<int> boundTridiagonal = solveWith(tridiagonal, EigenSolverKind::Tridiagonal);
        const std::vector<int> boundDense = solveWith(dense, EigenSolverKind::Dense);
        EXPECT_TRUE(observer.messages.empty());
        EXPECT_EQ(boundTridiagonal, boundDense) << "kind " << kind;

        const double width = std::fabs(tridiagonal.E[static_cast<std::size_t>(N - 1)] - tridiagonal.E[0]);
        for (int k = 0; k < N; ++k)
            ASSERT_NEAR(tridiagonal.E[static_cast<std::size_t>(k)], dense.E[static_cast<std::size_t>(k)],
                        tolLevel * width)
                << "kind " << kind << " state " << k;
        for (int k : boundTridiagonal) {
            const double* a = tridiagonal.state(k);
            const double* b = dense.state(k);
            double largest = 0.0;
            double dot = 0.0;
            for (int i = 0; i < N; ++i) {
                largest = std::max(largest, std::fabs(a[i]));
                dot += a[i] * b[i];
            }
            const double sign = dot < 0 ? -1.0 : 1.0;
            for (int i = 0; i < N; ++i)
                ASSERT_NEAR(a[i], sign * b[i], tolState * largest)
                    << "kind " << kind << " state " << k << " point " << i;
        }
    }
}

std::string structureName(const ::testing::TestParamInfo<Document (*)()>& info)
{
    static const char* const names[] = {"DopedWell", "UndopedWell", "Hemt"};
    return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(Structures, EigenSolversAgree, ::testing::Values(&quantumWell, &undopedWell, &hemt),
                         structureName);

// The phase writes its files once, at the end, from the states of its last pass: they must be the
// files that writing on every pass would have left behind, and writing them must leave the final
// potential as it was. With holes in their states, and with hole kinds passed over as empty.
class FilesOfTheLastPass : public ::testing::TestWithParam<Document (*)()> {};

TEST_P(FilesOfTheLastPass, AreThoseOfPerPassWriting)
{
    Document d = GetParam()();
    d.schroedingerOn = false;
    CollectingObserver observer;
    ASSERT_TRUE(solve(d, observer));
    Grid& grid = d.grid;
    const int N = grid.count;
    ScratchDirectory phaseFiles;
    ScratchDirectory passFiles;
    SchroedingerSettings settings;
    settings.dumpDirectory = phaseFiles.string();
    settings.eigenstateFiles = true;
    Grid lastPassStart;
    {
        SchroedingerPhase phase(grid, settings, observer);
        ASSERT_TRUE(phase.prepare(true));
        for (int pass = 0; pass < 2; ++pass) {
            lastPassStart = grid;
            phase.pass(true);
            static_cast<void>(grid.poissonStep(DensityMode::BoundElectronsAndHoles, observer));
        }
        const Grid final = grid;
        phase.finish();
        for (int i = 0; i < N; ++i)
            ASSERT_EQ(grid.point(i).phi, final.point(i).phi) << "point " << i;
    }
    EXPECT_TRUE(observer.messages.empty());

    // What a pass that wrote its own files would have written.
    EigenSolution solution(N);
    for (const std::string name : {electronStatesFile, lightHoleStatesFile, heavyHoleStatesFile}) {
        if (name == electronStatesFile)
            solveElectronStates(lastPassStart, solution, EigenSolverKind::Tridiagonal, observer);
        else
            solveHoleStates(lastPassStart, solution,
                            name == lightHoleStatesFile ? Carrier::LightHole : Carrier::HeavyHole,
                            EigenSolverKind::Tridiagonal, observer);
        writeEigenStates(lastPassStart, solution, (passFiles.path() / name).string(), observer);
        const std::string written = readFile(phaseFiles.path() / name);
        EXPECT_EQ(lineCount(written), N + 1) << name;
        EXPECT_TRUE(written == readFile(passFiles.path() / name)) << name << " differs";
    }
}

INSTANTIATE_TEST_SUITE_P(Structures, FilesOfTheLastPass, ::testing::Values(&undopedWell, &hemt),
                         [](const ::testing::TestParamInfo<Document (*)()>& info) {
                             return std::string(info.index == 0 ? "UndopedWell" : "Hemt");
                         });

// One N by N table of doubles is the whole cost that grows with N^2; the dense eigen-solver adds its
// matrix. N = 10,000 fits in 1 GB.
TEST(SchroedingerPhase, MemoryNeed)
{
    constexpr double oneGigabyte = 1e9;
    EXPECT_LT(schroedingerMemoryNeed(10000, EigenSolverKind::Tridiagonal, 10000), oneGigabyte);
    EXPECT_GE(schroedingerMemoryNeed(10000, EigenSolverKind::Tridiagonal, 10000), 8.0 * 10000 * 10000);
    EXPECT_GE(schroedingerMemoryNeed(10000, EigenSolverKind::Dense, 100), 2 * 8.0 * 10000 * 10000);
    EXPECT_GT(availableMemory(), 0.0);
}

// 300,000 points would need 720 GB of eigenvectors: the phase says so before allocating anything and
// the solve keeps its classical result.
TEST(SchroedingerPhase, AGridTooLargeForMemoryKeepsTheClassicalResult)
{
    constexpr int points = 300000;
    ASSERT_GT(schroedingerMemoryNeed(points, EigenSolverKind::Tridiagonal, points), availableMemory());
    ScratchDirectory scratch;
    Document d;
    d.materials = {structures::gaAs()};
    d.layers = {structures::layer("GaAs", points, 1, 1e16)};
    d.polarizationOn = false;
    d.poissonIterations = 3;
    d.schroedingerSettings.dumpDirectory = scratch.string();
    d.schroedingerSettings.eigenstateFiles = true;
    Document classical = d;
    d.schroedingerOn = true;
    CollectingObserver observer;
    ASSERT_TRUE(solve(d, observer));
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].rfind(
                  "Not enough memory for the Schroedinger solver: 300000 grid points need", 0),
              0u)
        << observer.messages[0];
    ASSERT_TRUE(solve(classical, observer));
    ASSERT_EQ(d.grid.count, points);
    EXPECT_EQ(d.iterations, classical.iterations);
    EXPECT_EQ(d.solverError, classical.solverError);
    EXPECT_EQ(d.boundStates, 0);
    EXPECT_EQ(d.grid.modeAt(points / 2), DensityMode::Classical);
    EXPECT_FALSE(std::filesystem::exists(scratch.path() / electronStatesFile));
}
