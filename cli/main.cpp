// tervane-cli: the structure and materials files of Tervane, read, written and solved without the
// desktop program. Each subcommand lives in its own *_command file; this file only parses the command
// line and turns the outcome into an exit status.

#include <exception>
#include <iostream>
#include <new>

#include <CLI/CLI.hpp>

#include "cli/convert_command.h"
#include "cli/exit_status.h"
#include "cli/layers_command.h"
#include "cli/materials_command.h"
#include "cli/messages.h"
#include "cli/solve_command.h"

using namespace tervane::cli;

namespace {

int runParsed(CLI::App* layers, const LayersOptions& layersOptions, CLI::App* materials,
              const MaterialsOptions& materialsOptions, CLI::App* convert,
              const ConvertOptions& convertOptions, CLI::App* solve, const SolveOptions& solveOptions)
{
    if (layers->parsed())
        return runLayers(layersOptions, std::cout, std::cerr);
    if (materials->parsed())
        return runMaterials(materialsOptions, std::cout, std::cerr);
    if (convert->parsed())
        return runConvert(convertOptions, std::cout, std::cerr);
    if (solve->parsed())
        return runSolve(solveOptions, std::cout, std::cerr);
    return exitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Tervane command-line tool: lists, converts and solves structures (document files and "
                 "import scripts); lists and converts materials lists (TOML libraries and binary materials "
                 "files).\n"
                 "Exit status: 0 done, 1 stopped on an error (reported on standard error), 2 usage error.",
                 "tervane-cli"};
    app.require_subcommand(1);

    LayersOptions layersOptions;
    MaterialsOptions materialsOptions;
    ConvertOptions convertOptions;
    SolveOptions solveOptions;
    CLI::App* layers = addLayersCommand(app, layersOptions);
    CLI::App* materials = addMaterialsCommand(app, materialsOptions);
    CLI::App* convert = addConvertCommand(app, convertOptions);
    CLI::App* solve = addSolveCommand(app, solveOptions);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // --help is reported as a "parse error" with the exit code 0.
        return app.exit(error) == 0 ? exitSuccess : exitUsage;
    }

    int status = exitFailure;
    try {
        status = runParsed(layers, layersOptions, materials, materialsOptions, convert, convertOptions, solve,
                           solveOptions);
    } catch (const std::bad_alloc&) {
        printMessage(std::cerr, "Out of memory");
        return exitFailure;
    } catch (const std::exception& error) {
        printMessage(std::cerr, error.what());
        return exitFailure;
    }

    // A listing cut short by a full disk or a closed pipe must not pass for a complete one.
    std::cout.flush();
    if (!std::cout) {
        printMessage(std::cerr, "Could not write to standard output");
        return exitFailure;
    }
    return status;
}
