#include "cli/layer_list.h"

#include "cli/text_format.h"
#include "model/constants.h"
#include "model/material.h"

namespace tervane::cli {

std::string layerListLine(int index, const std::string& materialName, const Layer& layer)
{
    return formatText("%.3d %s t:%.1f Nd:%.3e Na:%.3e", index, printableName(materialName).c_str(),
                      layer.thickness * angstromPerMetre, layer.Nd * perCubicCmPerPerCubicMetre,
                      layer.Na * perCubicCmPerPerCubicMetre);
}

} // namespace tervane::cli
