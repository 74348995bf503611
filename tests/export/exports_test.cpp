// The two text exports, byte for byte on small cases worked out by hand.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "../engine/test_structures.h"
#include "engine/grid.h"
#include "model/observer.h"
#include "export/band_profile_export.h"
#include "export/charge_export.h"
#include "engine/document.h"

using namespace tervane;
using namespace tervane::testing;

namespace {
std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

std::filesystem::path tempFile(const char* name)
{
    return std::filesystem::temp_directory_path() / name;
}
}  // namespace

TEST(BandProfileExport, OneLinePerPointInDisplayUnits)
{
    Grid grid(3);
    grid.dx = {1e-9, 2.5e-10, 7e-10};
    for (GridPoint& p : grid.points) {
        p.dEc = 1.0;
        p.phi = 0.2;
        p.phiPol = 0.1;  // Ec = 0.7
        p.Eg = 0.5;      // Ev = 0.2
        p.Efn = 0.7;     // n = Nc0 = 2.07e24 m^-3
        p.holes = false;
    }
    grid.point(2).nBound = 3e20;
    const auto path = tempFile("tervane_bands.txt");
    ASSERT_TRUE(dumpFile(grid, path.string(), DensityMode::Classical));
    EXPECT_EQ(readFile(path), "x\tEc\tEv\tEf\tn\tp\n"
                              "0.000000\t0.700000\t0.200000\t0.700000\t2.070000e+18\t0.000000e+00\n"
                              "10.000000\t0.700000\t0.200000\t0.700000\t2.070000e+18\t0.000000e+00\n"
                              "12.500000\t0.700000\t0.200000\t0.700000\t2.070000e+18\t0.000000e+00\n");
    // The bound-state electrons, by the mode asked for.
    ASSERT_TRUE(dumpFile(grid, path.string(), DensityMode::BoundElectrons));
    EXPECT_NE(readFile(path).find("12.500000\t0.700000\t0.200000\t0.700000\t3.000000e+14\t0.000000e+00\n"),
              std::string::npos);

    Grid empty;
    ASSERT_TRUE(dumpFile(empty, path.string(), DensityMode::Classical));
    EXPECT_EQ(readFile(path), "x\tEc\tEv\tEf\tn\tp\n");
    std::filesystem::remove(path);
    EXPECT_FALSE(dumpFile(empty, "/nonexistent-folder/bands.txt", DensityMode::Classical));
}

TEST(ChargeExport, InterfaceStepsAgainstTheSubstrate)
{
    Document doc;
    doc.materials = {gaN(), alGaN()};
    // 100, 200 and 50 Angstrom, and a layer too thin for a point that still moves the next edge.
    doc.layers = {layer("GaN", 100, 10), layer("AlGaN", 200, 10, 0, 0, 0.25), layer("GaN", 4, 10),
                  layer("GaN", 50, 10)};
    CollectingObserver observer;
    const auto path = tempFile("tervane_charges.txt");
    ASSERT_TRUE(exportCharges(doc, path.string(), observer));
    // AlGaN x = 0.25 on GaN: Psp step -0.013 C/m^2 plus 2 strain (e31 - e33 c13/c33) = -0.009196.
    EXPECT_EQ(readFile(path), "0.000e+00\t0.000e+00\n"
                              "1.000e-08\t-2.220e-02\n"
                              "3.040e-08\t2.220e-02\n");

    doc.polarizationOn = false;
    ASSERT_TRUE(exportCharges(doc, path.string(), observer));
    EXPECT_EQ(readFile(path), "");

    doc.polarizationOn = true;
    doc.layers.insert(doc.layers.begin() + 1, layer("InP", 10, 10));
    EXPECT_FALSE(exportCharges(doc, path.string(), observer));
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0], "Material not found!");
    EXPECT_EQ(readFile(path), "0.000e+00\t0.000e+00\n");  // the lines before the failing layer
    std::filesystem::remove(path);

    EXPECT_FALSE(exportCharges(doc, "/nonexistent-folder/charges.txt", observer));
    EXPECT_EQ(observer.messages.back(), "Could not open file");
}
