#pragma once

#include <optional>
#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/structure_arguments.h"

namespace tervane::cli {

// tervane-cli layers STRUCTURE [--materials FILE]: the layer list, one line per layer.
struct LayersOptions {
    StructureArguments structure;
    std::optional<std::string> materialsPath;
};

CLI::App* addLayersCommand(CLI::App& parent, LayersOptions& options);

// Returns the exit status. With materials, a layer whose material is missing ends the list with
// "Material not found!" after the lines of the layers before it.
int runLayers(const LayersOptions& options, std::ostream& out, std::ostream& err);

} // namespace tervane::cli
