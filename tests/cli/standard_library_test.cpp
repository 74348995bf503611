// The standard materials library: the checked-in TOML, and the binary materials file the build makes
// from it with tervane-cli convert, hold the same list; and the library's laws meet at the ends of
// each ternary where the binaries' values are known.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_runner.h"
#include "io/materials_file.h"
#include "io/materials_toml.h"
#include "model/material.h"

namespace tervane::test {
namespace {

constexpr double tolLaw = 1e-9; // the library prints its coefficients with five decimals or fewer

const std::string checkedIn = std::string(TERVANE_SOURCE_DIR) + "/examples/materials/standard.toml";
const std::string builtToml = std::string(TERVANE_MATERIALS_BUILD_DIR) + "/standard.toml";
const std::string builtBinary = std::string(TERVANE_MATERIALS_BUILD_DIR) + "/standard.tvm";

std::vector<Material> tomlLibrary()
{
    std::vector<Material> materials;
    const IoResult result = decodeMaterialsToml(readFile(checkedIn), materials);
    EXPECT_TRUE(result) << result.message;
    return materials;
}

const Material& named(const std::vector<Material>& materials, const std::string& name)
{
    const Material* material = findMaterial(materials, name);
    if (!material)
        throw std::runtime_error("no " + name + " in the library");
    return *material;
}

TEST(StandardLibrary, BuiltFilesHoldTheCheckedInListExactly)
{
    const std::vector<Material> fromToml = tomlLibrary();
    std::vector<Material> fromBinary;
    const IoResult result = decodeMaterials(readFile(builtBinary), fromBinary);
    ASSERT_TRUE(result) << result.message;
    ASSERT_EQ(fromBinary.size(), fromToml.size());
    for (std::size_t k = 0; k < fromToml.size(); ++k)
        EXPECT_TRUE(fromBinary[k] == fromToml[k]) << fromToml[k].name;
    EXPECT_EQ(readFile(builtToml), readFile(checkedIn));
}

TEST(StandardLibrary, HoldsTheNitridesAndArsenidesInOrder)
{
    std::vector<std::string> names;
    for (const Material& material : tomlLibrary())
        names.push_back(material.name);
    EXPECT_EQ(names, (std::vector<std::string>{"GaN", "AlN", "InN", "AlGaN", "InGaN", "AlInN", "GaAs", "AlAs",
                                               "InAs", "AlGaAs", "InGaAs"}));
}

// A ternary A(x)B(1-x) must give its binaries' gap, band edge and lattice constant at x = 1 and
// x = 0 (AlAs is the exception at x = 1: the library's AlAs holds the X-valley gap, AlGaAs the
// direct gap of its range).
struct TernaryEnds {
    const char* ternary;
    const char* atZero;
    const char* atOne; // nullptr: no binary to meet at x = 1
};

class Ternary : public testing::TestWithParam<TernaryEnds> {};

TEST_P(Ternary, MeetsItsBinariesAtTheEnds)
{
    const std::vector<Material> library = tomlLibrary();
    const Material& ternary = named(library, GetParam().ternary);
    const auto check = [&](const Material& binary, double x) {
        EXPECT_NEAR(ternary.Eg.value(x), binary.Eg.value(0), tolLaw) << binary.name;
        EXPECT_NEAR(ternary.dEc.value(x), binary.dEc.value(0), tolLaw) << binary.name;
        EXPECT_NEAR(ternary.polarization.a.value(x), binary.polarization.a.value(0), tolLaw) << binary.name;
        EXPECT_NEAR(ternary.polarization.Psp.value(x), binary.polarization.Psp.value(0), tolLaw)
            << binary.name;
    };
    check(named(library, GetParam().atZero), 0.0);
    if (GetParam().atOne)
        check(named(library, GetParam().atOne), 1.0);
}

INSTANTIATE_TEST_SUITE_P(Library, Ternary,
                         testing::Values(TernaryEnds{"AlGaN", "GaN", "AlN"},
                                         TernaryEnds{"InGaN", "GaN", "InN"},
                                         TernaryEnds{"AlInN", "InN", "AlN"},
                                         TernaryEnds{"AlGaAs", "GaAs", nullptr},
                                         TernaryEnds{"InGaAs", "GaAs", "InAs"}),
                         [](const testing::TestParamInfo<TernaryEnds>& info) { return info.param.ternary; });

} // namespace
} // namespace tervane::test
