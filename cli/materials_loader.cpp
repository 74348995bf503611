#include "cli/materials_loader.h"

#include "io/materials_file.h"

namespace tervane::cli {

IoResult loadMaterials(const std::string& path, std::vector<Material>& materials)
{
    return loadMaterialsFile(path, materials);
}

} // namespace tervane::cli
