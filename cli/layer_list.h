#pragma once

#include <string>

#include "model/layer.h"

namespace tervane::cli {

// One line of the layer list, without line break: "%.3d %s t:%.1f Nd:%.3e Na:%.3e" with the index,
// the material name (control characters and bytes that are not UTF-8 written as \xNN), the
// thickness in Angstrom and the shallow doping in cm^-3.
std::string layerListLine(int index, const std::string& materialName, const Layer& layer);

} // namespace tervane::cli
