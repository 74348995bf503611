#pragma once

#include "tests/support/test_support.h"

// Shared by the engine and export tests: materials and layers built in code (laws from the bundled
// reference tables), grids built point by point as the driver builds them, and a scratch folder.
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "engine/document.h"
#include "engine/grid.h"

namespace tervane::testing {

// Constant laws: gap and conduction-band edge in eV, relative permittivity, masses in m0.
inline Material binary(const std::string& name, double Eg, double dEc, double eps, double me, double mhh,
                       double mlh)
{
    Material m;
    m.name = name;
    m.Eg = {Eg, 0, 0};
    m.dEc = {dEc, 0, 0};
    m.eps = {eps, 0, 0};
    m.me = {me, 0, 0};
    m.mhh = {mhh, 0, 0};
    m.mlh = {mlh, 0, 0};
    return m;
}

inline Material gaAs()
{
    return binary("GaAs", 1.42248, 0.62248, 12.9, 0.067, 0.34965, 0.09009);
}

inline Material gaN()
{
    Material m = binary("GaN", 3.4376, 0.7976, 9.5, 0.2, 1.887, 0.139);
    m.polarization.a = {3.189, 0, 0};
    m.polarization.Psp = {-0.029, 0, 0};
    m.polarization.c13 = {103, 0, 0};
    m.polarization.c33 = {405, 0, 0};
    m.polarization.e31 = {-0.49, 0, 0};
    m.polarization.e33 = {0.73, 0, 0};
    return m;
}

// Al(x)Ga(1-x)N.
inline Material alGaN()
{
    Material m = gaN();
    m.name = "AlGaN";
    m.Eg = {3.4376, 2.02051, 0.7};
    m.dEc = {0.7976, 1.22051, 0.7};
    m.eps = {9.5, -0.5, 0};
    m.me = {0.2, 0.12, 0};
    m.mhh = {1.887, 1.684, 0};
    m.mlh = {0.139, 0.12, 0};
    m.polarization.a = {3.189, -0.077, 0};
    m.polarization.Psp = {-0.029, -0.052, 0};
    m.polarization.c13 = {103, 5, 0};
    m.polarization.c33 = {405, -32, 0};
    m.polarization.e31 = {-0.49, -0.11, 0};
    m.polarization.e33 = {0.73, 0.73, 0};
    return m;
}

// Thickness and dx in Angstrom, densities in cm^-3, x the constant composition.
inline Layer layer(const std::string& material, double thicknessA, double dxA, double NdCm = 0,
                   double NaCm = 0, double x = 0)
{
    Layer l;
    l.material = material;
    l.thickness = thicknessA * 1e-10;
    l.dx = dxA * 1e-10;
    l.Nd = NdCm * 1e6;
    l.Na = NaCm * 1e6;
    l.composition = {x, 0, 0};
    return l;
}

inline Document document(std::vector<Material> materials, std::vector<Layer> layers,
                         bool polarization = false)
{
    Document doc;
    doc.materials = std::move(materials);
    doc.layers = std::move(layers);
    doc.polarizationOn = polarization;
    return doc;
}

using PointLaw = std::function<double(int)>;

inline PointLaw constant(double value)
{
    return [value](int) { return value; };
}

// N points: point i gets Ec = dEc = Ec(i) (phi = phiPol = 0), the mass me(i) for electrons and both hole
// kinds, and dx(i) (m), the spacing to point i+1.
inline Grid electronGrid(int N, const PointLaw& dx, const PointLaw& Ec, const PointLaw& me)
{
    Grid grid;
    grid.count = N;
    grid.points.resize(static_cast<std::size_t>(N));
    for (int i = 0; i < N; ++i) {
        GridPoint& p = grid.point(i);
        p.dEc = Ec(i);
        p.me = p.mlh = p.mhh = me(i);
        p.Efn = p.Efp = 0.0;
        p.holes = true;
        grid.dx.push_back(dx(i));
        grid.eps.push_back(12.9 * 8.85e-12);
    }
    return grid;
}

using test::readFile;
using test::ScratchFolder;

} // namespace tervane::testing
