#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "io/io_result.h"
#include "model/layer.h"

namespace tervane {

class Observer;

// Bounds no real structure reaches; a script past them is refused with a message naming the line.
inline constexpr int maxRepeatDepth = 64;
inline constexpr std::size_t maxScriptLayers = 1000000;

// Parses the text of an import script. Non-fatal findings ("Unknown command in line #%d: %s") go to
// `observer` as they are met. On success `layers` receives the layers in order (replacing its
// contents); on a fatal error (limits exceeded) `layers` is left empty and the result says why.
IoResult parseScriptText(std::string_view text, std::vector<Layer>& layers, Observer& observer);

// Reads and parses a script file; "Could not open file" when it cannot be read.
IoResult readScriptFile(const std::string& path, std::vector<Layer>& layers, Observer& observer);

}  // namespace tervane
