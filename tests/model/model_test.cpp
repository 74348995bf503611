// Composition laws, material records, polarization and the document's New values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/material.h"
#include "model/polarization.h"
#include "model/quadratic.h"

using namespace tervane;

namespace {
constexpr double tolValue = 1e-12;
constexpr double tolRelative = 1e-12;
}  // namespace

TEST(Quadratic, EvaluatesWithoutClampingTheComposition)
{
    const Quadratic law(1.0, 1.0, 1.0);
    EXPECT_NEAR(law.value(1.2), 3.64, tolValue);  // 1 + 1.2 + 1.44
    EXPECT_NEAR(law.value(-2.0), 3.0, tolValue);
    EXPECT_EQ(Quadratic().value(0.7), 0.0);
    // Constructor order is a, b, c although the members are declared b, a, c.
    const Quadratic ordered(2.0, 3.0, 5.0);
    EXPECT_EQ(ordered.a, 2.0);
    EXPECT_EQ(ordered.b, 3.0);
    EXPECT_EQ(ordered.c, 5.0);
}

TEST(Quadratic, TextFormShowsEachSignBehindThePlus)
{
    EXPECT_EQ(Quadratic().toText(), "0.00+0.00x+0.00x^2");
    EXPECT_EQ(Quadratic(1.5, 0.2, -0.1).toText(), "1.50+0.20x+-0.10x^2");
    EXPECT_EQ(Quadratic(123.456, 0.0, 0.0).toText(), "123.46+0.00x+0.00x^2");
}

TEST(Material, LookupIsExactAndFirstMatchWins)
{
    std::vector<Material> materials(3);
    materials[0].name = "AlGaN";
    materials[1].name = "GaN";
    materials[1].Eg = Quadratic(3.4, 0, 0);
    materials[2].name = "GaN";
    materials[2].Eg = Quadratic(9.9, 0, 0);
    const Material* found = findMaterial(materials, "GaN");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Eg.a, 3.4);
    EXPECT_EQ(findMaterial(materials, "gan"), nullptr);
    EXPECT_EQ(findMaterial(materials, "GaN "), nullptr);
    EXPECT_EQ(findMaterial(std::vector<Material>{}, "GaN"), nullptr);
}

TEST(Material, DefaultEvaluatesToZerosAndCopiesKeepEveryLaw)
{
    const MaterialValues zero = Material().valuesAt(0.37);
    EXPECT_EQ(zero.epsr, 0.0);
    EXPECT_EQ(zero.Eg, 0.0);
    EXPECT_EQ(zero.mlh, 0.0);

    Material m;
    m.name = "AlGaN";
    m.type = Ternary;
    m.Eg = Quadratic(3.4376, 2.02051, 0.7);
    m.mlh = Quadratic(0.139, 0.12, 0.0);
    m.NdBackground = 1e16;
    m.polarization.e33 = Quadratic(0.73, 0.73, 0);
    const Material copy = m;
    EXPECT_EQ(copy, m);
    const MaterialValues v = m.valuesAt(0.25);
    EXPECT_NEAR(v.Eg, 3.4376 + 2.02051 * 0.25 + 0.7 * 0.0625, tolValue);
    EXPECT_NEAR(v.mlh, 0.169, tolValue);
}

namespace {
Polarization gaNLike()
{
    Polarization p;
    p.a = Quadratic(3.189, 0, 0);
    p.Psp = Quadratic(-0.029, 0, 0);
    p.c13 = Quadratic(103, 0, 0);
    p.c33 = Quadratic(405, 0, 0);
    p.e31 = Quadratic(-0.49, 0, 0);
    p.e33 = Quadratic(0.73, 0, 0);
    return p;
}
}  // namespace

TEST(Polarization, SubstrateMaterialContributesNothing)
{
    const Polarization p = gaNLike();
    EXPECT_EQ(p.polarizationAt(0.0, 1.0, 3.189, -0.029), 0.0);
    EXPECT_EQ(p.polarizationAt(0.6, 1.0, 3.189, -0.029), 0.0);
    EXPECT_EQ(Polarization().polarizationAt(0.3, 1.0, 3.189, -0.029), 0.0);  // a new material: aL = 0
}

TEST(Polarization, PiezoelectricTermOfATensileLayer)
{
    Polarization p = gaNLike();
    p.a = Quadratic(3.189 * 0.99, 0, 0);  // 1 % smaller than the substrate
    const double strain = (3.189 - 3.189 * 0.99) / (3.189 * 0.99);
    EXPECT_NEAR(strain, 0.010101, 1e-6);
    // 2 strain (e31 - e33 c13/c33), in elementary charges per m^2.
    const double expected = 2 * strain * (-0.49 - 0.73 * 103.0 / 405.0) * 6.25e18;
    EXPECT_NEAR(p.polarizationAt(0.0, 1.0, 3.189, -0.029), expected, std::fabs(expected) * tolRelative);
    EXPECT_NEAR(p.polarizationAt(0.0, 0.5, 3.189, -0.029), 0.5 * expected, std::fabs(expected) * tolRelative);
}

TEST(Polarization, RelaxedLayerKeepsItsSpontaneousTerm)
{
    Polarization p = gaNLike();
    p.a = Quadratic(3.112, 0, 0);
    p.Psp = Quadratic(-0.081, 0, 0);
    const double spontaneous = (-0.081 - -0.029) * 6.25e18;
    EXPECT_NEAR(p.polarizationAt(0.0, 0.0, 3.189, -0.029), spontaneous, std::fabs(spontaneous) * tolRelative);
}

TEST(Polarization, VanishingC33GivesNoInfinity)
{
    Polarization p = gaNLike();
    p.a = Quadratic(3.1, 0, 0);
    p.c33 = Quadratic(0, 0, 0);
    const double result = p.polarizationAt(0.2, 1.0, 3.189, -0.029);
    EXPECT_TRUE(std::isfinite(result));
    const double strain = (3.189 - 3.1) / 3.1;
    EXPECT_NEAR(result, 2 * (-0.49 * strain) * 6.25e18, 1e3);  // only the e31 term remains
}
