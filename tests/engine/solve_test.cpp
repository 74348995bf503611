// The classical solve against worked-out values (carrier statistics, neutral and fixed contacts, the
// polarization potential, damped Newton steps, the sheet density, the refusal of a solution that is not
// finite) and whole devices against textbook results: a pn junction's built-in potential and depletion
// width, and the C-V profile of a Schottky contact.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/cv_profile.h"
#include "engine/solve_driver.h"
#include "model/constants.h"
#include "model/observer.h"
#include "tests/engine/test_structures.h"

using namespace tervane;
using namespace tervane::testing;

namespace {
constexpr double kT300 = 0.026; // kB * 300 K, eV
}

// A donor level at the Fermi level is one third ionized (degeneracy 2), and with full ionization deep
// donors do not count. A subband far below the Fermi level holds m E / (pi hbar^2) carriers per unit
// area, with this model's pi = 3.14.
TEST(CarrierStatistics, IonizationAndSubbandOccupation)
{
    GridPoint p;
    p.dEc = 1.0;
    p.EdDeep = 0.5;
    p.Efn = 0.5;
    p.Ndd = 1e24;
    EXPECT_NEAR(p.ionizedDonors(), 1e24 / 3.0, 1e24 * 1e-12);
    p.fullyIonized = true;
    EXPECT_EQ(p.ionizedDonors(), 0.0);
    const double m = 0.2 * m0;
    EXPECT_NEAR(sheetOccupancy(-1.0, m, 300) / (1.0 * m * q / (3.14 * hbarSquared)), 1.0, 1e-12);
}

// A uniform n-type, p-type or undoped layer between neutral contacts ends neutral: n - p = Nd - Na at
// every point, up to the contacts' bisection tolerance of 1e-6 V, i.e. 4e-5 of the carriers. A doped
// layer starts there, so one Newton step ends its solve (an undoped one starts at mid-gap, where n and
// p differ by the ratio of the effective densities of states). The sheet density of the n-type layer is
// the trapezoid of n dx over the chosen range of points (by default the first interval), clipped at
// the last point.
TEST(ClassicalSolve, UniformLayersEndNeutralAndHoldTheirSheetDensity)
{
    constexpr double tolBracket = 1e-6; // V
    constexpr double tolDensity = 4e-5; // relative: exp(1e-6 V / kT) - 1
    CollectingObserver observer;
    for (const auto& [Nd, Na] : {std::pair{1e17, 0.0}, std::pair{0.0, 1e17}, std::pair{0.0, 0.0}}) {
        Document doc = document({gaAs()}, {layer("GaAs", 1000, 10, Nd, Na)});
        ASSERT_TRUE(solve(doc, observer));
        EXPECT_LT(std::fabs(doc.solverError), tolBracket);
        EXPECT_TRUE(doc.iterations == 1 || Nd + Na == 0) << doc.iterations << " iterations";
        for (int i : {0, 50, 99}) {
            const GridPoint& p = doc.grid.point(i);
            const double n = p.electronDensity(DensityMode::Classical);
            const double h = p.holeDensity(DensityMode::Classical);
            EXPECT_NEAR(n - h, (Nd - Na) * 1e6, tolDensity * std::max(n, h)) << "Nd " << Nd << " Na " << Na;
        }
        if (Nd == 0.0)
            continue;
        const double interval = 1e23 * 10e-10 * 1e-4; // cm^-2
        EXPECT_NEAR(doc.sheetCharge, interval, interval * tolDensity);
        for (const auto& [first, last, intervals] : {std::tuple{10, 60, 51}, {60, 10, 0}, {90, 5000, 9}}) {
            setChargeRange(doc, first, last);
            EXPECT_NEAR(doc.sheetCharge, intervals * interval, intervals * interval * tolDensity) << first;
        }
    }
    EXPECT_TRUE(observer.messages.empty());
}

// 250 Angstrom of Al0.25Ga0.75N on GaN between fixed contacts: a polarization step P at the first point
// and -P at the interface, a phiPol that falls with the slope -q P / eps through the AlGaN from 0 at the
// left contact and stays flat through the GaN, and Ec held at the barrier at either contact, also
// where phiPol is not zero.
TEST(ClassicalSolve, PolarizationPotentialAndFixedContacts)
{
    Document doc =
        document({gaN(), alGaN()}, {layer("AlGaN", 250, 5, 0, 0, 0.25), layer("GaN", 2000, 10, 1e16)}, true);
    doc.grid.leftContact = doc.grid.rightContact = ContactKind::Fixed;
    doc.grid.leftBarrier = 0.8;
    doc.grid.rightBarrier = 0.3;
    CollectingObserver observer;
    ASSERT_TRUE(solve(doc, observer));
    EXPECT_LE(doc.solverError, 1e-5);
    const double P = alGaN().polarization.polarizationAt(0.25, 1.0, 3.189, -0.029);
    const double slope = -q * P / ((9.5 - 0.5 * 0.25) * eps0); // V/m
    const Grid& g = doc.grid;
    for (int i = 0; i < g.count; ++i) {
        EXPECT_EQ(g.point(i).dP, i == 0 ? P : i == 50 ? -P : 0.0) << "point " << i;
        EXPECT_NEAR(g.point(i).phiPol, slope * std::min(i, 50) * 5e-10, std::fabs(slope) * 1e-18)
            << "point " << i;
    }
    EXPECT_NEAR(g.point(0).conductionEdge(), 0.8, 1e-12);
    EXPECT_NEAR(g.point(g.count - 1).conductionEdge(), 0.3, 1e-12);
}

// A damped Newton step moves the inner points by the damping times the update, reports the full
// update, and never moves the contacts. A zero pivot (no permittivity, no carriers) fails the step
// without touching the potential.
TEST(PoissonStep, DampingMovesHalfTheUpdateAndAZeroPivotNothing)
{
    Document doc = document({gaAs()}, {layer("GaAs", 500, 10, 1e17), layer("GaAs", 500, 10, 0, 1e17)});
    doc.poissonIterations = 0;
    CollectingObserver observer;
    ASSERT_TRUE(solve(doc, observer));
    Grid full = doc.grid;
    Grid half = doc.grid;
    half.damping = 0.5;
    const double error = full.poissonStep(DensityMode::Classical, observer);
    EXPECT_EQ(half.poissonStep(DensityMode::Classical, observer), error);
    EXPECT_GT(error, 0.01);
    for (int i : {10, 49, 50, 51, 90}) {
        const double fullMove = full.point(i).phi - doc.grid.point(i).phi;
        EXPECT_NEAR(half.point(i).phi - doc.grid.point(i).phi, 0.5 * fullMove, 1e-12) << "point " << i;
    }
    EXPECT_EQ(full.point(0).phi, doc.grid.point(0).phi);
    EXPECT_EQ(full.point(99).phi, doc.grid.point(99).phi);

    Grid g(3);
    g.dx = {1e-9, 1e-9};
    g.point(1).Efn = -100; // no electrons, and no holes at all
    g.point(1).phi = 0.25;
    EXPECT_EQ(g.poissonStep(DensityMode::Classical, observer), -1.0);
    EXPECT_EQ(observer.messages, std::vector<std::string>{"error in matrix solver\n"});
    EXPECT_EQ(g.point(1).phi, 0.25);
}

// A solution that is not finite is refused, naming the layer whose values make it so; the grid is
// emptied so that no view or export shows it.
TEST(SolveDriver, RefusesASolutionThatIsNotFinite)
{
    Material bad = gaAs();
    bad.name = "Bad";
    bad.Eg = {std::nan(""), 0, 0};
    Document doc = document({gaAs(), bad}, {layer("GaAs", 500, 10, 1e17), layer("Bad", 500, 10, 1e17)});
    CollectingObserver observer;
    EXPECT_FALSE(solve(doc, observer));
    ASSERT_FALSE(observer.messages.empty());
    EXPECT_EQ(observer.messages.back(), "Layer 1 (Bad): the solution is not finite (NaN or infinity); check "
                                        "the layer and its material parameters");
    EXPECT_EQ(doc.grid.count, 0);
    EXPECT_TRUE(std::isnan(doc.solverError));
}

// 1e17 cm^-3 on both sides of a GaAs junction. With the fixed effective densities of states the
// built-in potential is Vbi = Eg + kT ln(Na Nd / (Nc0 Nv0)) (to 1 meV: contact bisection and minority
// carriers), and the depletion width, between the points where the majority density has fallen to
// half its doping, is W = sqrt(2 eps (Vbi - 2kT) (Na + Nd) / (q Na Nd)) (to 3 %: the 2kT stands for
// the majority-carrier tails).
TEST(PnJunction, BuiltInPotentialAndDepletionWidth)
{
    constexpr double tolBuiltIn = 1e-3;
    constexpr double tolDepletionWidth = 0.03;
    constexpr double N = 1e23;
    Document doc = document({gaAs()}, {layer("GaAs", 10000, 10, 0, 1e17), layer("GaAs", 10000, 10, 1e17, 0)});
    CollectingObserver observer;
    ASSERT_TRUE(solve(doc, observer));
    EXPECT_LE(doc.solverError, 1e-5);
    EXPECT_EQ(observer.progressCount, (doc.iterations + 4) / 5); // a repaint every fifth step
    const Grid& g = doc.grid;
    const double Vbi = 1.42248 + kT300 * std::log(N * N / (Nc0 * Nv0));
    EXPECT_NEAR(g.point(0).conductionEdge() - g.point(g.count - 1).conductionEdge(), Vbi, tolBuiltIn);
    double x = 0, xp = 0, xn = 0;
    for (int i = 0; i + 1 < g.count; ++i) {
        if (i < g.count / 2 && g.point(i).holeDensity(DensityMode::Classical) > N / 2)
            xp = x;
        if (i >= g.count / 2 && g.point(i).electronDensity(DensityMode::Classical) < N / 2)
            xn = x;
        x += g.dx[i];
    }
    const double W = std::sqrt(2 * 12.9 * eps0 * (Vbi - 2 * kT300) * (2 * N) / (q * N * N));
    EXPECT_NEAR((xn - xp) / W, 1.0, tolDepletionWidth) << "W = " << W << " m, measured " << (xn - xp);
}

// A 1 eV Schottky barrier on GaN with 1e17 cm^-3 donors, swept from 0 to 2 V in 0.5 V steps:
// d(1/C^2)/dV = 2 / (q eps Nd) gives the doping back to 3 %, and the barrier is restored exactly.
TEST(CvProfile, SchottkyDiodeGivesItsDopingBack)
{
    constexpr double tolDoping = 0.03;
    Document doc = document({gaN()}, {layer("GaN", 5000, 5, 1e17)}, true);
    doc.grid.leftContact = ContactKind::Fixed;
    doc.grid.leftBarrier = 1.0;
    CollectingObserver observer;
    ASSERT_TRUE(solve(doc, observer));
    ScratchFolder scratch;
    ASSERT_TRUE(runCvProfile(doc, 0.0, 2.0, 0.5, scratch.path("cv.out"), observer));
    EXPECT_EQ(doc.grid.leftBarrier, 1.0);
    std::ifstream in(scratch.path("cv.out"));
    std::string header;
    std::getline(in, header); // "V\tC"
    std::vector<double> V, inverseSquare;
    for (double v, c; in >> v >> c;) {
        V.push_back(v);
        inverseSquare.push_back(1 / (c * 1e4 * c * 1e4)); // F/cm^2 -> F/m^2
    }
    ASSERT_EQ(V.size(), 5u);
    EXPECT_NEAR(V.back(), 2.0, 1e-9);
    for (std::size_t i = 1; i < V.size(); ++i) {
        const double slope = (inverseSquare[i] - inverseSquare[i - 1]) / (V[i] - V[i - 1]);
        EXPECT_NEAR(2 / (q * 9.5 * eps0 * slope) / 1e23, 1.0, tolDoping) << "from " << V[i - 1] << " V";
    }
}

// Steps that would never reach Stop are refused before anything is written, and the barrier is kept;
// a Start above Stop writes the header alone.
TEST(CvProfile, RefusesStepsThatNeverEndAndKeepsTheBarrier)
{
    Document doc = document({gaN()}, {layer("GaN", 200, 10, 1e17)}, true);
    doc.grid.leftContact = ContactKind::Fixed;
    doc.grid.leftBarrier = 0.7;
    CollectingObserver observer;
    ASSERT_TRUE(solve(doc, observer));
    ScratchFolder scratch;
    const std::string out = scratch.path("cv.out");
    for (auto [stop, step] :
         {std::pair{1.0, 0.0}, {1.0, -0.1}, {std::nan(""), 0.1}, {1.0, HUGE_VAL}, {1.0, 1e-6}}) {
        observer.messages.clear();
        EXPECT_FALSE(runCvProfile(doc, 0.0, stop, step, out, observer));
        EXPECT_EQ(observer.messages.size(), 1u);
        EXPECT_FALSE(std::filesystem::exists(out));
        EXPECT_EQ(doc.grid.leftBarrier, 0.7);
    }
    ASSERT_TRUE(runCvProfile(doc, 1.0, 0.0, 0.1, out, observer));
    EXPECT_EQ(readFile(out), "V\tC\n");
}
