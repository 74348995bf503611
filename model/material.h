#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/material_values.h"
#include "model/polarization.h"
#include "model/quadratic.h"
#include "model/text.h"

namespace tervane {

enum MaterialType : int { Binary = 0, Ternary = 1 };

// A named record of composition laws. The laws are kept in user units (eV, relative permittivity,
// free-electron masses, cm^-3 for the backgrounds); the engine converts where it uses them.
class Material {
  public:
    int type = Binary;          // 0 = Binary, 1 = Ternary; only the editor's reference list reads it
    Quadratic Eg;               // band gap, eV
    Quadratic dEc;              // conduction-band edge on the common absolute scale, eV
    Quadratic eps;              // relative permittivity
    Quadratic EaShallow;        // shallow acceptor level above Ev, eV
    Quadratic EdShallow;        // shallow donor level below Ec, eV
    Quadratic EaDeep;           // deep acceptor level above Ev, eV
    Quadratic EdDeep;           // deep donor level below Ec, eV
    Quadratic me;               // electron effective mass, m0
    Quadratic mhh;              // heavy-hole effective mass, m0
    Quadratic mlh;              // light-hole effective mass, m0
    double NddBackground = 0.0; // cm^-3; held and stored, never used in evaluation
    double NdaBackground = 0.0;
    double NaBackground = 0.0;
    double NdBackground = 0.0;
    Polarization polarization;
    std::string name;

    Material() = default;
    virtual ~Material() = default;
    Material(const Material&) = default;
    Material& operator=(const Material&) = default;

    // Every law at composition x, unclamped.
    MaterialValues valuesAt(double x) const;

    bool operator==(const Material& other) const;
};

// The first material whose name equals `name` byte for byte, or nullptr.
const Material* findMaterial(const std::vector<Material>& materials, std::string_view name);
Material* findMaterial(std::vector<Material>& materials, std::string_view name);

} // namespace tervane
