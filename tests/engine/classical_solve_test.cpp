// The classical engine against worked-out values: equilibrium starts, contact conditions, the
// polarization potential, damping, and the driver's bookkeeping.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/grid.h"
#include "model/observer.h"
#include "engine/solve_driver.h"
#include "model/constants.h"
#include "engine/document.h"
#include "test_structures.h"

using namespace tervane;
using namespace tervane::testing;

namespace {
constexpr double kT300 = 0.026;              // kB * 300 K, eV
constexpr double tolPotential = 1e-6;        // V
constexpr double tolBracket = 1e-6;          // V, the neutral contact's bisection tolerance
constexpr double tolDensityAtContact = 4e-5; // relative: exp(1e-6 V / kT) - 1

Document documentWith(std::vector<Material> materials, std::vector<Layer> layers)
{
    Document doc;
    doc.materials = std::move(materials);
    doc.layers = std::move(layers);
    return doc;
}
} // namespace

TEST(CarrierStatistics, DensitiesAtTheBandEdges)
{
    GridPoint p;
    p.holes = true;
    p.dEc = 1.0;
    p.Eg = 1.0;
    p.Efn = 1.0; // Efn = Ec
    p.Efp = 0.0; // Efp = Ev
    EXPECT_NEAR(p.electronDensity(DensityMode::Classical), 2.07e24, 2.07e24 * 1e-14);
    EXPECT_NEAR(p.holeDensity(DensityMode::Classical), 1.16e25, 1.16e25 * 1e-14);
    p.holes = false;
    EXPECT_EQ(p.holeDensity(DensityMode::Classical), 0.0);
    p.holes = true;
    p.nBound = 5.0;
    p.pBound = 7.0;
    EXPECT_EQ(p.electronDensity(DensityMode::BoundElectrons), 5.0);
    EXPECT_NEAR(p.holeDensity(DensityMode::BoundElectrons), 1.16e25, 1.16e25 * 1e-14); // holes stay classical
    EXPECT_EQ(p.holeDensity(DensityMode::BoundElectronsAndHoles), 7.0);

    EXPECT_NEAR(ionizationFraction(0, 2, 300), 1.0 / 3.0, 1e-15);
    EXPECT_NEAR(ionizationFraction(0, 1, 300), 0.5, 1e-15);

    const double m = 0.2 * 9.1e-31;
    EXPECT_NEAR(sheetOccupancy(0, m, 300), kT300 * std::log(2.0) * m * 4.5781014813448804e48, 1e3);
    EXPECT_NEAR(sheetOccupancy(-1.0, m, 300) / (1.0 * m * 4.5781014813448804e48), 1.0, 1e-12);
    EXPECT_LT(sheetOccupancy(2.0, m, 300), 1e-10);

    // Fully ionized: only the shallow dopants count.
    GridPoint deep;
    deep.fullyIonized = true;
    deep.Ndd = 1e24;
    deep.Nda = 1e24;
    EXPECT_EQ(deep.ionizedDonors(), 0.0);
    EXPECT_EQ(deep.ionizedAcceptors(), 0.0);
    // Not fully ionized: a donor level at the Fermi level is one third ionized.
    deep.fullyIonized = false;
    deep.dEc = 1.0;
    deep.EdDeep = 0.5;
    deep.Efn = 0.5;
    EXPECT_NEAR(deep.ionizedDonors(), 1e24 / 3.0, 1e24 * 1e-12);
}

TEST(ClassicalSolve, UniformNLayerStartsAtEquilibrium)
{
    Document doc = documentWith({gaAs()}, {layer("GaAs", 1000, 10, 1e17)});
    doc.polarizationOn = false;
    CollectingObserver observer;
    ASSERT_TRUE(solve(doc, observer));
    // The initial guess already is the neutral potential; the first step only feels the contacts'
    // bisection tolerance, far below kT.
    EXPECT_LT(std::fabs(doc.solverError), tolBracket);
    EXPECT_EQ(doc.iterations, 1);
    EXPECT_TRUE(observer.messages.empty());
    // n = Nd everywhere: Ec - Efn = kT ln(Nc0 / Nd).
    const GridPoint& mid = doc.grid.point(50);
    EXPECT_NEAR(mid.conductionEdge() - mid.Efn, kT300 * std::log(2.07e24 / 1e23), tolPotential);
    EXPECT_NEAR(doc.grid.point(0).electronDensity(DensityMode::Classical), 1e23, 1e23 * tolDensityAtContact);
    EXPECT_NEAR(doc.grid.point(doc.grid.count - 1).electronDensity(DensityMode::Classical), 1e23, 1e23 * tolDensityAtContact);
}

TEST(ClassicalSolve, NeutralContactInUndopedLayerHasEqualCarriers)
{
    Document doc = documentWith({gaAs()}, {layer("GaAs", 100, 10)});
    doc.polarizationOn = false;
    for (auto& l : doc.layers)
        l.Efp = Quadratic(0.5, 0, 0), l.Efn = Quadratic(0.5, 0, 0);
    CollectingObserver observer;
    ASSERT_TRUE(solve(doc, observer));
    const GridPoint& contact = doc.grid.point(0);
    EXPECT_NEAR(contact.electronDensity(DensityMode::Classical) / contact.holeDensity(DensityMode::Classical), 1.0, 1e-3);
}

TEST(ClassicalSolve, FixedContactsPinTheConductionBand)
{
    Document doc =
        documentWith({gaN(), alGaN()}, {layer("AlGaN", 250, 5, 0, 0, 0.25), layer("GaN", 2000, 10, 1e16)});
    doc.grid.leftContact = ContactKind::Fixed;
    doc.grid.leftBarrier = 0.8;
    doc.grid.rightContact = ContactKind::Fixed;
    doc.grid.rightBarrier = 0.3;
    CollectingObserver observer;
    ASSERT_TRUE(solve(doc, observer));
    const Grid& g = doc.grid;
    EXPECT_NEAR(g.point(0).conductionEdge(), 0.8, 1e-12);
    // The polarization potential is non-zero at the right contact and still Ec = barrier.
    EXPECT_NE(g.point(g.count - 1).phiPol, 0.0);
    EXPECT_NEAR(g.point(g.count - 1).conductionEdge(), 0.3, 1e-12);
    EXPECT_LE(doc.solverError, 1e-5);
}

// AlGaN on a GaN substrate: one constant polarization P, the slope of phiPol is -q P / eps. With
// polarization off, phiPol and the steps dP are zero.
TEST(ClassicalSolve, PolarizationPotentialOfOnePolarizedLayer)
{
    Document doc = documentWith({alGaN()}, {layer("AlGaN", 100, 10, 1e18, 0, 0.3)});
    CollectingObserver observer;
    ASSERT_TRUE(solve(doc, observer));
    Material m = alGaN();
    const double P = m.polarization.polarizationAt(0.3, 1.0, 3.189, -0.029);
    const double eps = (9.5 - 0.5 * 0.3) * 8.85e-12;
    const Grid& g = doc.grid;
    EXPECT_NEAR(g.point(0).dP, P, std::fabs(P) * 1e-14);
    for (int i = 1; i < g.count; ++i)
        EXPECT_EQ(g.point(i).dP, 0.0);
    EXPECT_EQ(g.point(0).phiPol, 0.0);
    const double slope = -1.6e-19 * P / eps; // V/m
    for (int i : {1, 5, 9})
        EXPECT_NEAR(g.point(i).phiPol, slope * i * 1e-9, std::fabs(slope) * 1e-9 * 1e-9);

    doc.polarizationOn = false;
    ASSERT_TRUE(solve(doc, observer));
    for (const GridPoint& p : doc.grid.points) {
        EXPECT_EQ(p.phiPol, 0.0);
        EXPECT_EQ(p.dP, 0.0);
    }
}

TEST(PoissonStep, DampingMovesHalfTheUpdateAndReportsTheFullOne)
{
    Document doc = documentWith({gaAs()}, {layer("GaAs", 500, 10, 1e17), layer("GaAs", 500, 10, 0, 1e17)});
    doc.polarizationOn = false;
    doc.poissonIterations = 0;
    CollectingObserver observer;
    ASSERT_TRUE(solve(doc, observer));
    EXPECT_EQ(doc.solverError, 500.0);
    EXPECT_EQ(doc.iterations, 0);

    Grid full = doc.grid;
    Grid half = doc.grid;
    full.damping = 1.0;
    half.damping = 0.5;
    const double errorFull = full.poissonStep(DensityMode::Classical, observer);
    const double errorHalf = half.poissonStep(DensityMode::Classical, observer);
    EXPECT_EQ(errorFull, errorHalf);
    EXPECT_GT(errorFull, 0.01);
    for (int i : {10, 49, 50, 51, 90}) {
        const double fullMove = full.point(i).phi - doc.grid.point(i).phi;
        const double halfMove = half.point(i).phi - doc.grid.point(i).phi;
        EXPECT_NEAR(halfMove, 0.5 * fullMove, 1e-12);
    }
    // Contacts never move.
    EXPECT_EQ(full.point(0).phi, doc.grid.point(0).phi);
    EXPECT_EQ(full.point(full.count - 1).phi, doc.grid.point(full.count - 1).phi);
}

TEST(PoissonStep, ZeroPivotFailsWithoutTouchingThePotential)
{
    Grid g(3);
    g.dx = {1e-9, 1e-9, 1e-9};
    g.eps = {0.0, 0.0, 0.0}; // a zero permittivity and no carriers: the middle row is all zero
    g.point(1).Tn = 300;
    g.point(1).Tp = 300;
    g.point(1).Efn = -100; // no electrons
    g.point(1).holes = false;
    g.point(1).phi = 0.25;
    CollectingObserver observer;
    EXPECT_EQ(g.poissonStep(DensityMode::Classical, observer), -1.0);
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0], "error in matrix solver\n");
    EXPECT_EQ(g.point(1).phi, 0.25);
}

TEST(SolveDriver, PointCountsRoundHalfUp)
{
    Document doc =
        documentWith({gaAs()}, {layer("GaAs", 25, 10), layer("GaAs", 24, 10), layer("GaAs", 4, 10)});
    doc.polarizationOn = false;
    CollectingObserver observer;
    ASSERT_TRUE(solve(doc, observer));
    EXPECT_EQ(doc.grid.count, 5); // 3 + 2 + 0
    EXPECT_EQ(doc.grid.points.size(), 5u);
    EXPECT_EQ(doc.grid.dx.size(), 5u);
    EXPECT_EQ(doc.grid.eps.size(), 5u);
}

TEST(SolveDriver, MissingMaterialStopsTheBuild)
{
    Document doc =
        documentWith({gaAs()}, {layer("GaAs", 100, 10), layer("InP", 3, 10), layer("GaAs", 100, 10)});
    doc.iterations = 42;
    doc.sheetCharge = 3.5;
    CollectingObserver observer;
    EXPECT_FALSE(solve(doc, observer));
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0], "Material not found!");
    EXPECT_EQ(doc.grid.count, 10); // the first layer's points stay
    EXPECT_EQ(doc.iterations, 42);
    EXPECT_EQ(doc.sheetCharge, 3.5);
    EXPECT_EQ(observer.updateCount, 0);
}

TEST(SolveDriver, UnusableSpacingIsReportedByLayer)
{
    for (double dx : {0.0, std::nan("")}) {
        Document doc = documentWith({gaAs()}, {layer("GaAs", 100, 10), layer("GaAs", 100, 10)});
        doc.layers[1].dx = dx;
        CollectingObserver observer;
        EXPECT_FALSE(solve(doc, observer));
        ASSERT_EQ(observer.messages.size(), 1u);
        EXPECT_NE(observer.messages[0].find("Layer 1 (GaAs)"), std::string::npos) << observer.messages[0];
    }
    // Billions of points are refused before anything is allocated.
    Document huge = documentWith({gaAs()}, {layer("GaAs", 1e10, 1)});
    CollectingObserver observer;
    EXPECT_FALSE(solve(huge, observer));
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_NE(observer.messages[0].find("2000000"), std::string::npos);
    EXPECT_EQ(huge.grid.count, 0);
}

TEST(SolveDriver, StatusCountsStepsAndRepaintsEveryFifth)
{
    Document doc = documentWith({gaAs()}, {layer("GaAs", 1000, 10, 1e17), layer("GaAs", 1000, 10, 0, 1e17)});
    doc.polarizationOn = false;
    CollectingObserver observer;
    ASSERT_TRUE(solve(doc, observer));
    EXPECT_LE(doc.solverError, 1e-5);
    EXPECT_GT(doc.iterations, 3);
    // Steps 0, 5, 10, ... repaint: ceil(iterations / 5) times.
    EXPECT_EQ(observer.progressCount, (doc.iterations + 4) / 5);
    EXPECT_EQ(observer.updateCount, 1);
    EXPECT_EQ(doc.boundStates, 0);
}

TEST(SolveDriver, EmptyStackAndTinyGrids)
{
    Document doc;
    doc.grid.reset(5);
    CollectingObserver observer;
    EXPECT_TRUE(solve(doc, observer));
    EXPECT_EQ(doc.grid.count, 0);
    EXPECT_EQ(observer.updateCount, 0);

    Document two = documentWith({gaAs()}, {layer("GaAs", 20, 10, 1e17)});
    two.iterations = 9;
    EXPECT_TRUE(solve(two, observer));
    EXPECT_EQ(two.grid.count, 2);
    EXPECT_EQ(two.iterations, 9); // nothing iterated
    EXPECT_EQ(observer.updateCount, 1);
}

TEST(SheetCharge, TrapezoidOverTheChosenRange)
{
    Document doc = documentWith({gaAs()}, {layer("GaAs", 1000, 10, 1e17)});
    doc.polarizationOn = false;
    CollectingObserver observer;
    ASSERT_TRUE(solve(doc, observer));
    // After a solve the range is the first interval: n dx in cm^-2 (n = Nd within the contacts'
    // bisection tolerance).
    constexpr double tolSheet = 1e-4;
    EXPECT_NEAR(doc.sheetCharge, 1e23 * 1e-9 * 1e-4, 1e23 * 1e-9 * 1e-4 * tolSheet);
    setChargeRange(doc, 10, 60); // points 10..61: 51 intervals of 10 Angstrom
    EXPECT_NEAR(doc.sheetCharge, 1e23 * 51e-9 * 1e-4, 1e23 * 51e-9 * 1e-4 * tolSheet);
    setChargeRange(doc, 60, 10);
    EXPECT_EQ(doc.sheetCharge, 0.0);
    setChargeRange(doc, 90, 5000); // clipped at the last point (99)
    EXPECT_NEAR(doc.sheetCharge, 1e23 * 9e-9 * 1e-4, 1e23 * 9e-9 * 1e-4 * tolSheet);
}
