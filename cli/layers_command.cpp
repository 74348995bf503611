#include "cli/layers_command.h"

#include <vector>

#include "cli/exit_status.h"
#include "cli/layer_list.h"
#include "cli/messages.h"
#include "io/materials_loader.h"
#include "io/structure_loader.h"
#include "model/material.h"

namespace tervane::cli {

CLI::App* addLayersCommand(CLI::App& parent, LayersOptions& options)
{
    CLI::App* command = parent.add_subcommand(
        "layers", "List the layers of a structure, one line each: index, material, thickness (Angstrom), "
                  "Nd and Na (cm^-3)");
    addStructureArguments(*command, options.structure);
    command
        ->add_option("--materials", options.materialsPath,
                     "Materials list (TOML library or binary materials file); the list stops at the "
                     "first layer whose material it does not hold")
        ->type_name("FILE");
    return command;
}

int runLayers(const LayersOptions& options, std::ostream& out, std::ostream& err)
{
    StreamObserver observer(err);
    Structure structure;
    const std::string& structurePath = options.structure.path;
    if (IoResult result = loadStructure(structurePath, options.structure.format(), observer, structure);
        !result) {
        printFileError(err, structurePath, result);
        return exitFailure;
    }

    std::vector<Material> materials;
    if (options.materialsPath) {
        if (IoResult result = loadMaterials(*options.materialsPath, materials); !result) {
            printFileError(err, *options.materialsPath, result);
            return exitFailure;
        }
    }

    for (std::size_t k = 0; k < structure.layers.size(); ++k) {
        const Layer& layer = structure.layers[k];
        const int index = static_cast<int>(k);
        if (!options.materialsPath) {
            out << layerListLine(index, layer.material, layer) << '\n';
            continue;
        }
        const Material* material = findMaterial(materials, layer.material);
        if (!material) {
            out.flush();
            printMessage(err, "Material not found!");
            printMessage(err, missingMaterialText(index, layer.material, *options.materialsPath));
            return exitFailure;
        }
        out << layerListLine(index, material->name, layer) << '\n';
    }
    return exitSuccess;
}

} // namespace tervane::cli
