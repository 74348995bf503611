#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "io/io_result.h"
#include "model/material.h"

namespace tervane {

// The materials database file: a little-endian int32 count, then that many stored Material records.

// The bytes of a materials file holding `materials` in list order.
std::string encodeMaterials(const std::vector<Material>& materials);

// Parses a whole materials file. On success `materials` is replaced; on a truncated or corrupt file
// it is left exactly as it was and the message says what is wrong.
IoResult decodeMaterials(std::string_view bytes, std::vector<Material>& materials);

// Materials > Save...: written through a temporary file, so a failed save keeps the old file.
IoResult saveMaterialsFile(const std::string& path, const std::vector<Material>& materials);

// Materials > Open...: all or nothing.
IoResult loadMaterialsFile(const std::string& path, std::vector<Material>& materials);

} // namespace tervane
