#pragma once

#include <optional>
#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/solve_arguments.h"
#include "cli/structure_arguments.h"

namespace tervane::cli {

// tervane-cli convert IN OUT: a structure (document file or import script) written as a version-2
// document file, or a materials list converted between its TOML form and the binary materials
// database file.
//
// IN is a materials list when its name ends in ".toml" or ".tvm", when its text opens the TOML
// material array, or when OUT's name ends in ".toml" or ".tvm" (and --document/--script are not
// given); a structure otherwise. OUT's extension chooses the form of a materials list: ".toml" the
// TOML library, ".tvm" the binary file. A structure is always written as a document file, so OUT
// must then not end in ".toml" or ".tvm".
struct ConvertOptions {
    StructureArguments structure; // IN and its --document/--script switches
    std::string outPath;
    std::optional<ContactChoice> left;
};

CLI::App* addConvertCommand(CLI::App& parent, ConvertOptions& options);

// Returns the exit status. OUT is written only after IN has been read completely, and through a
// temporary file, so a failure leaves an existing OUT as it was.
int runConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err);

} // namespace tervane::cli
