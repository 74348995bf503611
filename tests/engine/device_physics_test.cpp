// Whole devices against textbook results: a pn junction's built-in potential and depletion width,
// and the C-V profile of a Schottky contact.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "engine/cv_profile.h"
#include "engine/grid.h"
#include "model/observer.h"
#include "engine/solve_driver.h"
#include "engine/document.h"
#include "test_structures.h"

using namespace tervane;
using namespace tervane::testing;

namespace {
constexpr double kT300 = 0.026;
constexpr double q = 1.6e-19;
constexpr double tolBuiltIn = 1e-3;        // V: contact bisection and minority carriers
constexpr double tolDepletionWidth = 0.03; // relative, against the depletion approximation
constexpr double tolDoping = 0.03;         // relative, doping from the 1/C^2 slope
}  // namespace

TEST(PnJunction, BuiltInPotentialAndDepletionWidth)
{
    constexpr double N = 1e23;  // 1e17 cm^-3 on both sides
    Document doc;
    doc.materials = {gaAs()};
    doc.layers = {layer("GaAs", 10000, 10, 0, 1e17), layer("GaAs", 10000, 10, 1e17, 0)};
    doc.polarizationOn = false;
    CollectingObserver observer;
    ASSERT_TRUE(solve(doc, observer));
    EXPECT_LE(doc.solverError, 1e-5);
    const Grid& g = doc.grid;

    // With the fixed effective densities of states: Vbi = Eg + kT ln(Na Nd / (Nc0 Nv0)).
    const double Vbi = 1.42248 + kT300 * std::log(N * N / (2.07e24 * 1.16e25));
    const double drop = g.point(0).conductionEdge() - g.point(g.count - 1).conductionEdge();
    EXPECT_NEAR(drop, Vbi, tolBuiltIn);

    // Depletion edges where the majority density has fallen to half its doping.
    double x = 0, xp = 0, xn = 0;
    for (int i = 0; i + 1 < g.count; ++i) {
        const GridPoint& p = g.point(i);
        if (i < g.count / 2 && p.holeDensity(DensityMode::Classical) > N / 2)
            xp = x;
        if (i >= g.count / 2 && p.electronDensity(DensityMode::Classical) < N / 2)
            xn = x;
        x += g.dx[static_cast<std::size_t>(i)];
    }
    // Depletion approximation with the majority-carrier tails: W = sqrt(2 eps (Vbi - 2kT) (Na+Nd) / (q Na Nd)).
    const double eps = 12.9 * 8.85e-12;
    const double W = std::sqrt(2 * eps * (Vbi - 2 * kT300) * (2 * N) / (q * N * N));
    EXPECT_NEAR((xn - xp) / W, 1.0, tolDepletionWidth) << "W = " << W << " m, measured " << (xn - xp);
}

TEST(CvProfile, SchottkyDiodeGivesItsDopingBack)
{
    constexpr double Nd = 1e23;  // 1e17 cm^-3
    Document doc;
    doc.materials = {gaN()};
    doc.layers = {layer("GaN", 5000, 5, 1e17)};
    doc.grid.leftContact = ContactKind::Fixed;
    doc.grid.leftBarrier = 1.0;
    CollectingObserver observer;
    ASSERT_TRUE(solve(doc, observer));

    const auto out = std::filesystem::temp_directory_path() / "tervane_cv_test.out";
    ASSERT_TRUE(runCvProfile(doc, 0.0, 2.0, 0.5, out.string(), observer));
    EXPECT_EQ(doc.grid.leftBarrier, 1.0);  // restored exactly

    std::ifstream in(out);
    std::string header;
    std::getline(in, header);
    EXPECT_EQ(header, "V\tC");
    std::vector<double> V, C;
    double v, c;
    while (in >> v >> c) {
        V.push_back(v);
        C.push_back(c * 1e4);  // F/cm^2 -> F/m^2
    }
    ASSERT_EQ(V.size(), 5u);  // 0, 0.5, 1, 1.5, 2
    EXPECT_NEAR(V.back(), 2.0, 1e-9);
    const double eps = 9.5 * 8.85e-12;
    // d(1/C^2)/dV = 2 / (q eps Nd).
    for (std::size_t i = 1; i < V.size(); ++i) {
        ASSERT_GT(C[i], 0.0);
        const double slope = (1 / (C[i] * C[i]) - 1 / (C[i - 1] * C[i - 1])) / (V[i] - V[i - 1]);
        EXPECT_NEAR(2 / (q * eps * slope) / Nd, 1.0, tolDoping) << "between " << V[i - 1] << " and " << V[i];
    }
    std::filesystem::remove(out);
}

TEST(CvProfile, RefusesStepsThatNeverEndAndKeepsTheBarrier)
{
    Document doc;
    doc.materials = {gaN()};
    doc.layers = {layer("GaN", 200, 10, 1e17)};
    doc.grid.leftContact = ContactKind::Fixed;
    doc.grid.leftBarrier = 0.7;
    CollectingObserver observer;
    ASSERT_TRUE(solve(doc, observer));
    const auto out = std::filesystem::temp_directory_path() / "tervane_cv_refused.out";
    std::filesystem::remove(out);
    for (auto [start, stop, step] : {std::tuple{0.0, 1.0, 0.0}, std::tuple{0.0, 1.0, -0.1},
                                     std::tuple{0.0, std::nan(""), 0.1}, std::tuple{0.0, 1.0, HUGE_VAL}}) {
        observer.messages.clear();
        EXPECT_FALSE(runCvProfile(doc, start, stop, step, out.string(), observer));
        EXPECT_EQ(observer.messages.size(), 1u);
        EXPECT_FALSE(std::filesystem::exists(out));
        EXPECT_EQ(doc.grid.leftBarrier, 0.7);
    }
    // Start above Stop: the header alone, then the final solve.
    ASSERT_TRUE(runCvProfile(doc, 1.0, 0.0, 0.1, out.string(), observer));
    std::ifstream in(out);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), "V\tC\n");
    std::filesystem::remove(out);

    // Start 0, Stop 1, Step 0.5: three lines; an empty stack writes C = 0 for each.
    Document empty;
    empty.grid.leftContact = ContactKind::Fixed;
    ASSERT_TRUE(runCvProfile(empty, 0.0, 1.0, 0.5, out.string(), observer));
    std::ifstream emptyIn(out);
    std::stringstream emptyContent;
    emptyContent << emptyIn.rdbuf();
    EXPECT_EQ(emptyContent.str(), "V\tC\n0.000000\t0.000000E+00\n0.500000\t0.000000E+00\n1.000000\t0.000000E+00\n");
    std::filesystem::remove(out);

    // An output that cannot be opened.
    observer.messages.clear();
    EXPECT_FALSE(runCvProfile(doc, 0.0, 1.0, 0.5, "/nonexistent-folder/cv.out", observer));
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0], "Can't open output CV file.");
}
