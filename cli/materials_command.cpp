#include "cli/materials_command.h"

#include <vector>

#include "cli/exit_status.h"
#include "cli/material_listing.h"
#include "cli/messages.h"
#include "io/materials_loader.h"

namespace tervane::cli {

CLI::App* addMaterialsCommand(CLI::App& parent, MaterialsOptions& options)
{
    CLI::App* command = parent.add_subcommand(
        "materials", "List the materials of a materials list (a TOML library or a binary materials file): "
                     "name and type, the ten laws, the four background densities (cm^-3) and the six "
                     "polarization laws");
    command
        ->add_option("FILE", options.path,
                     "TOML library (read as such when its text opens the material array or its name ends in "
                     ".toml) or binary materials file (.tvm)")
        ->required();
    return command;
}

int runMaterials(const MaterialsOptions& options, std::ostream& out, std::ostream& err)
{
    std::vector<Material> materials;
    if (IoResult result = loadMaterials(options.path, materials); !result) {
        printFileError(err, options.path, result);
        return exitFailure;
    }
    for (std::size_t i = 0; i < materials.size(); ++i) {
        if (i > 0)
            out << '\n';
        out << materialListing(materials[i]);
    }
    return exitSuccess;
}

} // namespace tervane::cli
