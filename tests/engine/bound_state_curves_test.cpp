// The states the band diagram draws, against the finite square well worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/bound_state_curves.h"
#include "engine/document.h"
#include "model/observer.h"
#include "tests/engine/test_structures.h"

using namespace tervane;
using namespace tervane::testing;

namespace {

// A 6 nm well of depth 0.5 eV between 40 nm barriers (thick enough for both states to vanish at the
// contacts), m = 0.067 m0: z0 = sqrt(2 m V0) L / 2hbar = 2.8128, and the two roots of z tan z = sqrt(z0^2 -
// z^2) (even) and -z cot z = sqrt(z0^2 - z^2) (odd) below z0, z = 1.1497 and 2.2276, give E = V0 (z / z0)^2 =
// 0.08353 and 0.3136 eV.
constexpr double wellDepth = 0.5; // eV
constexpr double spacing = 1e-10; // m
constexpr int barrierPoints = 400;
constexpr int wellPoints = 60;
constexpr double expectedLevels[] = {0.08353, 0.3136};
// The three-point Laplacian on a 0.1 nm grid, and the well's edges at the half spacing.
constexpr double tolEnergy = 2e-3;             // eV
constexpr double tolNorm = 2 * extentFraction; // of the unit integral, the tails left out

} // namespace

TEST(BoundStateCurves, FiniteSquareWellLevelsExtentsAndNorms)
{
    const int N = 2 * barrierPoints + wellPoints;
    Document document;
    document.schroedingerOn = true;
    document.grid = electronGrid(
        N, constant(spacing),
        [](int i) { return i >= barrierPoints && i < barrierPoints + wellPoints ? 0.0 : wellDepth; },
        constant(0.067));
    CollectingObserver observer;
    const std::vector<BoundStateCurve> curves = boundStateCurves(document, observer);
    EXPECT_TRUE(observer.messages.empty());
    ASSERT_EQ(curves.size(), std::size(expectedLevels));
    for (std::size_t k = 0; k < curves.size(); ++k) {
        const BoundStateCurve& curve = curves[k];
        EXPECT_EQ(curve.carrier, Carrier::Electron);
        EXPECT_NEAR(curve.energy, expectedLevels[k], tolEnergy) << "level " << k;
        // Symmetric about the well's centre, reaching into both barriers.
        const int last = curve.first + static_cast<int>(curve.probability.size()) - 1;
        EXPECT_LT(curve.first, barrierPoints);
        EXPECT_GE(last, barrierPoints + wellPoints);
        EXPECT_LE(std::abs((curve.first + last) - (2 * barrierPoints + wellPoints - 1)), 2);
        double norm = 0.0;
        for (std::size_t i = 0; i + 1 < curve.probability.size(); ++i)
            norm += 0.5 * (curve.probability[i] + curve.probability[i + 1]) * spacing;
        EXPECT_NEAR(norm, 1.0, tolNorm) << "level " << k;
    }

    // Without the switch there is nothing to draw.
    document.schroedingerOn = false;
    EXPECT_TRUE(boundStateCurves(document, observer).empty());
}
