#pragma once

// Materials and layers built in code for the engine tests (laws from the bundled reference tables).
#include <string>

#include "engine/document.h"
#include "model/layer.h"
#include "model/material.h"

namespace tervane::testing {

inline Material gaN()
{
    Material m;
    m.name = "GaN";
    m.Eg = Quadratic(3.4376, 0, 0);
    m.dEc = Quadratic(0.7976, 0, 0);
    m.eps = Quadratic(9.5, 0, 0);
    m.EaShallow = Quadratic(0.17, 0, 0);
    m.EdShallow = Quadratic(0.015, 0, 0);
    m.EaDeep = Quadratic(0.9, 0, 0);
    m.EdDeep = Quadratic(1.65, 0, 0);
    m.me = Quadratic(0.2, 0, 0);
    m.mhh = Quadratic(1.887, 0, 0);
    m.mlh = Quadratic(0.139, 0, 0);
    m.polarization.a = Quadratic(3.189, 0, 0);
    m.polarization.Psp = Quadratic(-0.029, 0, 0);
    m.polarization.c13 = Quadratic(103, 0, 0);
    m.polarization.c33 = Quadratic(405, 0, 0);
    m.polarization.e31 = Quadratic(-0.49, 0, 0);
    m.polarization.e33 = Quadratic(0.73, 0, 0);
    return m;
}

inline Material alGaN()
{
    Material m = gaN();
    m.name = "AlGaN";
    m.type = Ternary;
    m.Eg = Quadratic(3.4376, 2.02051, 0.7);
    m.dEc = Quadratic(0.7976, 1.22051, 0.7);
    m.eps = Quadratic(9.5, -0.5, 0);
    m.EaShallow = Quadratic(0.17, 0.34, 0);
    m.EdShallow = Quadratic(0.015, 0.235, 0);
    m.me = Quadratic(0.2, 0.12, 0);
    m.mhh = Quadratic(1.887, 1.684, 0);
    m.mlh = Quadratic(0.139, 0.12, 0);
    m.polarization.a = Quadratic(3.189, -0.077, 0);
    m.polarization.Psp = Quadratic(-0.029, -0.052, 0);
    m.polarization.c13 = Quadratic(103, 5, 0);
    m.polarization.c33 = Quadratic(405, -32, 0);
    m.polarization.e31 = Quadratic(-0.49, -0.11, 0);
    m.polarization.e33 = Quadratic(0.73, 0.73, 0);
    return m;
}

inline Material gaAs()
{
    Material m;
    m.name = "GaAs";
    m.Eg = Quadratic(1.42248, 0, 0);
    m.dEc = Quadratic(0.62248, 0, 0);
    m.eps = Quadratic(12.9, 0, 0);
    m.EaShallow = Quadratic(0.028, 0, 0);
    m.EdShallow = Quadratic(0.0058, 0, 0);
    m.EdDeep = Quadratic(0.75, 0, 0);
    m.me = Quadratic(0.067, 0, 0);
    m.mhh = Quadratic(0.34965, 0, 0);
    m.mlh = Quadratic(0.09009, 0, 0);
    m.polarization.a = Quadratic(5.65325, 0, 0);
    m.polarization.c13 = Quadratic(56.6, 0, 0);
    m.polarization.c33 = Quadratic(122.1, 0, 0);
    return m;
}

// Thickness and dx in Angstrom, densities in cm^-3.
inline Layer layer(const std::string& material, double thicknessA, double dxA, double NdCm = 0, double NaCm = 0,
                   double x = 0)
{
    Layer l;
    l.material = material;
    l.thickness = thicknessA * 1e-10;
    l.dx = dxA * 1e-10;
    l.Nd = NdCm * 1e6;
    l.Na = NaCm * 1e6;
    l.composition = Quadratic(x, 0, 0);
    l.holes = true;
    return l;
}

}  // namespace tervane::testing
