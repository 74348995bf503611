// A sweep's points: how the parameter lists combine into points, and one point solved and read into
// figures against the flat-band physics of a uniformly doped layer.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/document.h"
#include "engine/sweep_point.h"
#include "model/constants.h"
#include "test_structures.h"

namespace tervane {
namespace {

constexpr double tolEnergy = 1e-6;   // eV
constexpr double tolRelative = 1e-5; // of a sheet density: the classical Newton tolerance shows here

SweepParameter parameter(const std::string& name, SweepTarget target, std::vector<double> values)
{
    return SweepParameter{name, target, 0, std::move(values)};
}

TEST(SweepPoints, ProductVariesTheLastParameterFastestAndZipPairsTheLists)
{
    Sweep sweep;
    sweep.parameters = {parameter("a", SweepTarget::LayerNd, {1, 2}),
                        parameter("b", SweepTarget::LayerNa, {10, 20, 30})};
    EXPECT_EQ(sweepPointCount(sweep), 6);
    EXPECT_EQ(sweepPointValues(sweep, 0), (std::vector<double>{1, 10}));
    EXPECT_EQ(sweepPointValues(sweep, 4), (std::vector<double>{2, 20}));
    EXPECT_EQ(sweepPointValues(sweep, 5), (std::vector<double>{2, 30}));

    sweep.combination = SweepCombination::Zip;
    sweep.parameters[0].values = {1, 2, 3};
    EXPECT_EQ(sweepPointCount(sweep), 3);
    EXPECT_EQ(sweepPointValues(sweep, 2), (std::vector<double>{3, 30}));

    // Four lists of 1000 values: 10^12 points, counted as one more than the limit, not overflowed.
    sweep.combination = SweepCombination::Product;
    sweep.parameters.assign(4, parameter("c", SweepTarget::LayerNd, std::vector<double>(1000, 1.0)));
    EXPECT_EQ(sweepPointCount(sweep), maxSweepPoints + 1);
}

// 2000 A of n-GaAs between neutral contacts: flat bands, n = Nd throughout, so with the quasi-Fermi
// level at 0 eV Ec = kB T ln(Nc0 / Nd) (Nc0 does not depend on T in this model) and the layer's sheet
// density is Nd times the length its grid spans: 200 points at 10 A, 199 intervals, 1990 A.
TEST(SweepPoints, FlatBandFiguresFollowTemperatureAndDoping)
{
    Document base;
    base.materials = {testing::gaAs()};
    base.layers = {testing::layer("GaAs", 2000, 10, 1e17)};
    Sweep sweep;
    sweep.parameters = {parameter("T", SweepTarget::Temperature, {300, 600}),
                        parameter("Nd", SweepTarget::LayerNd, {1e17, 1e18})};
    sweep.figures = {SweepFigure{"Ec", SweepFigureKind::ConductionEdge, 0, 0, 100e-9},
                     SweepFigure{"ns", SweepFigureKind::LayerSheetDensity},
                     SweepFigure{"converged", SweepFigureKind::Converged}};
    const double thicknessCm = 1990e-8;
    for (long long point = 0; point < sweepPointCount(sweep); ++point) {
        const SweepPointResult result = evaluateSweepPoint(base, sweep, point);
        const double T = result.parameters[0];
        const double Nd = result.parameters[1];
        SCOPED_TRACE("T = " + std::to_string(T) + " K, Nd = " + std::to_string(Nd));
        EXPECT_EQ(result.status, SweepPointStatus::Ok);
        EXPECT_NEAR(result.figures[0], kB * T * std::log(Nc0 / (Nd * 1e6)), tolEnergy);
        EXPECT_NEAR(result.figures[1], Nd * thicknessCm, tolRelative * Nd * thicknessCm);
        EXPECT_EQ(result.figures[2], 1.0);
    }
    // The same point twice: the same bits, which resuming and sharding rely on.
    EXPECT_EQ(evaluateSweepPoint(base, sweep, 3).figures, evaluateSweepPoint(base, sweep, 3).figures);
}

TEST(SweepPoints, APointThatCannotBeSolvedIsFailedWithItsMessageAndNoFigures)
{
    Document base;
    base.materials = {testing::gaAs()};
    base.layers = {testing::layer("InP", 2000, 10, 1e17)};
    Sweep sweep;
    sweep.parameters = {parameter("Nd", SweepTarget::LayerNd, {1e17})};
    sweep.figures = {SweepFigure{"passes", SweepFigureKind::Passes}};
    SweepPointResult result = evaluateSweepPoint(base, sweep, 0);
    EXPECT_EQ(result.status, SweepPointStatus::Failed);
    EXPECT_EQ(result.message, "Material not found!");
    EXPECT_TRUE(std::isnan(result.figures[0]));

    sweep.parameters[0].layer = 5;
    result = evaluateSweepPoint(base, sweep, 0);
    EXPECT_EQ(result.status, SweepPointStatus::Failed);
    EXPECT_EQ(result.message, "parameter \"Nd\": the structure has no layer 5");
}

} // namespace
} // namespace tervane
