#pragma once

#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/structure_arguments.h"

namespace tervane::cli {

// tervane-cli convert STRUCTURE OUT: writes the structure as a version-2 document file.
struct ConvertOptions {
    StructureArguments structure;
    std::string outPath;
};

CLI::App* addConvertCommand(CLI::App& parent, ConvertOptions& options);

// Returns the exit status. OUT is written only after STRUCTURE has been read completely, and through
// a temporary file, so a failure leaves an existing OUT as it was.
int runConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err);

} // namespace tervane::cli
