#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "io/io_result.h"

namespace tervane {

// Reads a whole regular file into `bytes`. Refuses directories and files above `maxBytes` with a
// clear message; `bytes` is untouched on failure.
IoResult readWholeFile(const std::string& path, std::string& bytes,
                       std::size_t maxBytes = std::size_t{1} << 30);

// Writes `bytes` to a temporary file beside `path` and renames it over `path`, so a failed save never
// destroys the previous file.
IoResult writeFileAtomically(const std::string& path, std::string_view bytes);

} // namespace tervane
