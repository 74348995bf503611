#pragma once

#include <string>
#include <vector>

#include <pybind11/pybind11.h>

#include "io/structure_loader.h"
#include "model/material.h"

namespace tervane::python {

// A materials list as Python holds it: the materials in list order, looked up by exact name.
struct Materials {
    std::vector<Material> list;
};

// The contact of a structure or a solve: Neutral, or Fixed with a barrier height.
struct Contact {
    ContactKind kind = ContactKind::Neutral;
    double barrier = 0.0; // eV
};

// Layer, Structure, Contact (Fixed, Neutral), Materials and the loaders of files and scripts.
void bindStructures(pybind11::module_& module);

// "Layer 003 (AlGaN) names a material the materials list does not hold", for the first layer whose
// material is missing; empty when every one is there.
std::string missingMaterialLayer(const Structure& structure, const std::vector<Material>& materials);

} // namespace tervane::python
