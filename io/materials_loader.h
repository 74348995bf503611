#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/io_result.h"
#include "model/material.h"

namespace tervane {

// The two forms of a materials list: the binary materials database file (".tvm") and the TOML
// library (".toml").
enum class MaterialsFormat {
    Binary,
    Toml,
};

// The form a file name asks for by its extension: ".toml" or ".tvm" (case-insensitive), nothing for
// any other name.
std::optional<MaterialsFormat> materialsFormatOfName(const std::string& path);

// How a file holding `bytes` is read: as TOML when its text opens the material array, or when its
// name ends in ".toml" (so a broken library gets the TOML reader's message, not a binary one);
// as a binary materials file otherwise.
MaterialsFormat detectMaterialsFormat(const std::string& path, std::string_view bytes);

// Reads a materials list in either form into `materials` (list order kept). All or nothing: on
// failure `materials` is unchanged and the result carries the message. Every command that takes
// materials goes through here.
IoResult loadMaterials(const std::string& path, std::vector<Material>& materials);

// Writes `materials` in `format`, through a temporary file, so a failure keeps an existing file.
IoResult saveMaterials(const std::string& path, const std::vector<Material>& materials,
                       MaterialsFormat format);

} // namespace tervane
