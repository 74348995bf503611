// The two text exports, byte for byte on small cases worked out by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/band_profile_export.h"
#include "export/charge_export.h"
#include "model/observer.h"
#include "tests/engine/test_structures.h"

using namespace tervane;
using namespace tervane::testing;

// One line per point: x in Angstrom, Ec, Ev and Efn in eV, n and p in cm^-3 as the density mode asked
// for gives them.
TEST(BandProfileExport, OneLinePerPointInDisplayUnits)
{
    Grid grid(3);
    grid.dx = {1e-9, 2.5e-10};
    for (GridPoint& p : grid.points) {
        p.dEc = 1.0;
        p.phi = 0.2;
        p.phiPol = 0.1; // Ec = 0.7
        p.Eg = 0.5;     // Ev = 0.2
        p.Efn = 0.7;    // n = Nc0 = 2.07e24 m^-3
        p.Efp = 0.2;    // p = Nv0 = 1.16e25 m^-3
        p.holes = true;
    }
    grid.point(2).holes = false;
    grid.point(2).nBound = 3e20;
    ScratchFolder scratch;
    ASSERT_TRUE(dumpFile(grid, scratch.path("bands.txt"), DensityMode::Classical));
    EXPECT_EQ(readFile(scratch.path("bands.txt")),
              "x\tEc\tEv\tEf\tn\tp\n"
              "0.000000\t0.700000\t0.200000\t0.700000\t2.070000e+18\t1.160000e+19\n"
              "10.000000\t0.700000\t0.200000\t0.700000\t2.070000e+18\t1.160000e+19\n"
              "12.500000\t0.700000\t0.200000\t0.700000\t2.070000e+18\t0.000000e+00\n");
    ASSERT_TRUE(dumpFile(grid, scratch.path("bands.txt"), DensityMode::BoundElectrons));
    const std::string bound = readFile(scratch.path("bands.txt"));
    EXPECT_NE(bound.find("\n12.500000\t0.700000\t0.200000\t0.700000\t3.000000e+14\t"), std::string::npos);
}

// The polarization step at the first point of every layer, in C/m^2, at the layer's edge in m, the first
// against the substrate. AlGaN x = 0.25 on GaN: a Psp step of -0.013 plus 2 strain (e31 - e33 c13/c33)
// = -0.009196. A layer too thin for a point has no line but moves the next edge. Polarization off gives
// no lines; a missing material is reported after the lines before it.
TEST(ChargeExport, InterfaceStepsAgainstTheSubstrate)
{
    Document doc = document({gaN(), alGaN()},
                            {layer("GaN", 100, 10), layer("AlGaN", 200, 10, 0, 0, 0.25), layer("GaN", 4, 10),
                             layer("GaN", 50, 10)},
                            true);
    CollectingObserver observer;
    ScratchFolder scratch;
    const std::string path = scratch.path("charges.txt");
    ASSERT_TRUE(exportCharges(doc, path, observer));
    EXPECT_EQ(readFile(path), "0.000e+00\t0.000e+00\n"
                              "1.000e-08\t-2.220e-02\n"
                              "3.040e-08\t2.220e-02\n");
    doc.polarizationOn = false;
    ASSERT_TRUE(exportCharges(doc, path, observer));
    EXPECT_EQ(readFile(path), "");
    doc.polarizationOn = true;
    doc.layers.insert(doc.layers.begin() + 1, layer("InP", 10, 10));
    EXPECT_FALSE(exportCharges(doc, path, observer));
    EXPECT_EQ(observer.messages, std::vector<std::string>{"Material not found!"});
    EXPECT_EQ(readFile(path), "0.000e+00\t0.000e+00\n");
}
