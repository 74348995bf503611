#pragma once

#include <string>
#include <vector>

#include "io/io_result.h"
#include "model/material.h"

namespace tervane::cli {

// Reads a materials database file into `materials` (list order kept). All or nothing: on failure
// `materials` is unchanged and the result carries the message. Every command that takes materials
// goes through here, so new materials formats are added in one place.
IoResult loadMaterials(const std::string& path, std::vector<Material>& materials);

} // namespace tervane::cli
