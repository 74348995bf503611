#pragma once

#include <array>
#include <string>
#include <vector>

#include "byte_builder.h"

namespace tervane::test {

// A layer as a document file stores it, in file units (m, m^-3, eV).
struct StoredLayer {
    std::string material;
    double thickness = 0.0;
    double dx = 1e-9;
    double Nd = 0.0;
    double Na = 0.0;
    double Ndd = 0.0;
    double Nda = 0.0;
    double compositionA = 0.0;
    bool holes = true;
};

// A version-2 document file, laid out field by field: version, count, the layer records
// (thickness, dx, composition a b c, material, Na, Nd, Nda, Ndd, holes, relaxed, strainFactor,
// Efn a b c, Efp a b c, spare), left contact kind, left barrier.
inline std::string documentVersion2(const std::vector<StoredLayer>& layers, int leftContact = 0,
                                    double leftBarrier = 0.0)
{
    ByteBuilder file;
    file.int32(2).int32(static_cast<int>(layers.size()));
    for (const StoredLayer& layer : layers) {
        file.float64(layer.thickness).float64(layer.dx).law(layer.compositionA, 0, 0);
        file.shortString(layer.material)
            .float64(layer.Na)
            .float64(layer.Nd)
            .float64(layer.Nda)
            .float64(layer.Ndd);
        file.int32(layer.holes ? 1 : 0).int32(0).float64(0).law(0, 0, 0).law(0, 0, 0).float64(0);
    }
    file.int32(leftContact).float64(leftBarrier);
    return file.bytes();
}

// A version-1 document file: each record holds thickness, dx, composition, material, Na, Nd, spare.
inline std::string documentVersion1(const std::vector<StoredLayer>& layers, int leftContact = 0,
                                    double leftBarrier = 0.0)
{
    ByteBuilder file;
    file.int32(1).int32(static_cast<int>(layers.size()));
    for (const StoredLayer& layer : layers) {
        file.float64(layer.thickness).float64(layer.dx).law(layer.compositionA, 0, 0);
        file.shortString(layer.material).float64(layer.Na).float64(layer.Nd).float64(0);
    }
    file.int32(leftContact).float64(leftBarrier);
    return file.bytes();
}

// A materials file record whose every law and background is zero, Binary, with the given name.
inline void appendPlainMaterial(ByteBuilder& file, const std::string& name)
{
    for (int law = 0; law < 8 + 6 + 2; ++law)
        file.law(0, 0, 0);
    file.shortString(name).int32(0).float64(0).float64(0).float64(0).float64(0);
}

// A materials file of plain materials with these names, in this order.
inline std::string plainMaterialsFile(const std::vector<std::string>& names)
{
    ByteBuilder file;
    file.int32(static_cast<int>(names.size()));
    for (const std::string& name : names)
        appendPlainMaterial(file, name);
    return file.bytes();
}

// A law a + b x + c x^2 as its three coefficients.
using Law = std::array<double, 3>;

// A material with real laws, in the units of the materials file (eV, relative permittivity, m0,
// Angstrom, C/m^2). Laws left out are zero.
struct StoredMaterial {
    std::string name;
    Law Eg{}, dEc{}, eps{}, EaShallow{}, EdShallow{}, EaDeep{}, EdDeep{}, me{}, mhh{}, mlh{};
    Law a{}, Psp{}, c13{}, c33{}, e31{}, e33{};
};

// A materials file record in stored order: EaDeep, EdDeep, dEc, Eg, eps, me, mhh, mlh, the polarization
// laws a, c13, c33, e31, e33, Psp, then EaShallow, EdShallow, the name, the type (Binary) and the four
// zero backgrounds.
inline void appendMaterial(ByteBuilder& file, const StoredMaterial& material)
{
    for (const Law* law :
         {&material.EaDeep, &material.EdDeep, &material.dEc, &material.Eg, &material.eps, &material.me,
          &material.mhh, &material.mlh, &material.a, &material.c13, &material.c33, &material.e31,
          &material.e33, &material.Psp, &material.EaShallow, &material.EdShallow})
        file.law((*law)[0], (*law)[1], (*law)[2]);
    file.shortString(material.name).int32(0).float64(0).float64(0).float64(0).float64(0);
}

inline std::string materialsFile(const std::vector<StoredMaterial>& materials)
{
    ByteBuilder file;
    file.int32(static_cast<int>(materials.size()));
    for (const StoredMaterial& material : materials)
        appendMaterial(file, material);
    return file.bytes();
}

// The shared materials: GaN, AlGaN and GaAs with the laws of the bundled library.
inline const StoredMaterial GaN{.name = "GaN",
                                .Eg = {3.4376, 0, 0},
                                .dEc = {0.7976, 0, 0},
                                .eps = {9.5, 0, 0},
                                .EaShallow = {0.17, 0, 0},
                                .EdShallow = {0.015, 0, 0},
                                .EaDeep = {0.9, 0, 0},
                                .EdDeep = {1.65, 0, 0},
                                .me = {0.2, 0, 0},
                                .mhh = {1.887, 0, 0},
                                .mlh = {0.139, 0, 0},
                                .a = {3.189, 0, 0},
                                .Psp = {-0.029, 0, 0},
                                .c13 = {103, 0, 0},
                                .c33 = {405, 0, 0},
                                .e31 = {-0.49, 0, 0},
                                .e33 = {0.73, 0, 0}};

inline const StoredMaterial AlGaN{.name = "AlGaN",
                                  .Eg = {3.4376, 2.02051, 0.7},
                                  .dEc = {0.7976, 1.22051, 0.7},
                                  .eps = {9.5, -0.5, 0},
                                  .EaShallow = {0.17, 0.34, 0},
                                  .EdShallow = {0.015, 0.235, 0},
                                  .EaDeep = {0.9, 0, 0},
                                  .EdDeep = {1.65, 0, 0},
                                  .me = {0.2, 0.12, 0},
                                  .mhh = {1.887, 1.684, 0},
                                  .mlh = {0.139, 0.12, 0},
                                  .a = {3.189, -0.077, 0},
                                  .Psp = {-0.029, -0.052, 0},
                                  .c13 = {103, 5, 0},
                                  .c33 = {405, -32, 0},
                                  .e31 = {-0.49, -0.11, 0},
                                  .e33 = {0.73, 0.73, 0}};

inline const StoredMaterial GaAs{.name = "GaAs",
                                 .Eg = {1.42248, 0, 0},
                                 .dEc = {0.62248, 0, 0},
                                 .eps = {12.9, 0, 0},
                                 .EaShallow = {0.028, 0, 0},
                                 .EdShallow = {0.0058, 0, 0},
                                 .EdDeep = {0.75, 0, 0},
                                 .me = {0.067, 0, 0},
                                 .mhh = {0.34965, 0, 0},
                                 .mlh = {0.09009, 0, 0},
                                 .a = {5.65325, 0, 0},
                                 .c13 = {56.6, 0, 0},
                                 .c33 = {122.1, 0, 0}};

// 2000 Angstrom of n-GaAs (1e17 cm^-3) at 10 Angstrom spacing: 200 points.
inline constexpr const char* nLayer = "GaAs t=2000 dx=10 Nd=1e17\n";
inline constexpr double nLayerNd = 1e17;

} // namespace tervane::test
