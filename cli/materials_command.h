#pragma once

#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

namespace tervane::cli {

// tervane-cli materials FILE: every material of a materials list (TOML or binary), in list order.
struct MaterialsOptions {
    std::string path;
};

CLI::App* addMaterialsCommand(CLI::App& parent, MaterialsOptions& options);

// Returns the exit status. Materials are separated by one blank line.
int runMaterials(const MaterialsOptions& options, std::ostream& out, std::ostream& err);

} // namespace tervane::cli
