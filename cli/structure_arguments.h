#pragma once

#include <string>

#include <CLI/CLI.hpp>

#include "io/structure_loader.h"

namespace tervane::cli {

// The STRUCTURE argument and its --document/--script switches, shared by every command that reads
// a structure.
struct StructureArguments {
    std::string path;
    bool forceDocument = false;
    bool forceScript = false;

    StructureFormat format() const;
};

void addStructureArguments(CLI::App& command, StructureArguments& arguments);

} // namespace tervane::cli
