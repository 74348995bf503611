// Composition laws, material records and polarization against hand-computed values.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "model/material.h"
#include "model/polarization.h"
#include "model/quadratic.h"

using namespace tervane;

namespace {
constexpr double tolValue = 1e-12;
constexpr double tolRelative = 1e-12;
} // namespace

// a + b u + c u^2, unclamped, with the constructor taking a, b, c (the members are declared b, a, c);
// the text form shows each sign behind its plus.
TEST(Quadratic, EvaluatesInConstructorOrderAndPrintsEachSignBehindThePlus)
{
    EXPECT_NEAR(Quadratic(1.0, 2.0, 3.0).value(2.0), 17.0, tolValue); // 1 + 4 + 12
    EXPECT_NEAR(Quadratic(1.0, 1.0, 1.0).value(-2.0), 3.0, tolValue);
    EXPECT_EQ(Quadratic().toText(), "0.00+0.00x+0.00x^2");
    EXPECT_EQ(Quadratic(1.5, 0.2, -0.1).toText(), "1.50+0.20x+-0.10x^2");
    EXPECT_EQ(Quadratic(123.456, 0.0, 0.0).toText(), "123.46+0.00x+0.00x^2");
}

TEST(Material, LookupIsExactAndFirstMatchWins)
{
    std::vector<Material> materials(3);
    materials[0].name = "AlGaN";
    materials[1].name = "GaN";
    materials[2].name = "GaN";
    EXPECT_EQ(findMaterial(materials, "GaN"), &materials[1]);
    EXPECT_EQ(findMaterial(materials, "gan"), nullptr);
    EXPECT_EQ(findMaterial(materials, "GaN "), nullptr);
}

// Every law goes into its own value: law i is (i + 1) + 0.5 x + 0.25 x^2 here, so 1.24 + i at x = 0.4.
TEST(Material, EveryLawIsEvaluatedIntoItsOwnValue)
{
    const std::vector<std::pair<Quadratic Material::*, double MaterialValues::*>> laws = {
        {&Material::Eg, &MaterialValues::Eg},
        {&Material::dEc, &MaterialValues::dEc},
        {&Material::eps, &MaterialValues::epsr},
        {&Material::me, &MaterialValues::me},
        {&Material::mhh, &MaterialValues::mhh},
        {&Material::mlh, &MaterialValues::mlh},
        {&Material::EdShallow, &MaterialValues::EdShallow},
        {&Material::EaShallow, &MaterialValues::EaShallow},
        {&Material::EdDeep, &MaterialValues::EdDeep},
        {&Material::EaDeep, &MaterialValues::EaDeep}};
    Material material;
    for (std::size_t i = 0; i < laws.size(); ++i)
        material.*laws[i].first = Quadratic(i + 1.0, 0.5, 0.25);
    const MaterialValues values = material.valuesAt(0.4);
    for (std::size_t i = 0; i < laws.size(); ++i)
        EXPECT_NEAR(values.*laws[i].second, 1.24 + i, tolValue) << "law " << i;
}

// Against a GaN substrate (a = 3.189 Angstrom, Psp = -0.029 C/m^2), in elementary charges per m^2: the
// strain factor times 2 strain (e31 - e33 c13 / c33), strain = (a_substrate - a) / a, plus the step
// Psp - Psp_substrate. A vanishing c33 leaves the e31 term alone rather than an infinity; a material
// without a lattice constant has no polarization at all.
TEST(Polarization, PiezoelectricAndSpontaneousTermsAgainstTheSubstrate)
{
    struct Case {
        double a, Psp, c33, strainFactor, expected; // expected in C/m^2
    };
    const double piezo = 2 * (-0.49 - 0.73 * 103.0 / 405.0);
    const double tensile = (3.189 - 3.189 * 0.99) / (3.189 * 0.99); // 1 % smaller than the substrate
    const double c33Vanishes = 2 * -0.49 * (3.189 - 3.1) / 3.1;
    for (const Case& c : std::vector<Case>{{3.189, -0.029, 405, 1.0, 0.0},
                                           {3.189 * 0.99, -0.029, 405, 1.0, tensile * piezo},
                                           {3.189 * 0.99, -0.029, 405, 0.5, 0.5 * tensile * piezo},
                                           {3.112, -0.081, 405, 0.0, -0.081 + 0.029},
                                           {3.1, -0.029, 0, 1.0, c33Vanishes},
                                           {0.0, -0.081, 405, 1.0, 0.0}}) {
        Polarization p;
        p.a = {c.a, 0, 0};
        p.Psp = {c.Psp, 0, 0};
        p.c13 = {103, 0, 0};
        p.c33 = {c.c33, 0, 0};
        p.e31 = {-0.49, 0, 0};
        p.e33 = {0.73, 0, 0};
        const double expected = c.expected * 6.25e18;
        EXPECT_NEAR(p.polarizationAt(0.0, c.strainFactor, 3.189, -0.029), expected,
                    std::fabs(expected) * tolRelative)
            << "a " << c.a << " factor " << c.strainFactor;
    }
}
